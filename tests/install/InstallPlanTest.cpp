#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "install/InstallPlan.h"
#include "install/InstallProgress.h"

using namespace korvex::install;
using namespace korvex::config;

namespace {

using Weights = std::vector<std::uint32_t>;
using Names = std::vector<std::wstring>;

// The machine as the plan sees it: which prerequisites are present, which
// language packs an installed product recorded, and predictable paths.
class FakeMachine final : public IInstallPlanSources {
public:
    bool IsDependencyPresent(const std::wstring& name) override { return m_present.count(name) != 0; }
    std::wstring MakeComponentPath(const std::wstring& fileName) override
    {
        return L"C:\\kmi\\component\\7" + fileName;
    }
    std::wstring MakeProgramPath(const std::wstring& fileName) override
    {
        return L"C:\\kmi\\component\\8\\" + fileName;
    }
    std::wstring MakeLanguagePackPath(int languageId) override
    {
        return MakeComponentPath(L"language_pack_" + std::to_wstring(languageId) + L".exe");
    }
    std::vector<int> GetInstalledLanguagePacks() override { return m_installedPacks; }

    std::set<std::wstring> m_present{L"webview2.exe", L"vc_redist.exe"};
    std::vector<int> m_installedPacks;
};

struct PlanSetup {
    PlanSetup()
    {
        ProductManifest& manifest = m_configuration.m_manifest;
        manifest.m_strMainComponentName = L"FenwyxPro.msi";
        manifest.m_strMainComponentUrl = L"http://127.0.0.1/FenwyxPro.msi";
        manifest.m_dependencies = {{L"webview2.exe", L"http://127.0.0.1/webview2.exe", L"/silent /install", L""},
                                   {L"vc_redist.exe", L"http://127.0.0.1/vc_redist.exe", L"/q", L""}};
        manifest.m_transforms = {{1036, L"fr.mst", L"http://127.0.0.1/fr.mst", L""},
                                 {1031, L"de.mst", L"http://127.0.0.1/de.mst", L""},
                                 {1031, L"de-second.mst", L"http://127.0.0.1/de-second.mst", L""}};
        manifest.m_languagePacks = {{1031, L"PID-DE", L"lp_de.msi", L"http://127.0.0.1/lp_de.msi", L""},
                                    {1036, L"PID-FR", L"lp_fr.msi", L"http://127.0.0.1/lp_fr.msi", L""}};
        m_configuration.m_strMsiFolder = L"C:\\kmi\\msi\\";
        m_configuration.m_strTransformFolder = L"C:\\kmi\\transform\\";
    }

    InstallPlan Build() { return BuildInstallPlan(m_configuration, m_settings, m_machine); }

