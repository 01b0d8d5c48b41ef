#include "config/ManifestReader.h"

#include <cwctype>

#include "config/DecimalText.h"
#include "config/FileNameRules.h"
#include "config/SignerKeyRules.h"
#include "xml/XmlDocument.h"

using namespace korvex::xml;

namespace korvex::config {

namespace {

// Reads the children of the current element in call order; each search
// starts after the child found last.
class ChildReader {
public:
    explicit ChildReader(XmlDocument& document) : m_document(document) {}

    bool Find(const wchar_t* name) { return m_document.FindNextChild(FromWideString(name).c_str()); }

    std::wstring Text() const { return ToWideString(m_document.ElementText(m_document.ChildPosition())); }

    // Sets target to the child's text when the child is found.
    bool Read(const wchar_t* name, std::wstring& target)
    {
        if (!Find(name)) {
            return false;
        }
        target = Text();
        return true;
    }

    bool Read(const wchar_t* name, int& target)
    {
        if (!Find(name)) {
            return false;
        }
        target = DecimalTextToInt(Text());
        return true;
    }

    // Steps into the child found last; Leave() steps back out to it.
    void Enter() { m_document.EnterElement(); }
    void Leave() { m_document.LeaveElement(); }

private:
    XmlDocument& m_document;
};

bool EqualsIgnoringCase(const std::wstring& text, const wchar_t* expected)
{
    std::size_t i = 0;
    for (; i < text.size() && expected[i] != L'\0'; ++i) {
        if (std::towlower(static_cast<wint_t>(text[i])) != std::towlower(static_cast<wint_t>(expected[i]))) {
            return false;
        }
    }
    return i == text.size() && expected[i] == L'\0';
}

// 1 to 10, blanks around allowed; anything else is one attempt, as without
// the element.
int DownloadAttemptsOf(const std::wstring& text)
{
    const std::size_t first = text.find_first_not_of(L" \t\r\n");
    const std::size_t last = text.find_last_not_of(L" \t\r\n");
    if (first == std::wstring::npos || last - first > 1) {
        return 1;
    }
    int value = 0;
    for (std::size_t i = first; i <= last; ++i) {
        if (text[i] < L'0' || text[i] > L'9') {
            return 1;
        }
        value = value * 10 + (text[i] - L'0');
    }
    return value >= 1 && value <= kMaxDownloadAttempts ? value : 1;
}

// Appends one entry per element of that name that readEntry accepts (it
// returns false when the identifying child is missing).
template <typename Entry, typename ReadEntry>
void ReadEntries(ChildReader& reader, const wchar_t* element, std::vector<Entry>& entries, ReadEntry readEntry)
{
    while (reader.Find(element)) {
        reader.Enter();
        Entry entry;
        if (readEntry(entry)) {
            entries.push_back(std::move(entry));
        }
        reader.Leave();
    }
}

void ReadMainComponent(ChildReader& reader, ProductManifest& manifest)
{
    if (!reader.Read(L"name", manifest.m_strMainComponentName)) {
        return;
    }
    reader.Read(L"executable", manifest.m_strMainComponentExecutable);
    reader.Read(L"full_url", manifest.m_strMainComponentUrl);
    reader.Read(L"sha256", manifest.m_strMainComponentSha256);
    ReadEntries(reader, L"transform", manifest.m_transforms, [&reader](TransformInfo& transform) {
        if (!reader.Read(L"lang_id", transform.m_nLangId)) {
            return false;
        }
        reader.Read(L"name", transform.m_strName);
        reader.Read(L"full_url", transform.m_strFullUrl);
        reader.Read(L"sha256", transform.m_strSha256);
        return true;
    });
}

void ReadProduct(ChildReader& reader, ProductManifest& manifest)
{
    reader.Read(L"pid", manifest.m_strPid);
    reader.Read(L"full_name", manifest.m_strFullName);
    reader.Read(L"short_name", manifest.m_strShortName);
    reader.Read(L"registry", manifest.m_strRegistryKey);
    std::wstring standalone;
    if (reader.Read(L"standalone", standalone)) {
        manifest.m_bStandalone = EqualsIgnoringCase(standalone, L"true") ? 1 : 0;
    }
    reader.Read(L"standalone_version", manifest.m_strStandaloneVersion);
    reader.Read(L"version_check_url", manifest.m_strVersionCheckUrl);

    if (reader.Find(L"main_component")) {
        reader.Enter();
        ReadMainComponent(reader, manifest);
        reader.Leave();
    }
    ReadEntries(reader, L"language_pack", manifest.m_languagePacks, [&reader](LanguagePackInfo& pack) {
        if (!reader.Read(L"lang_id", pack.m_nLangId)) {
            return false;
        }
        reader.Read(L"pid", pack.m_strPid);
        reader.Read(L"name", pack.m_strName);
        reader.Read(L"full_url", pack.m_strFullUrl);
        reader.Read(L"sha256", pack.m_strSha256);
        return true;
    });
    ReadEntries(reader, L"dependency", manifest.m_dependencies, [&reader](DependencyInfo& dependency) {
        if (!reader.Read(L"name", dependency.m_strName)) {
            return false;
        }
        reader.Read(L"full_url", dependency.m_strFullUrl);
        reader.Read(L"install_commandline", dependency.m_strInstallCommandLine);
        reader.Read(L"sha256", dependency.m_strSha256);
        return true;
    });
    std::wstring attempts;
    if (reader.Read(L"download_attempts", attempts)) {
        manifest.m_nDownloadAttempts = DownloadAttemptsOf(attempts);
    }
}

// Names become file names in the work folders: each must be a plain file
// name. A transform's or language pack's name is optional (no file is named
// after it), the main package's is required once it has an address.
bool HasPlainFileNames(const ProductManifest& manifest)
{
    if (!manifest.m_strMainComponentUrl.empty() && !IsPlainFileName(manifest.m_strMainComponentName)) return false;
    for (const TransformInfo& transform : manifest.m_transforms) {
        if (!transform.m_strName.empty() && !IsPlainFileName(transform.m_strName)) return false;
    }
    for (const LanguagePackInfo& pack : manifest.m_languagePacks) {
        if (!pack.m_strName.empty() && !IsPlainFileName(pack.m_strName)) return false;
    }
    for (const DependencyInfo& dependency : manifest.m_dependencies) {
        if (!IsPlainFileName(dependency.m_strName)) return false;
    }
    return true;
}

// After </product>, as the document element's last children, so that older
// readers (which look for elements in order) are unaffected. A key that is
// not 64 hexadecimal digits fails the load, as a bad file name does.
bool ReadClientSigners(ChildReader& reader, ProductManifest& manifest)
{
    while (reader.Find(L"client_signer")) {
        const std::wstring key = reader.Text();
        if (!IsSignerKeyText(key)) return false;
        manifest.m_clientSigners.push_back(LowerCaseSignerKey(key));
    }
    return true;
}

bool ReadLoadedManifest(XmlDocument& document, ProductManifest& manifest)
{
    if (!document.FindNextElement(FromWideString(L"korvexwebinstaller").c_str())) {
        return true;
    }
    ChildReader reader(document);
    reader.Read(L"web_installer_version", manifest.m_strWebInstallerVersion);
    reader.Read(L"product_code", manifest.m_strProductCode);
    if (reader.Find(L"product")) {
        reader.Enter();
        ReadProduct(reader, manifest);
        reader.Leave();
    }
    return ReadClientSigners(reader, manifest) && HasPlainFileNames(manifest);
}

}  // namespace

bool ReadManifest(const std::wstring& path, ProductManifest& manifest)
{
    XmlDocument document;
    return document.LoadFile(FromWideString(path).c_str()) && ReadLoadedManifest(document, manifest);
}

bool ReadManifestBytes(std::string_view bytes, ProductManifest& manifest)
{
    XmlDocument document;
    return document.LoadBytes(bytes.data(), bytes.size()) && ReadLoadedManifest(document, manifest);
}

}  // namespace korvex::config
