#include "config/ManifestReader.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/TestFiles.h"

using namespace korvex::config;

namespace {

const std::string kCompleteManifest = R"(<?xml version="1.0" encoding="utf-8"?>
<korvexwebinstaller>
  <web_installer_version>18.0.2.7</web_installer_version>
  <product_code>{6A1F0B52-3C1D-4E8A-9F27-0D5B8C4E7A10}</product_code>
  <product>
    <pid>FWX-180-DE</pid>
    <full_name>Fenwyx Pro 18</full_name>
    <short_name>Fenwyx</short_name>
    <registry>SOFTWARE\Korvex Systems\Fenwyx Professional\180</registry>
    <standalone>true</standalone>
    <standalone_version>18.0.1.0</standalone_version>
    <version_check_url>http://127.0.0.1:8080/version.xml</version_check_url>
    <main_component>
      <name>FenwyxPro.msi</name>
      <executable>bin\Fenwyx.exe</executable>
      <full_url>http://127.0.0.1:8080/FenwyxPro.msi</full_url>
      <transform><lang_id>1031</lang_id><name>1031.mst</name><full_url>http://h/1031.mst</full_url></transform>
      <transform><lang_id>1036</lang_id><name>1036.mst</name><full_url>http://h/1036.mst</full_url></transform>
    </main_component>
    <language_pack><lang_id>1041</lang_id><pid>FWX-180-JA</pid><name>lp_ja.exe</name><full_url>http://h/ja</full_url></language_pack>
    <language_pack><lang_id> +1040x</lang_id><pid>FWX-180-IT</pid><name>lp_it.exe</name><full_url>http://h/it</full_url></language_pack>
    <dependency><name>vc_redist.exe</name><full_url>http://h/vc</full_url><install_commandline>/q /norestart</install_commandline></dependency>
  </product>
</korvexwebinstaller>
)";

ProductManifest ReadText(const std::string& name, const std::string& xml, bool expectedResult = true)
{
    const std::filesystem::path file = FreshFolder("manifest-" + name) / "manifestPro.xml";
    WriteTestFile(file, xml);
    ProductManifest manifest;
    EXPECT_EQ(ReadManifest(file.wstring(), manifest), expectedResult) << name;
    return manifest;
}

// A manifest around the given product children (main component included
// by the caller).
std::string WithProduct(const std::string& productChildren)
{
    return "<korvexwebinstaller><product_code>{X}</product_code><product>" + productChildren +
           "</product></korvexwebinstaller>";
}

const std::string kMain = "<main_component><name>m.msi</name><full_url>http://h/m.msi</full_url></main_component>";

TEST(ManifestReader, ReadsEveryFieldOfACompleteManifest)
{
    const ProductManifest m = ReadText("complete", kCompleteManifest);
    EXPECT_EQ(m.m_strWebInstallerVersion, L"18.0.2.7");
    EXPECT_EQ(m.m_strProductCode, L"{6A1F0B52-3C1D-4E8A-9F27-0D5B8C4E7A10}");
    EXPECT_EQ(m.m_strPid, L"FWX-180-DE");
    EXPECT_EQ(m.m_strFullName, L"Fenwyx Pro 18");
    EXPECT_EQ(m.m_strShortName, L"Fenwyx");
    EXPECT_EQ(m.m_strRegistryKey, L"SOFTWARE\\Korvex Systems\\Fenwyx Professional\\180");
    EXPECT_EQ(m.m_bStandalone, 1);
    EXPECT_EQ(m.m_strStandaloneVersion, L"18.0.1.0");
    EXPECT_EQ(m.m_strVersionCheckUrl, L"http://127.0.0.1:8080/version.xml");
    EXPECT_EQ(m.m_strMainComponentName, L"FenwyxPro.msi");
    EXPECT_EQ(m.m_strMainComponentExecutable, L"bin\\Fenwyx.exe");
    EXPECT_EQ(m.m_strMainComponentUrl, L"http://127.0.0.1:8080/FenwyxPro.msi");
    ASSERT_EQ(m.m_transforms.size(), 2u);
    EXPECT_EQ(m.m_transforms[0].m_nLangId, 1031);
    EXPECT_EQ(m.m_transforms[0].m_strName, L"1031.mst");
    EXPECT_EQ(m.m_transforms[0].m_strFullUrl, L"http://h/1031.mst");
    EXPECT_EQ(m.m_transforms[1].m_nLangId, 1036);
    ASSERT_EQ(m.m_languagePacks.size(), 2u);
    EXPECT_EQ(m.m_languagePacks[0].m_nLangId, 1041);
    EXPECT_EQ(m.m_languagePacks[0].m_strPid, L"FWX-180-JA");
    EXPECT_EQ(m.m_languagePacks[0].m_strName, L"lp_ja.exe");
    EXPECT_EQ(m.m_languagePacks[0].m_strFullUrl, L"http://h/ja");
    EXPECT_EQ(m.m_languagePacks[1].m_nLangId, 1040) << "leading blank and sign allowed, trailing text ignored";
    ASSERT_EQ(m.m_dependencies.size(), 1u);
    EXPECT_EQ(m.m_dependencies[0].m_strName, L"vc_redist.exe");
    EXPECT_EQ(m.m_dependencies[0].m_strFullUrl, L"http://h/vc");
    EXPECT_EQ(m.m_dependencies[0].m_strInstallCommandLine, L"/q /norestart");
    EXPECT_TRUE(m.m_strServerProductCode.empty());
    EXPECT_TRUE(m.m_freshInstall.m_strProductVersion.empty());
}

