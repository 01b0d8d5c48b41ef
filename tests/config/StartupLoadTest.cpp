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
#include "base/WinHandles.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"

namespace {

std::filesystem::path ProbeFolder()
{
    return std::filesystem::path(KORVEX_BINARY_DIR) / "tests" / "config" / "load-probe";
}

// The exit code of a program run with the command line, waited for.
DWORD RunProgram(std::wstring commandLine)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        ADD_FAILURE() << "cannot start the probe: " << GetLastError();
        return 1;
    }
    const KernelHandle thread(process.hThread), child(process.hProcess);
    WaitForSingleObject(child.get(), 60000);
    DWORD exitCode = 1;
    GetExitCodeProcess(child.get(), &exitCode);
    return exitCode;
}

std::vector<std::wstring> RunProbe(const std::filesystem::path& report,
                                   const std::filesystem::path& probe = ProbeFolder() / "config_load_probe.exe",
                                   const std::wstring& language = L"1033")
{
    EXPECT_EQ(RunProgram(L"\"" + probe.wstring() + L"\" \"" + report.wstring() + L"\" " + language), 0u);
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
    const SavedStringValue replacement(HKEY_CURRENT_USER, L"SOFTWARE\\Korvex Systems\\Fenwyx Professional\\180",
                                       L"WebInstallerManifest");
    replacement.Remove();
    const std::filesystem::path report = FreshFolder("startup-load") / "report.txt";
    const std::filesystem::path manifest = ProbeFolder() / "config" / "manifestPro.xml";

    std::filesystem::remove(manifest);
    std::vector<std::wstring> lines = RunProbe(report);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], L"1") << "no manifest beside the executable";
    EXPECT_EQ(lines[1], L"0");

    config_test::ManifestFields fields;
    fields.m_pid = "FWX-180-FR";
    WriteTestFile(manifest, config_test::ManifestText(fields));
    lines = RunProbe(report);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], L"0");
    EXPECT_EQ(lines[1], L"1");
    EXPECT_EQ(lines[2], ProbeFolder().wstring());
    EXPECT_EQ(lines[3], ProbeFolder().wstring() + L"\\config\\manifestPro.xml");
    EXPECT_EQ(lines[4], L"FWX-180-FR");
    EXPECT_EQ(lines[5], ProbeFolder().wstring() + L"\\component\\");
    std::filesystem::remove(manifest);
}

// KorvexPackage.exe writes the probe with a manifest and language files
// inside it; false when it refused.
bool PackageProbe(const std::filesystem::path& manifest, const std::filesystem::path& language,
                  const std::filesystem::path& output)
{
    const std::filesystem::path tool = std::filesystem::path(KORVEX_BINARY_DIR) / "bin" / "KorvexPackage.exe";
    const std::filesystem::path probe = ProbeFolder() / "config_load_probe.exe";
    return RunProgram(L"\"" + tool.wstring() + L"\" \"" + probe.wstring() + L"\" \"" + manifest.wstring() + L"\" \"" +
                      language.wstring() + L"\" \"" + output.wstring() + L"\"") == 0;
}

// A language folder with German texts and two slides at 100 %, and a
// manifest offering German.
std::filesystem::path WriteProductFiles(const std::filesystem::path& folder, const std::string& pid)
{
    config_test::ManifestFields fields;
    fields.m_pid = pid;
    fields.m_languagePacks = "<language_pack><lang_id>1031</lang_id></language_pack>\n";
    WriteTestFile(folder / "manifestPro.xml", config_test::ManifestText(fields));
    const std::filesystem::path slides = folder / "language" / "1031" / "slidesPro" / "100";
    WriteTestFile(folder / "language" / "1031" / "stringPro.ini",
                  Utf16File(L"[UISTRING]\r\nIDS_INSTALL = \"Installieren\"\r\n"));
    WriteTestFile(slides / "b.jpg", "picture b");
    WriteTestFile(slides / "a.jpg", "picture a");
    WriteTestFile(slides / "notes.txt", "not a slide");
    WriteTestFile(folder / "language" / "1031" / "slidesPro" / "150" / "c.jpg", "another scale");
    return folder / "manifestPro.xml";
}

TEST(StartupLoad, SingleFileReadsWhatItCarriesUnlessFilesLieBesideIt)
{
    const SavedStringValue replacement(HKEY_CURRENT_USER, L"SOFTWARE\\Korvex Systems\\Fenwyx Professional\\180",
                                       L"WebInstallerManifest");
    replacement.Remove();
    const std::filesystem::path sources = FreshFolder("single-file-sources");
    const std::filesystem::path single = FreshFolder("single-file") / "Single.exe";
    ASSERT_TRUE(PackageProbe(WriteProductFiles(sources, "FWX-180-EMBEDDED"), sources / "language", single));

    // Nothing beside it: the manifest, the texts and the slides it carries.
    const std::filesystem::path report = single.parent_path() / "report.txt";
    std::vector<std::wstring> lines = RunProbe(report, single, L"1031");
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], L"0");
    EXPECT_EQ(lines[3], single.wstring()) << "the manifest's place is the executable";
    EXPECT_EQ(lines[4], L"FWX-180-EMBEDDED");
    EXPECT_EQ(lines[6], L"Installieren");
    EXPECT_EQ(lines[7], L"0/2");

    // Files beside it win, each kind on its own.
    WriteProductFiles(single.parent_path() / "config", "FWX-180-BESIDE");
    std::filesystem::rename(single.parent_path() / "config" / "language", single.parent_path() / "language");
    WriteTestFile(single.parent_path() / "language" / "1031" / "stringPro.ini",
                  Utf16File(L"[UISTRING]\r\nIDS_INSTALL=Beside\r\n"));
    lines = RunProbe(report, single, L"1031");
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[3], single.parent_path().wstring() + L"\\config\\manifestPro.xml");
    EXPECT_EQ(lines[4], L"FWX-180-BESIDE");
    EXPECT_EQ(lines[6], L"Beside");
    EXPECT_EQ(lines[7], L"2/0");
}

TEST(StartupLoad, PackagingRefusesNamesThatCouldLeaveTheirFolderAndLeavesNothing)
{
    const std::filesystem::path sources = FreshFolder("single-file-refused");
    const std::filesystem::path manifest = WriteProductFiles(sources, "FWX-180-INT");
    const std::filesystem::path output = sources / "Single.exe";
    WriteTestFile(sources / "language" / "1031" / "odd%name.ini", "x");
    EXPECT_FALSE(PackageProbe(manifest, sources / "language", output));
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_FALSE(PackageProbe(sources / "missing.xml", sources / "language", output));
    EXPECT_FALSE(std::filesystem::exists(output));
}

}  // namespace
