#include <gtest/gtest.h>

#include <set>

#include "install/InstallPlan.h"
#include "install/InstallProgress.h"

namespace {

using Weights = std::vector<std::uint32_t>;

// The machine as the plan sees it: which prerequisites are present, which
// language packs an installed product recorded, and predictable paths.
class FakeMachine final : public IInstallPlanSources {
public:
    bool IsDependencyPresent(const std::wstring& name) override { return m_present.count(name) != 0; }
    std::wstring MakeComponentPath(const std::wstring& fileName) override { return L"C:\\kmi\\component\\7" + fileName; }
    std::wstring MakeLanguagePackPath(int languageId) override {
        return MakeComponentPath(L"language_pack_" + std::to_wstring(languageId) + L".exe");
    }
    std::vector<int> GetInstalledLanguagePacks() override { return m_installedPacks; }

    std::set<std::wstring> m_present;
    std::vector<int> m_installedPacks;
};

class InstallPlanTest : public testing::Test {
protected:
    InstallPlanTest() {
        ProductManifest& manifest = m_configuration.m_manifest;
        manifest.m_strMainComponentName = L"FenwyxPro.msi";
        manifest.m_strMainComponentUrl = L"http://127.0.0.1/FenwyxPro.msi";
        manifest.m_dependencies = {{L"webview2.exe", L"http://127.0.0.1/webview2.exe", L"/silent /install"},
                                   {L"vc_redist.exe", L"http://127.0.0.1/vc_redist.exe", L"/q"}};
        manifest.m_transforms = {{1036, L"fr.mst", L"http://127.0.0.1/fr.mst"},
                                 {1031, L"de.mst", L"http://127.0.0.1/de.mst"},
                                 {1031, L"de-second.mst", L"http://127.0.0.1/de-second.mst"}};
        manifest.m_languagePacks = {{1031, L"PID-DE", L"lp_de.msi", L"http://127.0.0.1/lp_de.msi"},
                                    {1036, L"PID-FR", L"lp_fr.msi", L"http://127.0.0.1/lp_fr.msi"}};
        m_configuration.m_strMsiFolder = L"C:\\kmi\\msi\\";
        m_configuration.m_strTransformFolder = L"C:\\kmi\\transform\\";
        m_machine.m_present = {L"webview2.exe", L"vc_redist.exe"};
    }

    InstallPlan Build() { return BuildInstallPlan(m_configuration, m_settings, m_machine); }

    static std::vector<std::wstring> Names(const InstallPlan& plan) {
        std::vector<std::wstring> names;
        for (const InstallPlanItem& item : plan.m_items) {
            names.push_back(item.m_strName);
        }
        return names;
    }