TEST(ManifestReader, UnreadableOrForeignFiles)
{
    ProductManifest manifest;
    EXPECT_FALSE(ReadManifest((FreshFolder("manifest-missing") / "manifestPro.xml").wstring(), manifest));
    ReadText("malformed", "<korvexwebinstaller><product><pid>x</product>", false);
    ReadText("empty", "", false);
    const ProductManifest foreign = ReadText("foreign", "<installer><product_code>{X}</product_code></installer>");
    EXPECT_TRUE(foreign.m_strProductCode.empty());
}

// Each row leaves out (or misplaces) one element; check states what must
// follow from it.
struct MissingRow {
    const char* m_name;
    std::string m_xml;
    std::function<void(const ProductManifest&)> m_check;
};

TEST(ManifestReader, MissingElements)
{
    const std::string pidToUrl =
        "<pid>P-DE</pid><full_name>F</full_name><short_name>S</short_name>"
        "<registry>R</registry><standalone>true</standalone>"
        "<standalone_version>1.0</standalone_version><version_check_url>U</version_check_url>";
    const std::vector<MissingRow> rows = {
        {"no web_installer_version",
         "<korvexwebinstaller><product_code>C</product_code><product><pid>P</pid>" + kMain +
             "</product></korvexwebinstaller>",
         [](const ProductManifest& m) {
             EXPECT_TRUE(m.m_strWebInstallerVersion.empty());
             EXPECT_EQ(m.m_strProductCode, L"C");
             EXPECT_EQ(m.m_strPid, L"P");
         }},
        {"no product_code",
         "<korvexwebinstaller><web_installer_version>1.2.3.4</web_installer_version><product><pid>P</pid>" + kMain +
             "</product></korvexwebinstaller>",
         [](const ProductManifest& m) {
             EXPECT_EQ(m.m_strWebInstallerVersion, L"1.2.3.4");
             EXPECT_TRUE(m.m_strProductCode.empty());
             EXPECT_EQ(m.m_strMainComponentUrl, L"http://h/m.msi");
         }},
        {"no product", "<korvexwebinstaller><product_code>C</product_code><pid>P</pid></korvexwebinstaller>",
         [](const ProductManifest& m) {
             EXPECT_EQ(m.m_strProductCode, L"C");
             EXPECT_TRUE(m.m_strPid.empty());
         }},
        {"no pid", WithProduct("<full_name>F</full_name><registry>R</registry>" + kMain),
         [](const ProductManifest& m) {
             EXPECT_TRUE(m.m_strPid.empty());
             EXPECT_EQ(m.m_strFullName, L"F");
             EXPECT_EQ(m.m_strRegistryKey, L"R");
         }},
        {"only pid", WithProduct("<pid>P</pid>" + kMain),
         [](const ProductManifest& m) {
             EXPECT_TRUE(m.m_strFullName.empty());
             EXPECT_TRUE(m.m_strShortName.empty());
             EXPECT_TRUE(m.m_strRegistryKey.empty());
             EXPECT_EQ(m.m_bStandalone, 0);
             EXPECT_TRUE(m.m_strStandaloneVersion.empty());
             EXPECT_TRUE(m.m_strVersionCheckUrl.empty());
             EXPECT_EQ(m.m_strMainComponentName, L"m.msi");
         }},
        {"no main_component", WithProduct(pidToUrl + "<language_pack><lang_id>1031</lang_id></language_pack>"),
         [](const ProductManifest& m) {
             EXPECT_EQ(m.m_strVersionCheckUrl, L"U");
             EXPECT_TRUE(m.m_strMainComponentName.empty());
             EXPECT_TRUE(m.m_strMainComponentUrl.empty());
             ASSERT_EQ(m.m_languagePacks.size(), 1u);
         }},
        {"main_component without name",
         WithProduct(pidToUrl + "<main_component><executable>e.exe</executable><full_url>http://h/m.msi</full_url>"
                                "<transform><lang_id>1031</lang_id></transform></main_component>"),
         [](const ProductManifest& m) {
             EXPECT_TRUE(m.m_strMainComponentName.empty());
             EXPECT_TRUE(m.m_strMainComponentExecutable.empty());
             EXPECT_TRUE(m.m_strMainComponentUrl.empty());
             EXPECT_TRUE(m.m_transforms.empty());
         }},
        {"main_component without executable and full_url",
         WithProduct("<pid>P</pid><main_component><name>m.msi</name></main_component>"),
         [](const ProductManifest& m) {
             EXPECT_EQ(m.m_strMainComponentName, L"m.msi");
             EXPECT_TRUE(m.m_strMainComponentExecutable.empty());
             EXPECT_TRUE(m.m_strMainComponentUrl.empty());
         }},
        {"transforms: without lang_id skipped, without name kept",
         WithProduct("<pid>P</pid><main_component><name>m.msi</name><full_url>u</full_url>"
                     "<transform><name>a.mst</name><full_url>http://h/a</full_url></transform>"
                     "<transform><lang_id>1036</lang_id><full_url>http://h/b</full_url></transform>"
                     "<transform><name>c.mst</name><lang_id>1040</lang_id></transform>"
                     "</main_component>"),
         [](const ProductManifest& m) {
             ASSERT_EQ(m.m_transforms.size(), 2u);
             EXPECT_EQ(m.m_transforms[0].m_nLangId, 1036);
             EXPECT_TRUE(m.m_transforms[0].m_strName.empty());
             EXPECT_EQ(m.m_transforms[0].m_strFullUrl, L"http://h/b");
             EXPECT_EQ(m.m_transforms[1].m_nLangId, 1040);
             EXPECT_TRUE(m.m_transforms[1].m_strName.empty()) << "name before lang_id is not found";
         }},
        {"language packs: without lang_id skipped, others empty",
         WithProduct("<pid>P</pid>" + kMain +
                     "<language_pack><pid>X</pid><name>x.exe</name></language_pack>"
                     "<language_pack><lang_id>abc</lang_id></language_pack>"
                     "<language_pack><lang_id>1031</lang_id><full_url>http://h/de</full_url></language_pack>"),
         [](const ProductManifest& m) {
             ASSERT_EQ(m.m_languagePacks.size(), 2u);
             EXPECT_EQ(m.m_languagePacks[0].m_nLangId, 0) << "text without digits is 0";
             EXPECT_EQ(m.m_languagePacks[1].m_nLangId, 1031);
             EXPECT_TRUE(m.m_languagePacks[1].m_strPid.empty());
             EXPECT_TRUE(m.m_languagePacks[1].m_strName.empty());
             EXPECT_EQ(m.m_languagePacks[1].m_strFullUrl, L"http://h/de");
         }},
        {"dependencies: without name skipped",
         WithProduct("<pid>P</pid>" + kMain +
                     "<dependency><full_url>http://h/a</full_url></dependency>"
                     "<dependency><name>b.exe</name><install_commandline>/q</install_commandline></dependency>"),
         [](const ProductManifest& m) {
             ASSERT_EQ(m.m_dependencies.size(), 1u);
             EXPECT_EQ(m.m_dependencies[0].m_strName, L"b.exe");
             EXPECT_TRUE(m.m_dependencies[0].m_strFullUrl.empty());
             EXPECT_EQ(m.m_dependencies[0].m_strInstallCommandLine, L"/q");
         }},
        {"element names are case-sensitive", WithProduct("<PID>P</PID><pid>Q</pid><Registry>R</Registry>" + kMain),
         [](const ProductManifest& m) {
             EXPECT_EQ(m.m_strPid, L"Q");
             EXPECT_TRUE(m.m_strRegistryKey.empty());
         }},
        {"unknown elements are skipped",
         WithProduct("<extra>1</extra><pid>P</pid><note/><registry>R</registry>" + kMain),
         [](const ProductManifest& m) {
             EXPECT_EQ(m.m_strPid, L"P");
             EXPECT_EQ(m.m_strRegistryKey, L"R");
         }},
    };
    for (const MissingRow& row : rows) {
        SCOPED_TRACE(row.m_name);
        row.m_check(ReadText(row.m_name, row.m_xml));
    }
}

