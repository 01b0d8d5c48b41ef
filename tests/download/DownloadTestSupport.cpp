// Winsock 2 must come before windows.h.
#include <winsock2.h>

#include "DownloadTestSupport.h"

#include <bcrypt.h>

#include <fstream>
#include <random>
#include <sstream>

namespace {

const char* ServerFolder(TestServer server)
{
    switch (server) {
        case TestServer::Http:
            return "http";
        case TestServer::WrongName:
            return "wrong-name";
        case TestServer::Expired:
            return "expired";
        case TestServer::Untrusted:
            return "untrusted";
    }
    return "";
}

std::string TestDir(const std::string& relative)
{
    return std::string(DOWNLOAD_TEST_DIR) + "\\" + relative;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            return false;
        }
    }
    return MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

}  // namespace

std::wstring Widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::wstring ServerBase(TestServer server)
{
    std::ifstream in(TestDir(std::string(ServerFolder(server)) + "\\port"));
    unsigned nPort = 0;
    if (!(in >> nPort)) {
        return {};
    }
    const wchar_t* scheme = server == TestServer::Http ? L"http" : L"https";
    return std::wstring(scheme) + L"://127.0.0.1:" + std::to_wstring(nPort);
}

std::wstring ServerUrl(TestServer server, const std::string& path)
{
    return ServerBase(server) + Widen(path);
}

void WriteServerRules(const std::vector<std::string>& rules)
{
    std::string text;
    for (const std::string& rule : rules) {
        text += rule + "\n";
    }
    WriteWholeFile(TestDir("rules.txt"), text);
}

void WriteServedFile(const std::string& path, const std::string& bytes)
{
    std::string local = TestDir("root" + path);
    for (char& c : local) {
        if (c == '/') {
            c = '\\';
        }
    }
    CreateDirectoryA(local.substr(0, local.rfind('\\')).c_str(), nullptr);
    WriteWholeFile(local, bytes);
}

std::vector<std::string> RecordedRequests(TestServer server, const std::string& path)
{
    std::ifstream in(TestDir(std::string(ServerFolder(server)) + "\\requests.jsonl"));
    const std::string key = "\"path\": \"" + path + "\",";
    std::vector<std::string> found;
    for (std::string line; std::getline(in, line);) {
        if (line.find(key) != std::string::npos) {
            found.push_back(line);
        }
    }
    return found;
}

std::string RandomBytes(std::size_t nCount, unsigned nSeed)
{
    std::mt19937 random(nSeed);
    std::string bytes(nCount, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() & 0xFF);
    }
    return bytes;
}

std::wstring Sha256Hex(const std::string& bytes)
{
    unsigned char digest[32] = {};
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
    BCryptHash(algorithm, nullptr, 0, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
               static_cast<ULONG>(bytes.size()), digest, sizeof digest);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    std::wstring text;
    for (const unsigned char byte : digest) {
        text += L"0123456789abcdef"[byte >> 4];
        text += L"0123456789abcdef"[byte & 15];
    }
    return text;
}

std::string TestPath(const std::string& name)
{
    const std::string folder = TestDir("out");
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\" + name;
}

bool ReadLocalFile(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    bytes = content.str();
    return true;
}

bool LocalFileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

unsigned short ClosedPort()
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int nLength = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &nLength);
    closesocket(s);
    WSACleanup();
    return ntohs(address.sin_port);
}

void StatusRecorder::OnDownloadStatus(DownloadStatusInfo& status)
{
    Add(status);
}

DownloadStatusFunction StatusRecorder::Function()
{
    return [this](const DownloadStatusInfo& status) { Add(status); };
}

void StatusRecorder::Add(const DownloadStatusInfo& status)
{
    std::lock_guard lock(m_lock);
    m_reports.push_back({status, std::chrono::steady_clock::now()});
}

std::vector<TimedStatus> StatusRecorder::Snapshot() const
{
    std::lock_guard lock(m_lock);
    return m_reports;
}

std::size_t StatusRecorder::Count() const
{
    std::lock_guard lock(m_lock);
    return m_reports.size();
}

std::uint64_t StatusRecorder::LastBytes() const
{
    std::lock_guard lock(m_lock);
    return m_reports.empty() ? 0 : m_reports.back().info.m_nBytesReceived;
}