    ProductConfiguration m_configuration;
    RunSettings m_settings;
    FakeMachine m_machine;
};

TEST_F(InstallPlanTest, EnglishWithEverythingPresentIsTheMainPackageAlone) {
    const InstallPlan plan = Build();
    ASSERT_EQ(plan.m_items.size(), 1u);
    const InstallPlanItem& main = plan.m_items[0];
    EXPECT_EQ(main.m_strName, L"FenwyxPro.msi");
    EXPECT_EQ(main.m_strUrl, L"http://127.0.0.1/FenwyxPro.msi");
    EXPECT_EQ(main.m_strLocalPath, L"C:\\kmi\\msi\\FenwyxPro.msi");
    EXPECT_EQ(main.m_strCommandLine, L"");
    EXPECT_EQ(main.m_bDownload, 1);
    EXPECT_EQ(main.m_bRunAsProcess, 0);
    EXPECT_EQ(main.m_bTransform, 0);
    InstallProgress progress;
    progress.SetWeights(plan.m_downloadWeights, plan.m_installWeights);
    EXPECT_EQ(progress.DownloadWeights(), Weights{100});
    EXPECT_EQ(progress.InstallWeights(), Weights{100});
}

TEST_F(InstallPlanTest, MissingDependencyMainAndTransformWeigh42_52_6) {
    m_machine.m_present = {L"webview2.exe"};
    m_configuration.m_nLanguageId = 1031;
    m_configuration.m_bLanguageChoice = 0;  // no pack, but the transform still
    const InstallPlan plan = Build();
    ASSERT_EQ(Names(plan), (std::vector<std::wstring>{L"vc_redist.exe", L"FenwyxPro.msi", L"de.mst"}));

    const InstallPlanItem& dependency = plan.m_items[0];
    EXPECT_EQ(dependency.m_strUrl, L"http://127.0.0.1/vc_redist.exe");
    EXPECT_EQ(dependency.m_strLocalPath, L"C:\\kmi\\component\\7vc_redist.exe");
    EXPECT_EQ(dependency.m_strCommandLine, L"/q");
    EXPECT_EQ(dependency.m_bRunAsProcess, 1);
    EXPECT_EQ(dependency.m_bDownload, 1);

    const InstallPlanItem& transform = plan.m_items[2];
    EXPECT_EQ(transform.m_strUrl, L"http://127.0.0.1/de.mst");
    EXPECT_EQ(transform.m_strLocalPath, L"C:\\kmi\\transform\\1031.mst");
    EXPECT_EQ(transform.m_bRunAsProcess, 0);
    EXPECT_EQ(transform.m_bTransform, 1);

    InstallProgress progress;
    progress.SetWeights(plan.m_downloadWeights, plan.m_installWeights);
    EXPECT_EQ(progress.DownloadWeights(), (Weights{42, 52, 6}));
    EXPECT_EQ(progress.InstallWeights(), (Weights{42, 52, 6}));
    progress.Set(InstallPhase::Downloading, 1, 50, L"FenwyxPro.msi");
    EXPECT_FLOAT_EQ(progress.OverallPercent(), 34.0f);
}

TEST_F(InstallPlanTest, DependenciesKeepManifestOrderAndUnknownOnesAreAlwaysPlanned) {
    m_machine.m_present = {};
    m_configuration.m_manifest.m_dependencies.push_back({L"other.exe", L"u", L""});
    const InstallPlan plan = Build();
    EXPECT_EQ(Names(plan),
              (std::vector<std::wstring>{L"webview2.exe", L"vc_redist.exe", L"other.exe", L"FenwyxPro.msi"}));
    EXPECT_EQ(plan.m_installWeights, (Weights{40, 40, 40, 50}));
}

TEST_F(InstallPlanTest, StandaloneDownloadsNothingAndInstallsOwnTheBar) {
    m_configuration.m_manifest.m_bStandalone = 1;
    m_machine.m_present = {L"webview2.exe"};
    const InstallPlan plan = Build();
    ASSERT_EQ(plan.m_items.size(), 2u);
    for (const InstallPlanItem& item : plan.m_items) {
        EXPECT_EQ(item.m_bDownload, 0);
    }
    EXPECT_TRUE(plan.m_downloadWeights.empty());
    InstallProgress progress;
    progress.SetWeights(plan.m_downloadWeights, plan.m_installWeights);
    EXPECT_EQ(progress.InstallWeights(), (Weights{44, 56}));
    progress.Set(InstallPhase::Installing, 1, 50, L"FenwyxPro.msi");
    EXPECT_FLOAT_EQ(progress.OverallPercent(), 72.0f);
}

TEST_F(InstallPlanTest, ChosenLanguageGetsItsFirstTransformAndItsPack) {
    m_configuration.m_nLanguageId = 1031;
    const InstallPlan plan = Build();
    ASSERT_EQ(Names(plan), (std::vector<std::wstring>{L"FenwyxPro.msi", L"de.mst", L"lp_de.msi"}));
    const InstallPlanItem& pack = plan.m_items[2];
    EXPECT_EQ(pack.m_strUrl, L"http://127.0.0.1/lp_de.msi");
    EXPECT_EQ(pack.m_strLocalPath, L"C:\\kmi\\component\\7language_pack_1031.exe");
    EXPECT_EQ(pack.m_strCommandLine, L"/s");
    EXPECT_EQ(pack.m_bRunAsProcess, 0);
    EXPECT_EQ(pack.m_bTransform, 0);
    EXPECT_EQ(plan.m_downloadWeights, (Weights{50, 5, 5}));
}

TEST_F(InstallPlanTest, EnglishGetsNoPackEvenWithAChoice) {
    m_configuration.m_manifest.m_transforms.push_back({1033, L"en.mst", L"http://127.0.0.1/en.mst"});
    m_configuration.m_manifest.m_languagePacks.push_back({1033, L"PID-EN", L"lp_en.msi", L"u"});
    const InstallPlan plan = Build();
    EXPECT_EQ(Names(plan), (std::vector<std::wstring>{L"FenwyxPro.msi", L"en.mst"}));
}

TEST_F(InstallPlanTest, LanguageWithoutPackOrTransformAddsNothing) {
    m_configuration.m_nLanguageId = 1041;
    EXPECT_EQ(Names(Build()), (std::vector<std::wstring>{L"FenwyxPro.msi"}));
}

TEST_F(InstallPlanTest, InstalledProductGetsThePacksItRecordedThatTheManifestLists) {
    m_settings.m_bProductInstalled = 1;
    m_machine.m_installedPacks = {1036, 1049, 1031};
    for (int bLanguageChoice : {0, 1}) {
        m_configuration.m_bLanguageChoice = bLanguageChoice;
        const InstallPlan plan = Build();
        EXPECT_EQ(Names(plan), (std::vector<std::wstring>{L"FenwyxPro.msi", L"lp_fr.msi", L"lp_de.msi"}));
    }
}

TEST_F(InstallPlanTest, InstalledProductIgnoresTheChosenLanguageForPacks) {
    m_settings.m_bProductInstalled = 1;
    m_configuration.m_nLanguageId = 1031;
    const InstallPlan plan = Build();
    EXPECT_EQ(Names(plan), (std::vector<std::wstring>{L"FenwyxPro.msi", L"de.mst"}));
}

}  // namespace