    ProductConfiguration m_configuration;
    RunSettings m_settings;
    FakeMachine m_machine;
};

struct PlanCase {
    const char* name;
    std::function<void(PlanSetup&)> setup;
    Names items;
    Weights download;  // normalised
    Weights install;
};

void PrintTo(const PlanCase& planCase, std::ostream* out)
{
    *out << planCase.name;
}

class InstallPlanTest : public testing::TestWithParam<PlanCase> {};

TEST_P(InstallPlanTest, OrdersAndWeighsTheItems)
{
    PlanSetup setup;
    GetParam().setup(setup);
    const InstallPlan plan = setup.Build();
    Names names;
    for (const InstallPlanItem& item : plan.m_items) {
        names.push_back(item.m_strName);
    }
    EXPECT_EQ(names, GetParam().items);
    EXPECT_EQ(NormalizeWeights(plan.m_downloadWeights), GetParam().download);
    EXPECT_EQ(NormalizeWeights(plan.m_installWeights), GetParam().install);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, InstallPlanTest,
    testing::Values(
        PlanCase{"EnglishWithEverythingPresent", [](PlanSetup&) {}, {L"FenwyxPro.msi"}, {100}, {100}},
        PlanCase{"MissingDependencyMainAndTransform",
                 [](PlanSetup& s) {
                     s.m_machine.m_present = {L"webview2.exe"};
                     s.m_configuration.m_nLanguageId = 1031;
                     s.m_configuration.m_bLanguageChoice = 0;  // no pack, but the transform
                 },
                 {L"vc_redist.exe", L"FenwyxPro.msi", L"de.mst"},
                 {42, 52, 6},
                 {42, 52, 6}},
        PlanCase{"UnknownDependenciesAreAlwaysPlanned",
                 [](PlanSetup& s) {
                     s.m_machine.m_present = {};
                     s.m_configuration.m_manifest.m_dependencies.push_back({L"other.exe", L"u", L"", L""});
                 },
                 {L"webview2.exe", L"vc_redist.exe", L"other.exe", L"FenwyxPro.msi"},
                 {23, 23, 23, 31},
                 {23, 23, 23, 31}},
        PlanCase{"StandaloneDownloadsNothing",
                 [](PlanSetup& s) {
                     s.m_configuration.m_manifest.m_bStandalone = 1;
                     s.m_machine.m_present = {L"webview2.exe"};
                 },
                 {L"vc_redist.exe", L"FenwyxPro.msi"},
                 {},
                 {44, 56}},
        PlanCase{"ChosenLanguageGetsItsFirstTransformAndItsPack",
                 [](PlanSetup& s) { s.m_configuration.m_nLanguageId = 1031; },
                 {L"FenwyxPro.msi", L"de.mst", L"lp_de.msi"},
                 {83, 8, 9},
                 {83, 8, 9}},
        PlanCase{"EnglishGetsNoPackEvenWithAChoice",
                 [](PlanSetup& s) {
                     s.m_configuration.m_manifest.m_transforms.push_back({1033, L"en.mst", L"u", L""});
                     s.m_configuration.m_manifest.m_languagePacks.push_back({1033, L"PID-EN", L"lp_en.msi", L"u", L""});
                 },
                 {L"FenwyxPro.msi", L"en.mst"},
                 {90, 10},
                 {90, 10}},
        PlanCase{"LanguageWithoutPackOrTransform",
                 [](PlanSetup& s) { s.m_configuration.m_nLanguageId = 1041; },
                 {L"FenwyxPro.msi"},
                 {100},
                 {100}},
        PlanCase{"InstalledGetsRecordedPacksTheManifestLists",
                 [](PlanSetup& s) {
                     s.m_settings.m_bProductInstalled = 1;
                     s.m_configuration.m_bLanguageChoice = 0;
                     s.m_machine.m_installedPacks = {1036, 1049, 1031};
                 },
                 {L"FenwyxPro.msi", L"lp_fr.msi", L"lp_de.msi"},
                 {83, 8, 9},
                 {83, 8, 9}},
        PlanCase{"InstalledWithChoiceGetsTheSamePacks",
                 [](PlanSetup& s) {
                     s.m_settings.m_bProductInstalled = 1;
                     s.m_machine.m_installedPacks = {1036, 1049, 1031};
                 },
                 {L"FenwyxPro.msi", L"lp_fr.msi", L"lp_de.msi"},
                 {83, 8, 9},
                 {83, 8, 9}},
        PlanCase{"InstalledIgnoresTheChosenLanguageForPacks",
                 [](PlanSetup& s) {
                     s.m_settings.m_bProductInstalled = 1;
                     s.m_configuration.m_nLanguageId = 1031;
                 },
                 {L"FenwyxPro.msi", L"de.mst"},
                 {90, 10},
                 {90, 10}}),
    [](const testing::TestParamInfo<PlanCase>& info) { return std::string(info.param.name); });

TEST(InstallPlanItems, CarryTheirSourcesPathsAndKinds)
{
    PlanSetup setup;
    setup.m_machine.m_present = {L"webview2.exe"};
    setup.m_configuration.m_nLanguageId = 1031;
    setup.m_configuration.m_manifest.m_dependencies.push_back({L"runtime.MSI", L"http://127.0.0.1/r.msi", L"/qn", L""});
    const InstallPlan plan = setup.Build();
    ASSERT_EQ(plan.m_items.size(), 5u);

    // A program gets a folder of its own; a package goes to the component folder.
    const InstallPlanItem& dependency = plan.m_items[0];
    EXPECT_EQ(dependency.m_strUrl, L"http://127.0.0.1/vc_redist.exe");
    EXPECT_EQ(dependency.m_strLocalPath, L"C:\\kmi\\component\\8\\vc_redist.exe");
    EXPECT_EQ(dependency.m_strCommandLine, L"/q");
    EXPECT_EQ(dependency.m_bRunAsProcess, 1);
    EXPECT_EQ(plan.m_items[1].m_strLocalPath, L"C:\\kmi\\component\\7runtime.MSI");
    EXPECT_EQ(plan.m_items[1].m_bRunAsProcess, 1);

    const InstallPlanItem& main = plan.m_items[2];
    EXPECT_EQ(main.m_strUrl, L"http://127.0.0.1/FenwyxPro.msi");
    EXPECT_EQ(main.m_strLocalPath, L"C:\\kmi\\msi\\FenwyxPro.msi");
    EXPECT_EQ(main.m_strCommandLine, L"");
    EXPECT_EQ(main.m_bRunAsProcess, 0);
    EXPECT_EQ(main.m_bTransform, 0);

    const InstallPlanItem& transform = plan.m_items[3];
    EXPECT_EQ(transform.m_strUrl, L"http://127.0.0.1/de.mst");
    EXPECT_EQ(transform.m_strLocalPath, L"C:\\kmi\\transform\\1031.mst");
    EXPECT_EQ(transform.m_bRunAsProcess, 0);
    EXPECT_EQ(transform.m_bTransform, 1);

    const InstallPlanItem& pack = plan.m_items[4];
    EXPECT_EQ(pack.m_strUrl, L"http://127.0.0.1/lp_de.msi");
    EXPECT_EQ(pack.m_strLocalPath, L"C:\\kmi\\component\\7language_pack_1031.exe");
    EXPECT_EQ(pack.m_strCommandLine, L"/s");
    EXPECT_EQ(pack.m_bRunAsProcess, 0);
    EXPECT_EQ(pack.m_bTransform, 0);

    for (const InstallPlanItem& item : plan.m_items) {
        EXPECT_EQ(item.m_bDownload, 1);
    }

    setup.m_configuration.m_manifest.m_bStandalone = 1;
    EXPECT_EQ(setup.Build().m_items[0].m_strLocalPath, L"C:\\kmi\\component\\7vc_redist.exe");
}

TEST(InstallPlanItems, OnlyAnMsiExtensionMakesAWindowsInstallerFile)
{
    for (const wchar_t* path : {L"a.msi", L"C:\\x\\4711LANGUAGE.MSI", L".Msi"}) {
        EXPECT_TRUE(IsWindowsInstallerFile(path)) << path;
    }
    for (const wchar_t* path : {L"setup.msi.exe", L"a.msix", L"msi", L"C:\\a.msi\\b", L"a.ms", L""}) {
        EXPECT_FALSE(IsWindowsInstallerFile(path)) << path;
    }
}

}  // namespace
