#include <gtest/gtest.h>

#include "install/ServerManifest.h"

using namespace korvex::install;
using namespace korvex::config;

namespace {

constexpr char kCompleteManifest[] = R"(<?xml version="1.0" encoding="utf-8"?>
<korvexwebinstaller>
  <product_code>{6C1B4A52-0E3A-4B8E-9D51-2F0A6E1D7C11}</product_code>
  <fresh_install>
    <product_version>18.0.0.7</product_version>
    <min_web_installer_version>18.0.0.3</min_web_installer_version>
    <web_installer_download_url>http://127.0.0.1/fresh/client.exe</web_installer_download_url>
  </fresh_install>
  <patch_install>
    <product_version>18.0.0.8</product_version>
    <min_web_installer_version>18.0.0.4</min_web_installer_version>
    <web_installer_download_url>http://127.0.0.1/patch/client.exe</web_installer_download_url>
  </patch_install>
</korvexwebinstaller>
)";

class ServerManifestTest : public testing::Test {
protected:
    ServerManifestTest() { m_manifest.m_strStandaloneVersion = L"18.0.0.1"; }

    bool Parse(const std::string& bytes) { return ParseServerManifest(bytes, m_manifest); }

    ProductManifest m_manifest;
};

TEST_F(ServerManifestTest, ReadsEveryElement)
{
    ASSERT_TRUE(Parse(kCompleteManifest));
    EXPECT_EQ(m_manifest.m_strServerProductCode, L"{6C1B4A52-0E3A-4B8E-9D51-2F0A6E1D7C11}");
    EXPECT_EQ(m_manifest.m_freshInstall.m_strProductVersion, L"18.0.0.7");
    EXPECT_EQ(m_manifest.m_freshInstall.m_strMinClientVersion, L"18.0.0.3");
    EXPECT_EQ(m_manifest.m_freshInstall.m_strClientDownloadUrl, L"http://127.0.0.1/fresh/client.exe");
    EXPECT_EQ(m_manifest.m_patchInstall.m_strProductVersion, L"18.0.0.8");
    EXPECT_EQ(m_manifest.m_patchInstall.m_strMinClientVersion, L"18.0.0.4");
    EXPECT_EQ(m_manifest.m_patchInstall.m_strClientDownloadUrl, L"http://127.0.0.1/patch/client.exe");
    EXPECT_EQ(m_manifest.m_strStandaloneVersion, L"18.0.0.8");
}

TEST_F(ServerManifestTest, ReleaseBeforeItsPredecessorCountsAsMissing)
{
    ASSERT_TRUE(
        Parse("<korvexwebinstaller><patch_install><product_version>2.0.0.2</product_version>"
              "</patch_install><product_code>X</product_code><fresh_install>"
              "<web_installer_download_url>u</web_installer_download_url>"
              "<min_web_installer_version>1.0.0.1</min_web_installer_version>"
              "</fresh_install></korvexwebinstaller>"));
    EXPECT_EQ(m_manifest.m_strServerProductCode, L"X");
    EXPECT_EQ(m_manifest.m_freshInstall.m_strMinClientVersion, L"1.0.0.1");
    // Searched after the minimum version, so not found.
    EXPECT_EQ(m_manifest.m_freshInstall.m_strClientDownloadUrl, L"");
    EXPECT_EQ(m_manifest.m_patchInstall.m_strProductVersion, L"");
    EXPECT_EQ(m_manifest.m_strStandaloneVersion, L"18.0.0.1");
}

TEST_F(ServerManifestTest, MissingElementsLeaveFieldsAlone)
{
    m_manifest.m_freshInstall.m_strMinClientVersion = L"1.0.0.1";
    ASSERT_TRUE(Parse("<korvexwebinstaller><fresh_install/></korvexwebinstaller>"));
    EXPECT_EQ(m_manifest.m_freshInstall.m_strMinClientVersion, L"1.0.0.1");
    EXPECT_EQ(m_manifest.m_strStandaloneVersion, L"18.0.0.1");
}

// An error page or a proxy's answer is no server manifest, however well-formed.
TEST_F(ServerManifestTest, OnlyAKorvexwebinstallerDocumentCounts)
{
    const char* cases[] = {
        "",
        "<korvexwebinstaller><product_code>X</product_code>",
        "<html><product_code>X</product_code></html>",
        "<html><body><korvexwebinstaller><product_code>X</product_code></korvexwebinstaller></body></html>",
        "<KorvexWebInstaller><product_code>X</product_code></KorvexWebInstaller>",
        "<?xml version=\"1.0\"?><!-- 407 --><error><product_code>X</product_code></error>",
    };
    for (const char* text : cases) {
        EXPECT_FALSE(Parse(text)) << text;
    }
    EXPECT_EQ(m_manifest.m_strServerProductCode, L"");
    EXPECT_TRUE(Parse("<!-- served --><korvexwebinstaller/>"));
}

}  // namespace
