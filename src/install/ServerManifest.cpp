#include "install/ServerManifest.h"

#include "config/RunSettings.h"
#include "install/FourPartVersion.h"
#include "xml/XmlDocument.h"

using namespace korvex::config;
using namespace korvex::xml;

namespace korvex::install {

namespace {

// Each search starts after the child found last on the same level.
class ServerManifestReader {
public:
    explicit ServerManifestReader(XmlDocument& document) : m_document(document) {}

    bool Find(const wchar_t* name) { return m_document.FindNextChild(FromWideString(name).c_str()); }

    bool Read(const wchar_t* name, std::wstring& target)
    {
        if (!Find(name)) {
            return false;
        }
        target = ToWideString(m_document.ElementText(m_document.ChildPosition()));
        return true;
    }

    // True when the release names its product version.
    bool ReadRelease(const wchar_t* name, ReleaseInfo& release)
    {
        if (!Find(name)) {
            return false;
        }
        m_document.EnterElement();
        const bool bVersionFound = Read(L"product_version", release.m_strProductVersion);
        Read(L"min_web_installer_version", release.m_strMinClientVersion);
        Read(L"web_installer_download_url", release.m_strClientDownloadUrl);
        m_document.LeaveElement();
        return bVersionFound;
    }

private:
    XmlDocument& m_document;
};

}  // namespace

bool ParseServerManifest(std::string_view bytes, ProductManifest& manifest)
{
    XmlDocument document;
    // A well-formed document has one root: found, it is the document element.
    if (!document.LoadBytes(bytes.data(), bytes.size()) ||
        !document.FindNextElement(FromWideString(L"korvexwebinstaller").c_str())) {
        return false;
    }
    ServerManifestReader reader(document);
    reader.Read(L"product_code", manifest.m_strServerProductCode);
    reader.ReadRelease(L"fresh_install", manifest.m_freshInstall);
    if (reader.ReadRelease(L"patch_install", manifest.m_patchInstall)) {
        manifest.m_strStandaloneVersion = manifest.m_patchInstall.m_strProductVersion;
    }
    return true;
}

bool ParseServerManifest(std::string_view bytes)
{
    return ParseServerManifest(bytes, g_productConfiguration.m_manifest);
}

int EvaluateRelease(const ProductManifest& manifest, int bProductInstalled, const std::wstring& installedVersion)
{
    const FourPartVersion client = ParseVersion(manifest.m_strWebInstallerVersion);
    if (bProductInstalled) {
        if (installedVersion.empty()) {
            return CheckNoInstalledVersion;
        }
        if (!IsNewerInSameMajor(ParseVersion(manifest.m_strStandaloneVersion), ParseVersion(installedVersion))) {
            return CheckProductInstalled;
        }
        if (manifest.m_bStandalone) {
            return CheckOk;
        }
        if (IsNewerInSameMajor(ParseVersion(manifest.m_patchInstall.m_strMinClientVersion), client)) {
            return CheckClientOutdated;
        }
        return CheckOk;
    }
    if (manifest.m_bStandalone) {
        return CheckOk;
    }
    if (IsNewer(ParseVersion(manifest.m_freshInstall.m_strMinClientVersion), client)) {
        return CheckClientOutdated;
    }
    return CheckOk;
}

int EvaluateRelease()
{
    return EvaluateRelease(g_productConfiguration.m_manifest, g_runSettings.m_bProductInstalled,
                           g_productConfiguration.m_installedProduct.m_strVersion);
}

const wchar_t* ClientCheckResultName(int result)
{
    switch (result) {
        case CheckOk:
            return L"this client may install the release";
        case CheckProductInstalled:
            return L"the installed product is not older than the release";
        case CheckClientOutdated:
            return L"this client is too old for the release";
        case CheckNoInstalledVersion:
            return L"the product is installed without a version";
        case CheckServerUnreachable:
            return L"the server manifest could not be fetched or read";
        default:
            return L"unknown";
    }
}

}  // namespace korvex::install
