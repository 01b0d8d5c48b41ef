// The start-up load as the product runs it: a manifest placed beside an
// executable is found through the executable's own path.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "ManifestText.h"
#include "TestFiles.h"
#include "TestRegistry.h"

namespace {

std::filesystem::path ProbeFolder()
{
    return std::filesystem::path(KORVEX_BINARY_DIR) / "tests" / "config" / "load-probe";
}

std::vector<std::wstring> RunProbe(const std::filesystem::path& report)
{
    std::wstring commandLine =
        L"\"" + (ProbeFolder() / "config_load_probe.exe").wstring() + L"\" \"" + report.wstring() + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        ADD_FAILURE() << "cannot start the probe: " << GetLastError();
        return {};
    }
    WaitForSingleObject(process.hProcess, 60000);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(exitCode, 0u);

    std::ifstream in(report, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::wstring text(bytes.size() / 2, L'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * 2);
    std::vector<std::wstring> lines;
    std::wstringstream stream(text);
    for (std::wstring line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(StartupLoad, FindsTheManifestBesideTheExecutable)
{
    const config_test::SavedStringValue replacement(
        HKEY_CURRENT_USER, L"SOFTWARE\\Korvex Systems\\Fenwyx Professional\\180", L"WebInstallerManifest");
    replacement.Remove();
    const std::filesystem::path report = config_test::FreshFolder("startup-load") / "report.txt";
    const std::filesystem::path manifest = ProbeFolder() / "config" / "manifestPro.xml";

    std::filesystem::remove(manifest);
    std::vector<std::wstring> lines = RunProbe(report);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], L"1") << "no manifest beside the executable";
    EXPECT_EQ(lines[1], L"0");

    config_test::ManifestFields fields;
    fields.m_pid = "FWX-180-FR";
    config_test::WriteFile(manifest, config_test::ManifestText(fields));
    lines = RunProbe(report);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], L"0");
    EXPECT_EQ(lines[1], L"1");
    EXPECT_EQ(lines[2], ProbeFolder().wstring());
    EXPECT_EQ(lines[3], ProbeFolder().wstring() + L"\\config\\manifestPro.xml");
    EXPECT_EQ(lines[4], L"FWX-180-FR");
    EXPECT_EQ(lines[5], ProbeFolder().wstring() + L"\\component\\");
    std::filesystem::remove(manifest);
}

}  // namespace