TEST(ManifestReader, ChildBeforeAnEarlierListedSiblingCountsAsMissing)
{
    const std::vector<MissingRow> rows = {
        {"full_name before pid", WithProduct("<full_name>F</full_name><pid>P</pid><registry>R</registry>" + kMain),
         [](const ProductManifest& m) {
             EXPECT_EQ(m.m_strPid, L"P");
             EXPECT_TRUE(m.m_strFullName.empty());
             EXPECT_EQ(m.m_strRegistryKey, L"R");
         }},
        {"product before product_code",
         "<korvexwebinstaller><product><pid>P</pid></product><product_code>C</product_code></korvexwebinstaller>",
         [](const ProductManifest& m) {
             EXPECT_EQ(m.m_strProductCode, L"C");
             EXPECT_TRUE(m.m_strPid.empty());
         }},
        {"main_component before version_check_url",
         WithProduct("<pid>P</pid>" + kMain + "<version_check_url>U</version_check_url>"),
         [](const ProductManifest& m) {
             EXPECT_EQ(m.m_strVersionCheckUrl, L"U");
             EXPECT_TRUE(m.m_strMainComponentUrl.empty());
         }},
        {"language_pack before main_component",
         WithProduct("<pid>P</pid><language_pack><lang_id>1031</lang_id></language_pack>" + kMain +
                     "<language_pack><lang_id>1036</lang_id></language_pack>"),
         [](const ProductManifest& m) {
             ASSERT_EQ(m.m_languagePacks.size(), 1u);
             EXPECT_EQ(m.m_languagePacks[0].m_nLangId, 1036);
         }},
        {"language_pack after a dependency",
         WithProduct("<pid>P</pid>" + kMain +
                     "<language_pack><lang_id>1031</lang_id></language_pack>"
                     "<dependency><name>a.exe</name></dependency>"
                     "<language_pack><lang_id>1036</lang_id></language_pack>"
                     "<dependency><name>b.exe</name></dependency>"),
         [](const ProductManifest& m) {
             ASSERT_EQ(m.m_languagePacks.size(), 2u) << "the pack loop runs past the first dependency";
             ASSERT_EQ(m.m_dependencies.size(), 1u);
             EXPECT_EQ(m.m_dependencies[0].m_strName, L"b.exe");
         }},
        {"full_url before name in main_component",
         WithProduct("<pid>P</pid><main_component><full_url>u</full_url><name>m.msi</name>"
                     "<executable>e</executable></main_component>"),
         [](const ProductManifest& m) {
             EXPECT_EQ(m.m_strMainComponentName, L"m.msi");
             EXPECT_EQ(m.m_strMainComponentExecutable, L"e");
             EXPECT_TRUE(m.m_strMainComponentUrl.empty());
         }},
        {"executable after full_url",
         WithProduct("<pid>P</pid><main_component><name>m</name><full_url>u</full_url>"
                     "<executable>e</executable></main_component>"),
         [](const ProductManifest& m) {
             EXPECT_EQ(m.m_strMainComponentExecutable, L"e");
             EXPECT_TRUE(m.m_strMainComponentUrl.empty()) << "full_url is searched after executable";
         }},
        {"transform before full_url",
         WithProduct("<pid>P</pid><main_component><name>m</name>"
                     "<transform><lang_id>1031</lang_id></transform>"
                     "<full_url>u</full_url></main_component>"),
         [](const ProductManifest& m) {
             EXPECT_EQ(m.m_strMainComponentUrl, L"u");
             EXPECT_TRUE(m.m_transforms.empty());
         }},
    };
    for (const MissingRow& row : rows) {
        SCOPED_TRACE(row.m_name);
        row.m_check(ReadText(row.m_name, row.m_xml));
    }
}

