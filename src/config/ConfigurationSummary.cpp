#include "config/ConfigurationSummary.h"

#include "base/DecimalText.h"
#include "log/LogText.h"

using korvex::base::DecimalText;

namespace korvex::config {

namespace {

using korvex::log::WithoutCredentials;

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

std::wstring Pair(const wchar_t* name, const std::wstring& value)
{
    return std::wstring(name) + L" " + Quoted(value);
}

}  // namespace

std::vector<std::wstring> SummarizeConfiguration(const ProductConfiguration& configuration)
{
    const ProductManifest& m = configuration.m_manifest;
    std::vector<std::wstring> lines = {
        L"Manifest " + Quoted(configuration.m_strManifestPath),
        L"Manifest values: " + Pair(L"web_installer_version", m.m_strWebInstallerVersion) + L", " +
            Pair(L"product_code", m.m_strProductCode) + L", " + Pair(L"pid", m.m_strPid) + L", " +
            Pair(L"full_name", m.m_strFullName) + L", " + Pair(L"short_name", m.m_strShortName) + L", " +
            Pair(L"registry", m.m_strRegistryKey) + L", standalone " + (m.m_bStandalone ? L"true" : L"false") + L", " +
            Pair(L"standalone_version", m.m_strStandaloneVersion) + L", " +
            Pair(L"version_check_url", WithoutCredentials(m.m_strVersionCheckUrl)),
        L"Main package: " + Pair(L"name", m.m_strMainComponentName) + L", " +
            Pair(L"executable", m.m_strMainComponentExecutable) + L", " +
            Pair(L"full_url", WithoutCredentials(m.m_strMainComponentUrl)),
    };
    for (const TransformInfo& t : m.m_transforms) {
        lines.push_back(L"Transform " + DecimalText(t.m_nLangId) + L": " + Pair(L"name", t.m_strName) + L", " +
                        Pair(L"full_url", WithoutCredentials(t.m_strFullUrl)));
    }
    for (const LanguagePackInfo& p : m.m_languagePacks) {
        lines.push_back(L"Language pack " + DecimalText(p.m_nLangId) + L": " + Pair(L"pid", p.m_strPid) + L", " +
                        Pair(L"name", p.m_strName) + L", " + Pair(L"full_url", WithoutCredentials(p.m_strFullUrl)));
    }
    for (const DependencyInfo& d : m.m_dependencies) {
        lines.push_back(L"Prerequisite: " + Pair(L"name", d.m_strName) + L", " +
                        Pair(L"full_url", WithoutCredentials(d.m_strFullUrl)) + L", " +
                        Pair(L"install_commandline", d.m_strInstallCommandLine));
    }
    if (!m.m_clientSigners.empty()) {
        std::wstring keys;
        for (const std::wstring& key : m.m_clientSigners) keys += (keys.empty() ? L"" : L", ") + key;
        lines.push_back(L"Client signers: " + keys);
    }
    lines.push_back(L"Language " + DecimalText(configuration.m_nLanguageId) + L", installed version " +
                    Quoted(configuration.m_installedProduct.m_strVersion));
    return lines;
}

}  // namespace korvex::config
