#include "install/InstallPlan.h"

#include <utility>

#include "base/DecimalText.h"

using korvex::base::DecimalText;

using namespace korvex::config;

namespace korvex::install {

std::wstring TransformPathFor(const std::wstring& transformFolder, int languageId)
{
    return transformFolder + DecimalText(languageId) + L".mst";
}

bool IsWindowsInstallerFile(const std::wstring& path)
{
    const std::size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || path.find(L'\\', dot) != std::wstring::npos || path.size() - dot != 4) {
        return false;
    }
    const wchar_t* expected = L".msi";
    for (std::size_t i = 0; i < 4; ++i) {
        const wchar_t c = path[dot + i];
        const wchar_t lower = c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
        if (lower != expected[i]) {
            return false;
        }
    }
    return true;
}

namespace {

class PlanBuilder {
public:
    PlanBuilder(InstallPlan& plan, bool bStandalone) : m_plan(plan), m_bStandalone(bStandalone) {}

    // Standalone packages bring their files along: nothing is downloaded.
    void Add(InstallPlanItem item, std::uint32_t weight)
    {
        item.m_bDownload = m_bStandalone ? 0 : 1;
        if (item.m_bDownload) {
            m_plan.m_downloadWeights.push_back(weight);
        }
        m_plan.m_installWeights.push_back(weight);
        m_plan.m_items.push_back(std::move(item));
    }

private:
    InstallPlan& m_plan;
    bool m_bStandalone;
};

const LanguagePackInfo* FindLanguagePack(const ProductManifest& manifest, int languageId)
{
    for (const LanguagePackInfo& pack : manifest.m_languagePacks) {
        if (pack.m_nLangId == languageId) {
            return &pack;
        }
    }
    return nullptr;
}

std::vector<int> LanguagePackLanguages(const ProductConfiguration& configuration, const RunSettings& settings,
                                       IInstallPlanSources& sources)
{
    if (settings.m_bProductInstalled) {
        return sources.GetInstalledLanguagePacks();
    }
    if (configuration.m_bLanguageChoice && configuration.m_nLanguageId != 1033) {
        return {configuration.m_nLanguageId};
    }
    return {};
}

}  // namespace

InstallPlan BuildInstallPlan(const ProductConfiguration& configuration, const RunSettings& settings,
                             IInstallPlanSources& sources)
{
    const ProductManifest& manifest = configuration.m_manifest;
    InstallPlan plan;
    PlanBuilder builder(plan, manifest.m_bStandalone != 0);

    for (const DependencyInfo& dependency : manifest.m_dependencies) {
        if (sources.IsDependencyPresent(dependency.m_strName)) {
            continue;
        }
        InstallPlanItem item;
        item.m_strName = dependency.m_strName;
        item.m_strUrl = dependency.m_strFullUrl;
        item.m_strSha256 = dependency.m_strSha256;
        // Standalone files lie where the publisher put them.
        const bool bOwnFolder = !manifest.m_bStandalone && !IsWindowsInstallerFile(dependency.m_strName);
        item.m_strLocalPath = bOwnFolder ? sources.MakeProgramPath(dependency.m_strName)
                                         : sources.MakeComponentPath(dependency.m_strName);
        item.m_strCommandLine = dependency.m_strInstallCommandLine;
        item.m_bRunAsProcess = 1;
        builder.Add(std::move(item), kDependencyWeight);
    }

    InstallPlanItem main;
    main.m_strName = manifest.m_strMainComponentName;
    main.m_strUrl = manifest.m_strMainComponentUrl;
    main.m_strSha256 = manifest.m_strMainComponentSha256;
    main.m_strLocalPath = configuration.m_strMsiFolder + manifest.m_strMainComponentName;
    builder.Add(std::move(main), kMainPackageWeight);

    for (const TransformInfo& transform : manifest.m_transforms) {
        if (transform.m_nLangId != configuration.m_nLanguageId) {
            continue;
        }
        InstallPlanItem item;
        item.m_strName = transform.m_strName;
        item.m_strUrl = transform.m_strFullUrl;
        item.m_strSha256 = transform.m_strSha256;
        item.m_strLocalPath = TransformPathFor(configuration.m_strTransformFolder, configuration.m_nLanguageId);
        item.m_bTransform = 1;
        builder.Add(std::move(item), kTransformWeight);
        break;
    }

    for (int languageId : LanguagePackLanguages(configuration, settings, sources)) {
        const LanguagePackInfo* pack = FindLanguagePack(manifest, languageId);
        if (pack == nullptr) {
            continue;
        }
        InstallPlanItem item;
        item.m_strName = pack->m_strName;
        item.m_strUrl = pack->m_strFullUrl;
        item.m_strSha256 = pack->m_strSha256;
        item.m_strLocalPath = sources.MakeLanguagePackPath(languageId);
        item.m_strCommandLine = L"/s";
        builder.Add(std::move(item), kLanguagePackWeight);
    }
    return plan;
}

}  // namespace korvex::install