// Every place a name can stand, with names that would leave the work folder
// or name a device or stream: the manifest does not load. The same places
// with a plain name, or a transform and language pack without one, do.
TEST(ManifestReader, RefusesNamesThatAreNotPlainFileNames)
{
    const auto placed = [](const std::string& where, const std::string& name) {
        const std::string main = where == "main" ? name : "m.msi";
        const std::string transform = where == "transform" ? "<name>" + name + "</name>" : "";
        const std::string pack = where == "pack" ? "<name>" + name + "</name>" : "";
        const std::string dependency = where == "dependency" ? name : "d.exe";
        return WithProduct("<pid>P</pid><main_component><name>" + main + "</name><full_url>http://h/m</full_url>" +
                           "<transform><lang_id>1031</lang_id>" + transform + "</transform></main_component>" +
                           "<language_pack><lang_id>1031</lang_id>" + pack + "</language_pack>" + "<dependency><name>" +
                           dependency + "</name></dependency>");
    };
    const std::vector<std::string> unsafe = {
        "..\\..\\Windows\\x.dll", "C:\\x.msi", "../x", "x.msi:ads", "NUL", "..", "lpt1.msi", std::string(200, 'x')};
    for (const std::string where : {"main", "transform", "pack", "dependency"}) {
        for (std::size_t i = 0; i < unsafe.size(); ++i) {
            ReadText("name-" + where + std::to_string(i), placed(where, unsafe[i]), false);
        }
        ReadText("name-" + where + "-plain", placed(where, "plain.msi"));
    }
    ReadText("name-main-empty", placed("main", ""), false);
    ReadText("name-dependency-empty", placed("dependency", ""), false);
    ReadText("name-transform-and-pack-empty", placed("transform", ""));
}

// client_signer stands after </product>, any number of times; each must be a
// key's 64 hexadecimal digits, or the manifest does not load.
TEST(ManifestReader, ClientSignersAfterTheProductAreKeysInLowerCase)
{
    const std::string lower(64, 'a');
    const std::string mixed = "0123456789ABCDEFabcdef" + std::string(42, 'F');
    const auto signers = [](const std::vector<std::string>& keys) {
        std::string text;
        for (const std::string& key : keys) text += "<client_signer>" + key + "</client_signer>";
        return "<korvexwebinstaller><product><pid>P</pid>" + kMain + "</product>" + text + "</korvexwebinstaller>";
    };
    const ProductManifest two = ReadText("signers", signers({lower, mixed}));
    EXPECT_EQ(two.m_clientSigners,
              (std::vector<std::wstring>{std::wstring(64, L'a'), L"0123456789abcdefabcdef" + std::wstring(42, L'f')}));
    EXPECT_EQ(two.m_strPid, L"P");
    EXPECT_TRUE(ReadText("no-signers", WithProduct("<pid>P</pid>" + kMain)).m_clientSigners.empty());

    const std::vector<std::string> bad = {"",
                                          std::string(63, 'a'),
                                          std::string(65, 'a'),
                                          std::string(63, 'a') + "g",
                                          " " + std::string(64, 'a'),
                                          std::string(64, 'a') + "\n"};
    for (std::size_t i = 0; i < bad.size(); ++i) {
        ReadText("bad-signer" + std::to_string(i), signers({lower, bad[i]}), false);
    }
    // Elsewhere it is not a client_signer: inside product, or before it.
    const ProductManifest inside =
        ReadText("signer-inside", WithProduct("<pid>P</pid>" + kMain + "<client_signer>x</client_signer>"));
    EXPECT_TRUE(inside.m_clientSigners.empty());
    const ProductManifest before = ReadText("signer-before", "<korvexwebinstaller><client_signer>" + lower +
                                                                 "</client_signer><product><pid>P</pid>" + kMain +
                                                                 "</product></korvexwebinstaller>");
    EXPECT_TRUE(before.m_clientSigners.empty());
    EXPECT_EQ(before.m_strPid, L"P");
}

TEST(ManifestReader, StandaloneIsTrueInAnyCaseOnly)
{
    const struct {
        const char* m_text;
        int m_bExpected;
    } rows[] = {{"true", 1}, {"TRUE", 1}, {"True", 1}, {"yes", 0}, {"1", 0}, {" true", 0}, {"", 0}, {"truex", 0}};
    for (const auto& row : rows) {
        const ProductManifest m = ReadText(
            "standalone", WithProduct(std::string("<pid>P</pid><standalone>") + row.m_text + "</standalone>" + kMain));
        EXPECT_EQ(m.m_bStandalone, row.m_bExpected) << '"' << row.m_text << '"';
    }
}

// The last child of product, after the dependencies; before them it is not found.
TEST(ManifestReader, DownloadAttemptsFromOneToTen)
{
    const struct {
        const char* m_text;
        int m_nExpected;
    } rows[] = {{"4", 4}, {" 10 ", 10}, {"1", 1}, {"0", 1}, {"11", 1}, {"-3", 1}, {"4x", 1}, {"", 1}, {"04", 4}};
    const std::string dependency = "<dependency><name>d.exe</name></dependency>";
    for (const auto& row : rows) {
        const std::string attempts = std::string("<download_attempts>") + row.m_text + "</download_attempts>";
        const ProductManifest m = ReadText("attempts", WithProduct("<pid>P</pid>" + kMain + dependency + attempts));
        EXPECT_EQ(m.m_nDownloadAttempts, row.m_nExpected) << '"' << row.m_text << '"';
    }
    EXPECT_EQ(ReadText("attempts-absent", WithProduct("<pid>P</pid>" + kMain)).m_nDownloadAttempts, 1);
    const ProductManifest early =
        ReadText("attempts-early",
                 WithProduct("<pid>P</pid>" + kMain + "<download_attempts>4</download_attempts>" + dependency));
    EXPECT_EQ(early.m_nDownloadAttempts, 1);
    EXPECT_EQ(early.m_dependencies.size(), 1u);
}

TEST(ManifestReader, DecodesUtf16FilesAndReferences)
{
    // "Fenwyx Pro für Büros" in UTF-16LE with a byte-order mark.
    const std::u16string text =
        u"<korvexwebinstaller><product><pid>P</pid>"
        u"<full_name>Fenwyx Pro f\u00fcr B\u00fcros &amp; Co</full_name>"
        u"</product></korvexwebinstaller>";
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    const std::filesystem::path file = FreshFolder("manifest-utf16") / "manifestPro.xml";
    WriteTestFile(file, bytes);
    ProductManifest m;
    ASSERT_TRUE(ReadManifest(file.wstring(), m));
    EXPECT_EQ(m.m_strFullName, L"Fenwyx Pro f\u00fcr B\u00fcros & Co");

    // A manifest carried inside the executable is decoded the same way.
    ProductManifest embedded;
    ASSERT_TRUE(ReadManifestBytes(bytes, embedded));
    EXPECT_EQ(embedded.m_strFullName, m.m_strFullName);
}

TEST(ManifestReader, CarriedManifestReadsAsItsFileWould)
{
    ProductManifest embedded;
    ASSERT_TRUE(ReadManifestBytes(kCompleteManifest, embedded));
    const ProductManifest file = ReadText("carried", kCompleteManifest);
    EXPECT_EQ(embedded.m_strPid, file.m_strPid);
    EXPECT_EQ(embedded.m_strMainComponentUrl, file.m_strMainComponentUrl);
    EXPECT_EQ(embedded.m_languagePacks.size(), file.m_languagePacks.size());
    EXPECT_FALSE(ReadManifestBytes("<korvexwebinstaller><product><pid>x</product>", embedded));
    EXPECT_FALSE(ReadManifestBytes("", embedded));
}

}  // namespace
