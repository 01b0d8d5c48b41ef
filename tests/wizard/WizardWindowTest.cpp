// The wizard's real windows under Wine and Xvfb, created in this process on
// an in-memory product manifest and driven with messages; message boxes are
// answered by a recorder instead of a person.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "MessagePump.h"
#include "WindowCapture.h"
#include "base/ComInitialization.h"
#include "base/UserMessageBox.h"
#include "base/WinHandles.h"
#include "config/UiStringsWin.h"
#include "support/TestFolders.h"
#include "config/ProductConfiguration.h"
#include "config/RunSettings.h"
#include "config/UiStrings.h"
#include "install/MessageText.h"
#include "ui/Theme.h"
#include "wizard/ClientValidator.h"
#include "wizard/InstallGuide.h"
#include "wizard/RunOutcome.h"
#include "wizard/SettingPanel.h"
#include "wizard/ShellLaunch.h"
#include "wizard/StatusPanel.h"
#include "wizard/SuccessPanel.h"
#include "wizard/WizardScreen.h"

#include "resource.h"

using namespace korvex::config;
using namespace korvex::install;
using namespace korvex::wizard;

namespace {

std::wstring Widen(const char* text)
{
    return std::wstring(text, text + strlen(text));
}

struct ShownBox {
    std::wstring text;
    std::wstring caption;
    UINT style = 0;
};

std::mutex g_boxLock;
std::vector<ShownBox> g_boxes;
int g_boxAnswer = IDNO;
// Set while a test wants the box to wait for it (the validator's task).
HANDLE g_boxRelease = nullptr;

int RecordBox(HWND, const wchar_t* text, const wchar_t* caption, UINT style)
{
    {
        std::lock_guard<std::mutex> hold(g_boxLock);
        g_boxes.push_back({text, caption, style});
    }
    if (g_boxRelease) ::WaitForSingleObject(g_boxRelease, 20000);
    return g_boxAnswer;
}

std::vector<ShownBox> Boxes()
{
    std::lock_guard<std::mutex> hold(g_boxLock);
    return g_boxes;
}

class WizardEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        WNDCLASSW dialogClass = {};
        ASSERT_TRUE(::GetClassInfoW(nullptr, MAKEINTATOM(32770), &dialogClass));
        dialogClass.lpszClassName = L"KorvexMasterInstallerClassName";
        ASSERT_NE(::RegisterClassW(&dialogClass), 0);
        InitThemePalette();
        ASSERT_TRUE(CreateThemeFonts());
        ::CreateDirectoryW((Widen(KORVEX_BINARY_DIR) + L"\\screenshots").c_str(), nullptr);
    }
    void TearDown() override { DestroyThemeFonts(); }
};

const testing::Environment* const g_environment = testing::AddGlobalTestEnvironment(new WizardEnvironment);

void SaveScreenshot(HWND window, const wchar_t* name)
{
    const CapturedImage image = CaptureWindow(window);
    EXPECT_FALSE(image.IsEmpty()) << "no picture of " << window;
    const std::wstring path = Widen(KORVEX_BINARY_DIR) + L"\\screenshots\\" + name + L".png";
    EXPECT_TRUE(SavePicture(image, path, PictureFormat::Png));
}

std::wstring TempFolder(const wchar_t* name)
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Pixels of the caption strip's left part that are not its background: the
// icon and the title, when they are shown.
int CaptionInk(HWND window)
{
    const CapturedImage image = CaptureWindow(window);
    int ink = 0;
    for (int y = 3; y < 24 && y < image.height; ++y) {
        for (int x = 3; x < 200 && x < image.width; ++x) ink += image.At(x, y) != clrCaptionBack ? 1 : 0;
    }
    return ink;
}

class WizardWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_runSettings = RunSettings{};
        g_productConfiguration = ProductConfiguration{};
        ProductManifest& manifest = g_productConfiguration.m_manifest;
        manifest.m_strFullName = L"Fenwyx Pro";
        manifest.m_strShortName = L"Fenwyx";
        manifest.m_strMainComponentExecutable = L"FenwyxPro.exe";
        g_productConfiguration.m_strLanguageFolder = Widen(KORVEX_SOURCE_DIR) + L"\\demo\\language\\";
        {
            std::lock_guard<std::mutex> hold(g_boxLock);
            g_boxes.clear();
        }
        g_boxAnswer = IDNO;
        m_previousBox = SetUserMessageBoxFunction(&RecordBox);
        RecordRunOutcome(RunOutcome::NotEnded);
    }
    void TearDown() override
    {
        m_guide.reset();
        PumpMessages(50);
        SetUserMessageBoxFunction(m_previousBox);
    }

    CInstallGuide& Open()
    {
        m_guide = std::make_unique<CInstallGuide>();
        EXPECT_TRUE(m_guide->Create(IDD_INSTALL_GUIDE, nullptr));
        m_guide->SetWindowPos(nullptr, 60, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        if (!g_runSettings.m_bSilent) m_guide->ShowWindow(SW_SHOW);
        HoldTheWorker();
        PumpMessages(300);
        return *m_guide;
    }

    // The progress page starts the worker three seconds after it shows; these
    // tests look at the windows only, and the progress record is the process's.
    void HoldTheWorker() { Status().KillTimer(CStatusPanel::kStartTimer); }

    CSettingPanel& Settings() { return *static_cast<CSettingPanel*>(m_guide->m_pages.at(kSettingPage).get()); }
    CStatusPanel& Status() { return *static_cast<CStatusPanel*>(m_guide->m_pages.at(kStatusPage).get()); }
    CSuccessPanel& Success() { return *static_cast<CSuccessPanel*>(m_guide->m_pages.at(kSuccessPage).get()); }

    static void Click(CWnd& page, int id, WORD code = BN_CLICKED)
    {
        page.SendMessage(WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(::GetDlgItem(page, id)));
        PumpMessages(100);
    }
    static void PressKey(HWND target, WPARAM key)
    {
        ::PostMessageW(target, WM_KEYDOWN, key, 1);
        ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
        PumpMessages(150);
    }
    bool InstallWithFolder(const std::wstring& folder)
    {
        Settings().m_edtInstallFolder.SetWindowText(folder.c_str());
        Click(Settings(), IDC_BTN_INSTALL);
        return m_guide->m_currentPage == kStatusPage;
    }

    std::unique_ptr<CInstallGuide> m_guide;
    UserMessageBoxFunction m_previousBox = nullptr;
};

}  // namespace

TEST_F(WizardWindows, OpensOnTheSettingsPageWithAPlainCaption)
{
    CInstallGuide& guide = Open();
    EXPECT_EQ(guide.m_currentPage, kSettingPage);
    EXPECT_TRUE(Settings().IsWindowVisible());
    EXPECT_FALSE(Status().IsWindowVisible());
    EXPECT_EQ(guide.m_bShowCaption, 0);
    EXPECT_EQ(CaptionInk(guide), 0);
    CString title;
    guide.GetWindowText(title);
    EXPECT_STREQ(title, L"Fenwyx Pro");
    CRect window;
    guide.GetWindowRect(&window);
    EXPECT_EQ(window.Width(), DpiScaleX(660) + 2 * DpiScaleX(1));
    EXPECT_EQ(window.Height(), DpiScaleY(446));
    CString folder;
    Settings().m_edtInstallFolder.GetWindowText(folder);
    EXPECT_STREQ(folder, L"C:\\Program Files\\Korvex Systems");
    SaveScreenshot(guide, L"wizard-settings");
}

TEST_F(WizardWindows, OpensOnTheProgressPageWithIconAndTitleForAnInstalledProduct)
{
    g_runSettings.m_bProductInstalled = 1;
    CInstallGuide& guide = Open();
    EXPECT_EQ(guide.m_currentPage, kStatusPage);
    EXPECT_TRUE(Status().IsWindowVisible());
    EXPECT_FALSE(Settings().IsWindowVisible());
    EXPECT_EQ(guide.m_bShowCaption, 1);
    EXPECT_GT(CaptionInk(guide), 40);
}

TEST_F(WizardWindows, SilentRunStartsOnTheProgressPageHiddenWithoutTaskbarButton)
{
    g_runSettings.m_bSilent = 1;
    CInstallGuide& guide = Open();
    EXPECT_EQ(guide.m_currentPage, kStatusPage);
    EXPECT_FALSE(guide.IsWindowVisible());
    EXPECT_TRUE(guide.GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(guide.GetExStyle() & WS_EX_APPWINDOW);
}

TEST_F(WizardWindows, FoldingShrinksTheWindowAndKeepsItsTopLeftCorner)
{
    CInstallGuide& guide = Open();
    CRect open, folded, unfolded;
    guide.GetWindowRect(&open);
    Click(Settings(), IDC_BTN_EXPANDER);
    guide.GetWindowRect(&folded);
    EXPECT_EQ(Settings().m_bSettingsFolded, 1);
    EXPECT_EQ(open.Height() - folded.Height(), DpiScaleY(86));
    EXPECT_EQ(folded.TopLeft(), open.TopLeft());
    EXPECT_EQ(folded.Width(), open.Width());
    SaveScreenshot(guide, L"wizard-settings-folded");

    // The header text folds and unfolds like the chevron.
    Click(Settings(), IDC_LBL_INSTALL_SETTINGS, STN_CLICKED);
    guide.GetWindowRect(&unfolded);
    EXPECT_EQ(unfolded, open);
}

TEST_F(WizardWindows, EscapeAsksLikeTheCloseButtonAndEnterRunsThePagesAction)
{
    CInstallGuide& guide = Open();
    PressKey(Settings().m_edtInstallFolder, VK_ESCAPE);
    ::PostMessageW(Settings().m_btnInstall, WM_SYSKEYDOWN, VK_F4, 0x20000001);  // Alt+F4
    PumpMessages(150);
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[0].text, LoadUiString(IDS_MESSAGE_CANCELNOTICE));
    EXPECT_EQ(Boxes()[1].text, LoadUiString(IDS_MESSAGE_CANCELNOTICE));
    EXPECT_TRUE(guide.IsWindowVisible());

    // Enter in the folder field installs, once, after the same validation.
    const std::wstring folder = TempFolder(L"wizard-enter");
    RemoveTree(folder);
    Settings().m_edtInstallFolder.SetWindowText(folder.c_str());
    ::PostMessageW(Settings().m_edtInstallFolder, WM_KEYDOWN, VK_RETURN, 1);
    ::PostMessageW(Settings().m_edtInstallFolder, WM_KEYDOWN, VK_RETURN, 1 | (1 << 30));
    PressKey(Settings().m_edtInstallFolder, VK_RETURN);
    EXPECT_EQ(guide.m_currentPage, kStatusPage);
    HoldTheWorker();
    EXPECT_TRUE(IsFolder(folder));
    RemoveTree(folder);

    // The progress page asks too; Enter has nothing to do there.
    PressKey(Status().m_slideShow, VK_ESCAPE);
    EXPECT_EQ(Boxes().size(), 3u);
    ::SetFocus(nullptr);
    PressKey(Status(), VK_RETURN);
    EXPECT_TRUE(guide.IsWindowVisible());

    ASSERT_TRUE(guide.ShowPage(kSuccessPage));
    PressKey(Success().m_btnStart, VK_RETURN);
    PumpMessages(700);  // Start Now ends the run half a second later
    EXPECT_EQ(guide.m_hWnd, nullptr);
    EXPECT_EQ(Boxes().size(), 3u);
}

TEST_F(WizardWindows, EscapeOnTheFinishPageClosesWithoutStartingAnything)
{
    CInstallGuide& guide = Open();
    ASSERT_TRUE(guide.ShowPage(kSuccessPage));
    PressKey(Success().m_btnStart, VK_ESCAPE);
    EXPECT_FALSE(guide.IsWindowVisible());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(WizardWindows, SettingsPageTakesTheKeyboardAndTabWalksItsControls)
{
    CInstallGuide& guide = Open();
    CSettingPanel& page = Settings();
    ASSERT_EQ(::GetFocus(), page.m_btnInstall.m_hWnd);

    const HWND tabOrder[] = {page.m_chkAcceptTerms,   page.m_lnkLicenseTerms, page.m_btnExpander,
                             page.m_edtInstallFolder, page.m_btnBrowse,       page.m_btnInstall};
    for (HWND expected : tabOrder) {
        PressKey(::GetFocus(), VK_TAB);
        EXPECT_EQ(::GetFocus(), expected) << "control " << ::GetDlgCtrlID(expected);
    }

    // Controls drawn without text are named by what they show.
    const std::pair<HWND, std::wstring> names[] = {
        {page.m_btnInstall, LoadUiString(IDS_INSTALL)},
        {page.m_chkAcceptTerms, LoadUiString(IDS_ACCEPT_LICENSE_TERMS) + L" " + LoadUiString(IDS_LINK_LICENSE_TERMS)},
        {page.m_btnExpander, LoadUiString(IDS_INSTALL_SETTINGS)},
        {page.m_btnBrowse, LoadUiString(IDS_BROWSE_DEST_FOLDER)},
        {Success().m_btnStart, LoadUiString(IDS_START_NOW)}};
    for (const auto& [control, name] : names) {
        wchar_t text[256] = {};
        ::GetWindowTextW(control, text, 256);
        EXPECT_EQ(text, name);
    }

    // Space toggles the box and the chevron; unticked, Install is passed over
    // and Enter does nothing.
    ::SetFocus(page.m_chkAcceptTerms);
    PressKey(page.m_chkAcceptTerms, VK_SPACE);
    EXPECT_EQ(page.m_bTermsAccepted, 0);
    EXPECT_FALSE(page.m_btnInstall.IsWindowEnabled());
    PressKey(page.m_chkAcceptTerms, VK_RETURN);
    EXPECT_EQ(guide.m_currentPage, kSettingPage);
    ::SetFocus(page.m_btnBrowse);
    PressKey(page.m_btnBrowse, VK_TAB);
    EXPECT_EQ(::GetFocus(), page.m_chkAcceptTerms.m_hWnd);
    PressKey(page.m_chkAcceptTerms, VK_SPACE);
    EXPECT_EQ(page.m_bTermsAccepted, 1);
    ::SetFocus(page.m_btnExpander);
    PressKey(page.m_btnExpander, VK_SPACE);
    EXPECT_EQ(page.m_bSettingsFolded, 1);
    PressKey(page.m_btnExpander, VK_RETURN);
    EXPECT_EQ(page.m_bSettingsFolded, 0);

    // Enter on the focused Install button installs, as Space does.
    const std::wstring folder = TempFolder(L"wizard-keyboard");
    RemoveTree(folder);
    page.m_edtInstallFolder.SetWindowText(folder.c_str());
    ::SetFocus(page.m_btnInstall);
    PressKey(page.m_btnInstall, VK_RETURN);
    EXPECT_EQ(guide.m_currentPage, kStatusPage);
    HoldTheWorker();
    EXPECT_TRUE(IsFolder(folder));
    EXPECT_TRUE(Boxes().empty());
    RemoveTree(folder);
}

// The installer opens its window modally; the focus is looked at from inside
// that loop, then the window is closed with a Yes to the cancel question.
TEST_F(WizardWindows, ModalWindowOpensWithTheFocusOnTheInstallButton)
{
    static CInstallGuide* s_guide = nullptr;
    static HWND s_focus = nullptr;
    static HWND s_install = nullptr;
    CInstallGuide guide;
    s_guide = &guide;
    s_focus = s_install = nullptr;
    g_boxAnswer = IDYES;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 1500, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        s_focus = ::GetFocus();
        s_install = ::GetDlgItem(s_guide->m_pages.at(kSettingPage)->m_hWnd, IDC_BTN_INSTALL);
        s_guide->PostMessage(WM_CLOSE);
    });
    ASSERT_NE(timer, 0u);
    guide.DoModal();
    EXPECT_NE(s_install, nullptr);
    EXPECT_EQ(s_focus, s_install);
    EXPECT_EQ(RecordedRunOutcome(), RunOutcome::UserCancelled);
    s_guide = nullptr;
}

TEST_F(WizardWindows, ShowPageAndGoNextMoveOnlyForward)
{
    CInstallGuide& guide = Open();
    EXPECT_FALSE(guide.ShowPage(7));
    EXPECT_EQ(guide.m_currentPage, kSettingPage);
    ASSERT_TRUE(guide.ShowPage(kSuccessPage));
    Success().GoNext();
    EXPECT_EQ(guide.m_currentPage, kSuccessPage);
    EXPECT_TRUE(Success().IsWindowVisible());
    EXPECT_EQ(guide.m_bShowCaption, 0);
    SaveScreenshot(guide, L"wizard-finish");
}

TEST_F(WizardWindows, InstallWithTheTermsUntickedDoesNothing)
{
    CInstallGuide& guide = Open();
    ASSERT_EQ(Settings().m_bTermsAccepted, 1);
    Click(Settings(), IDC_CHK_ACCEPT_TERMS);
    EXPECT_EQ(Settings().m_bTermsAccepted, 0);
    EXPECT_EQ(Settings().m_btnInstall.m_bEnabled, 0);
    const std::wstring folder = TempFolder(L"wizard-unticked");
    EXPECT_FALSE(InstallWithFolder(folder));
    EXPECT_EQ(guide.m_currentPage, kSettingPage);
    EXPECT_FALSE(IsFolder(folder));
    EXPECT_TRUE(Boxes().empty());
    Click(Settings(), IDC_CHK_ACCEPT_TERMS);
    EXPECT_EQ(Settings().m_btnInstall.m_bEnabled, 1);
}

TEST_F(WizardWindows, FolderWithTrailingBackslashIsStoredWithoutIt)
{
    const std::wstring folder = TempFolder(L"wizard-trailing");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    Open();
    EXPECT_TRUE(InstallWithFolder(folder + L"\\"));
    HoldTheWorker();
    EXPECT_EQ(g_productConfiguration.m_strInstallFolder, folder);
    EXPECT_TRUE(Boxes().empty());
    RemoveTree(folder);
}

TEST_F(WizardWindows, RelativeFolderIsRefusedWithTheMessageAndTheEditRestored)
{
    Open();
    EXPECT_FALSE(InstallWithFolder(L"Apps\\Korvex"));
    const std::vector<ShownBox> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, FillMessageText(LoadUiString(IDS_ERR_CREATE_FOLDER_FAILED), L"Apps\\Korvex"));
    EXPECT_EQ(boxes[0].caption, L"Fenwyx");
    EXPECT_EQ(boxes[0].style, static_cast<UINT>(MB_ICONWARNING));
    CString shown;
    Settings().m_edtInstallFolder.GetWindowText(shown);
    EXPECT_STREQ(shown, L"C:\\Program Files\\Korvex Systems");
    EXPECT_EQ(g_productConfiguration.m_strInstallFolder, L"C:\\Program Files\\Korvex Systems");
}

TEST_F(WizardWindows, DeepMissingFolderIsCreatedLevelByLevelBeforeAnyDownload)
{
    const std::wstring root = TempFolder(L"wizard-deep");
    RemoveTree(root);
    const std::wstring deep = root + L"\\Korvex Systems\\Fenwyx\\Pro";
    Open();
    EXPECT_TRUE(InstallWithFolder(deep));
    HoldTheWorker();
    EXPECT_TRUE(IsFolder(deep));
    EXPECT_EQ(g_productConfiguration.m_strInstallFolder, deep);
    // The worker starts three seconds after the page shows; nothing ran yet.
    EXPECT_TRUE(Status().m_worker.m_plan.empty());
    EXPECT_FALSE(Status().m_worker.HasStarted());
    RemoveTree(root);
}

TEST_F(WizardWindows, FolderTextsTooLongBlockedByAFileOrAnAbsentShareAreRefused)
{
    Open();
    const std::wstring base = TempFolder(L"wizard-long");
    std::wstring tooLong = base;
    while (tooLong.size() < 260) tooLong += L"\\abcdefghij";
    tooLong.resize(260);
    EXPECT_FALSE(InstallWithFolder(tooLong));
    EXPECT_FALSE(IsFolder(base));

    const std::wstring file = TempFolder(L"wizard-a-file");
    {
        const FileHandle created(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_NE(created.get(), INVALID_HANDLE_VALUE);
    }
    EXPECT_FALSE(InstallWithFolder(file + L"\\Pro"));
    EXPECT_FALSE(InstallWithFolder(file));
    ::DeleteFileW(file.c_str());
    // Nothing is made for a bare share, so it must be there already.
    EXPECT_FALSE(InstallWithFolder(L"\\\\korvex-absent-server\\share"));
    EXPECT_EQ(g_productConfiguration.m_strInstallFolder, L"C:\\Program Files\\Korvex Systems");

    const std::vector<ShownBox> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].text, FillMessageText(LoadUiString(IDS_ERR_CREATE_FOLDER_FAILED), tooLong));
}

TEST_F(WizardWindows, ClosingTheSettingsPageAsksAndNoKeepsIt)
{
    CInstallGuide& guide = Open();
    guide.SendMessage(WM_CLOSE);
    PumpMessages(100);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, LoadUiString(IDS_MESSAGE_CANCELNOTICE));
    EXPECT_TRUE(guide.IsWindowVisible());
    EXPECT_EQ(RecordedRunOutcome(), RunOutcome::NotEnded);

    g_boxAnswer = IDYES;
    guide.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages(100);
    EXPECT_FALSE(guide.IsWindowVisible());
    EXPECT_EQ(RecordedRunOutcome(), RunOutcome::UserCancelled);
}

TEST_F(WizardWindows, ProgressPageShowsTheRecordAndEndsTheRunAtItsEnd)
{
    g_runSettings.m_bProductInstalled = 1;
    CInstallGuide& guide = Open();
    CStatusPanel& page = Status();
    InstallProgress& progress = page.m_worker.Progress();
    progress.SetWeights({100}, {100});
    progress.Set(InstallPhase::Downloading, 0, 85, L"package");
    progress.m_nStartTick = 0;
    EXPECT_TRUE(page.RefreshProgress());
    EXPECT_STREQ(page.m_lblPercent.m_strText, L"42.5%");
    EXPECT_EQ(page.m_progress.m_nPos, 425);
    EXPECT_EQ(std::wstring(page.m_lblStatus.m_strText), LoadUiString(IDS_STATUS_DOWNLOADING));
    EXPECT_NE(progress.m_nStartTick.load(), 0u);
    PumpMessages(800);
    SaveScreenshot(guide, L"wizard-progress");

    // Closing asks; No lets the held transfers go on.
    guide.SendMessage(WM_CLOSE);
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_FALSE(page.m_worker.TransfersHeld());
    EXPECT_TRUE(guide.IsWindowVisible());

    // Yes cancels; a second close while cancelling asks nothing.
    g_boxAnswer = IDYES;
    guide.SendMessage(WM_CLOSE);
    EXPECT_EQ(page.m_bCancelRequested, 1);
    EXPECT_EQ(progress.Phase(), InstallPhase::Cancelling);
    guide.SendMessage(WM_CLOSE);
    EXPECT_EQ(Boxes().size(), 2u);
    EXPECT_TRUE(guide.IsWindowVisible());

    progress.Set(InstallPhase::Cancelled, -1, 0, L"");
    EXPECT_FALSE(page.RefreshProgress());
    EXPECT_EQ(guide.m_hWnd, nullptr);
    EXPECT_EQ(RecordedRunOutcome(), RunOutcome::UserCancelled);
}

bool HighContrastForTesting()
{
    return true;
}

// The system colours of a high-contrast scheme, set for the session while
// alive: SetSysColors tells every window with WM_SYSCOLORCHANGE.
class HighContrastColours {
public:
    static constexpr int kCount = 7;
    HighContrastColours()
    {
        for (int i = 0; i < kCount; ++i) m_before[i] = ::GetSysColor(kElements[i]);
        SetHighContrastQueryForTesting(&HighContrastForTesting);
        const COLORREF scheme[kCount] = {RGB(0, 0, 0), RGB(0xFF, 0xFF, 0xFF), RGB(0x1A, 0xEB, 0xFF), RGB(0, 0, 0),
                                         RGB(0, 0, 0), RGB(0xFF, 0xFF, 0),    RGB(0x3F, 0xF2, 0x3F)};
        ::SetSysColors(kCount, kElements, scheme);
        PumpMessages(300);
    }
    ~HighContrastColours()
    {
        SetHighContrastQueryForTesting(nullptr);
        ::SetSysColors(kCount, kElements, m_before);
        PumpMessages(300);
    }
    static constexpr int kElements[kCount] = {COLOR_WINDOW,  COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT,
                                              COLOR_BTNFACE, COLOR_HOTLIGHT,   COLOR_GRAYTEXT};

private:
    COLORREF m_before[kCount];
};

// Pixels of the picture in the colour, within a tolerance for smoothed edges.
int PixelsNear(const CapturedImage& image, COLORREF colour)
{
    int count = 0;
    for (const std::uint32_t pixel : image.pixels) {
        const COLORREF at = RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
        const bool similar = std::abs(GetRValue(at) - GetRValue(colour)) < 24 &&
                             std::abs(GetGValue(at) - GetGValue(colour)) < 24 &&
                             std::abs(GetBValue(at) - GetBValue(colour)) < 24;
        count += similar ? 1 : 0;
    }
    return count;
}

TEST_F(WizardWindows, HighContrastRepaintsEveryPageInSystemColoursWhileRunning)
{
    g_productConfiguration.m_manifest.m_strFullName = L"Fenwyx Pro 18";
    g_productConfiguration.m_manifest.m_strShortName = L"Fenwyx Pro";
    CInstallGuide& guide = Open();
    const COLORREF accent = RGB(0x07, 0xA5, 0xD8);
    const int darkAccent = PixelsNear(CaptureWindow(guide), accent);
    ASSERT_GT(darkAccent, 1000);
    {
        const HighContrastColours scheme;
        EXPECT_EQ(clrWindowBack, RGB(0, 0, 0));
        EXPECT_EQ(Settings().m_lnkLicenseTerms.m_clrText, RGB(0xFF, 0xFF, 0));
        EXPECT_EQ(Settings().m_btnInstall.m_clrFace, RGB(0x1A, 0xEB, 0xFF));
        const CapturedImage settings = CaptureWindow(guide);
        // No dark-theme colour is left but in the product icon.
        EXPECT_LT(PixelsNear(settings, accent), darkAccent / 8);
        EXPECT_LT(PixelsNear(settings, RGB(0x18, 0x19, 0x1E)), 200);
        EXPECT_GT(PixelsNear(settings, RGB(0x1A, 0xEB, 0xFF)), 1000);  // Install and the ticked box
        ::SetFocus(nullptr);                                           // as a mouse user sees it: no focus cue
        PumpMessages(100);
        SaveScreenshot(guide, L"high-contrast-settings");

        ASSERT_TRUE(guide.ShowPage(kStatusPage));
        HoldTheWorker();
        // As a refresh shows it; the process's progress record may have ended.
        CStatusPanel& status = Status();
        status.m_progress.m_nPos = 425;
        SetLabelText(status.m_lblPercent, L"42.5%");
        SetLabelText(status.m_lblStatus, LoadUiString(IDS_STATUS_DOWNLOADING));
        SetLabelText(status.m_lblTime, L"35 secs remaining...");
        status.m_progress.Invalidate();
        ::SetFocus(nullptr);
        PumpMessages(300);
        EXPECT_EQ(Status().m_progress.m_clrFill, RGB(0x1A, 0xEB, 0xFF));
        SaveScreenshot(guide, L"high-contrast-progress");
        ASSERT_TRUE(guide.ShowPage(kSuccessPage));
        ::SetFocus(nullptr);
        PumpMessages(200);
        EXPECT_LT(PixelsNear(CaptureWindow(guide), accent), darkAccent / 8);
        SaveScreenshot(guide, L"high-contrast-finish");
    }
    // Back to the dark theme, still running.
    EXPECT_EQ(clrWindowBack, RGB(0x18, 0x19, 0x1E));
    ASSERT_TRUE(guide.ShowPage(kSettingPage));
    PumpMessages(200);
    EXPECT_GT(PixelsNear(CaptureWindow(guide), accent), darkAccent * 3 / 4);
}

// Closing in the moment between the worker's end and the page's next
// refresh asks nothing and still exits with the worker's outcome. In child
// processes, since an end phase stays in the process's progress record.
TEST_F(WizardWindows, ClosingRightAfterTheWorkerEndedKeepsItsExitCode)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::pair<InstallPhase, int> cases[] = {
        {InstallPhase::Finished, 0}, {InstallPhase::Failed, 1603}, {InstallPhase::Cancelled, 1602}};
    g_runSettings.m_bProductInstalled = 1;
    for (const auto& [phase, exitCode] : cases) {
        auto closeAtTheEnd = [this, phase = phase] {
            CInstallGuide& guide = Open();
            Status().m_worker.Progress().Set(phase, -1, 0, L"");
            guide.SendMessage(WM_CLOSE);
            PumpMessages(100);
            const bool closedSilently = !guide.IsWindowVisible() && Boxes().empty();
            std::exit(closedSilently ? ExitCodeOf(RecordedRunOutcome()) : 99);
        };
        EXPECT_EXIT(closeAtTheEnd(), testing::ExitedWithCode(exitCode), "") << static_cast<int>(phase);
    }
}

TEST_F(WizardWindows, RunningApplicationsAreNamedUntilClosedOrCancelled)
{
    CInstallGuide& guide = Open();
    KernelHandle running(::CreateSemaphoreW(nullptr, 0, 1, L"KorvexWizardTestMarker"));
    ASSERT_NE(running.get(), nullptr);
    const std::vector<RunningApplicationMarker> markers = {{L"KorvexWizardTestMarker", L"Fenwyx Organizer"},
                                                           {L"KorvexWizardAbsentMarker", L"Absent"}};
    g_boxAnswer = IDCANCEL;
    EXPECT_FALSE(Status().CheckRunningApplications(L"Fenwyx Pro", markers));
    running.reset();
    g_boxAnswer = IDRETRY;
    EXPECT_TRUE(Status().CheckRunningApplications(L"Fenwyx Pro", markers));
    const std::vector<ShownBox> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, LoadUiString(IDS_CLOSE_RUNNING_APPS) + L"\n\nFenwyx Organizer\r\n");
    EXPECT_EQ(boxes[0].style, static_cast<UINT>(MB_ICONWARNING | MB_RETRYCANCEL));
    (void)guide;
}

TEST_F(WizardWindows, ValidatorCannotBeClosedByKeysOrCaptionAndClosesItself)
{
    g_productConfiguration.m_manifest.m_strVersionCheckUrl = L"http://127.0.0.1:9/version.xml";
    g_productConfiguration.m_strComponentFolder = TempFolder(L"");
    const KernelHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    g_boxRelease = release.get();
    static CClientValidator* s_validator = nullptr;
    static bool s_openAfterInput = false;
    static std::wstring s_title;
    CClientValidator validator;
    s_validator = &validator;
    s_openAfterInput = false;

    // Runs inside the validator's modal loop once its box is up.
    const UINT_PTR script = ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        if (Boxes().empty()) return;
        ::KillTimer(nullptr, id);
        HWND window = s_validator->m_hWnd;
        CString title;
        s_validator->GetWindowText(title);
        s_title = title.GetString();
        ::ShowWindow(window, SW_SHOW);
        PumpMessages(100);
        SaveScreenshot(window, L"wizard-validator");
        for (WPARAM key : {VK_ESCAPE, VK_RETURN, VK_SPACE}) {
            ::PostMessageW(window, WM_KEYDOWN, key, 1);
            ::PostMessageW(s_validator->m_progress, WM_KEYDOWN, key, 1);
        }
        ::PostMessageW(window, WM_SYSKEYDOWN, VK_F4, 0x20000001);
        ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        // The caption's close button, pressed and released (as its own hit
        // code: a press on the caption itself would start moving the window).
        const RECT close = s_validator->m_buttons.at(0).rcButton;
        RECT frame;
        ::GetWindowRect(window, &frame);
        const LPARAM at =
            MAKELPARAM(frame.left + (close.left + close.right) / 2, frame.top + (close.top + close.bottom) / 2);
        ::PostMessageW(window, WM_NCMOUSEMOVE, HTCLOSE, at);
        ::PostMessageW(window, WM_NCLBUTTONDOWN, HTCLOSE, at);
        ::PostMessageW(window, WM_NCLBUTTONUP, HTCLOSE, at);
        PumpMessages(400);
        s_openAfterInput = ::IsWindow(window) && ::IsWindowVisible(window);
        ::SetEvent(g_boxRelease);
    });
    const auto started = std::chrono::steady_clock::now();
    validator.DoModal();
    const auto elapsed = std::chrono::steady_clock::now() - started;
    ::KillTimer(nullptr, script);
    g_boxRelease = nullptr;

    EXPECT_TRUE(s_openAfterInput);
    EXPECT_EQ(s_title, LoadUiString(IDS_PREPARING));
    EXPECT_GE(elapsed, std::chrono::milliseconds(200));
    EXPECT_EQ(validator.m_outcome, Stop);
    EXPECT_EQ(RecordedRunOutcome(), RunOutcome::ServerUnreachable);
    const std::vector<ShownBox> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, LoadUiString(IDS_ERR_CONNECT_DOWNLOAD_SERVER));
    EXPECT_EQ(boxes[0].caption, L"Fenwyx");
    EXPECT_EQ(boxes[0].style, static_cast<UINT>(MB_ICONERROR));
    for (const CaptionButton& button : validator.m_buttons) {
        if (button.id != 2) {
            EXPECT_EQ(button.disabled, 1) << button.id;
        }
    }
}

// The whole silent road in a child process (the worker's end phase stays in
// the process's progress record): the page starts the worker, the worker
// cannot reach the server, the hidden window ends, and the process exits
// with the code the product would give.
TEST_F(WizardWindows, SilentRunStartsTheWorkerAndEndsHiddenWhenTheServerIsAway)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    g_runSettings.m_bSilent = 1;
    g_productConfiguration.m_manifest.m_strVersionCheckUrl = L"http://127.0.0.1:9/version.xml";
    const std::wstring work = TempFolder(L"wizard-silent");
    ::CreateDirectoryW(work.c_str(), nullptr);
    g_productConfiguration.m_strComponentFolder = work + L"\\";
    auto runSilently = [this] {
        m_guide = std::make_unique<CInstallGuide>();
        m_guide->Create(IDD_INSTALL_GUIDE, nullptr);
        const bool hidden = !m_guide->IsWindowVisible();
        for (int waited = 0; waited < 20000 && m_guide->m_hWnd; waited += 100) PumpMessages(100);
        for (const ShownBox& box : Boxes()) std::fprintf(stderr, "box: %ls\n", box.text.c_str());
        const bool ended = hidden && m_guide->m_hWnd == nullptr;
        std::exit(ended ? ExitCodeOf(RecordedRunOutcome()) : 99);
    };
    EXPECT_EXIT(runSilently(), testing::ExitedWithCode(1603), "box: Unable to contact the download server");
    RemoveTree(work);
}

// "/l": at Finished the page starts the installed product through the shell
// and ends the run instead of showing the finish page. In a child process,
// since Finished stays in the process's progress record.
TEST_F(WizardWindows, LaunchSwitchStartsTheProductAtFinishedAndEndsTheRun)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::wstring folder = TempFolder(L"wizard product folder");
    RemoveTree(folder);
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring product = folder + L"\\launch probe.exe";
    ASSERT_TRUE(
        ::CopyFileW((Widen(KORVEX_BINARY_DIR) + L"\\bin\\wizard_launch_probe.exe").c_str(), product.c_str(), FALSE));
    g_runSettings.m_bLaunchProduct = 1;
    g_runSettings.m_bProductInstalled = 1;
    g_productConfiguration.m_strInstallFolder = folder + L"\\";
    g_productConfiguration.m_manifest.m_strMainComponentExecutable = L"launch probe.exe";
    auto finish = [this, &folder] {
        CInstallGuide& guide = Open();
        g_installProgress.Set(InstallPhase::Finished, -1, 0, L"");
        const BOOL goesOn = Status().RefreshProgress();
        const bool ended = !goesOn && guide.m_hWnd == nullptr && g_productConfiguration.m_strInstallFolder == folder;
        std::exit(ended ? ExitCodeOf(RecordedRunOutcome()) : 99);
    };
    EXPECT_EXIT(finish(), testing::ExitedWithCode(0), "");
    const std::wstring record = product + L".ran";
    for (int waited = 0; waited < 15000 && !::PathFileExistsW(record.c_str()); waited += 100) ::Sleep(100);
    EXPECT_TRUE(::PathFileExistsW(record.c_str())) << "the product was not started";
    ::Sleep(200);
    RemoveTree(folder);
}

TEST(ShellLaunch, StartsOurProgramFromAPathWithSpacesThroughTheDesktopShell)
{
    const std::wstring folder = TempFolder(L"wizard launch test");
    RemoveTree(folder);
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring probe = folder + L"\\launch probe.exe";
    ASSERT_TRUE(
        ::CopyFileW((Widen(KORVEX_BINARY_DIR) + L"\\bin\\wizard_launch_probe.exe").c_str(), probe.c_str(), FALSE));

    {
        const ComInitialization com;
        ASSERT_TRUE(com.Succeeded());
        IShellView* view = GetDesktopShellView();
        EXPECT_NE(view, nullptr);
        if (view) view->Release();
    }

    LaunchUnelevatedIfPresent(probe);
    const std::wstring record = probe + L".ran";
    for (int waited = 0; waited < 15000 && !::PathFileExistsW(record.c_str()); waited += 100) ::Sleep(100);
    ASSERT_TRUE(::PathFileExistsW(record.c_str())) << "the probe did not run";
    ::Sleep(200);
    wchar_t text[1024] = {};
    {
        const FileHandle file(
            ::CreateFileW(record.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(file.get(), INVALID_HANDLE_VALUE);
        DWORD read = 0;
        ::ReadFile(file.get(), text, sizeof(text) - sizeof(wchar_t), &read, nullptr);
    }
    EXPECT_NE(std::wstring(text).find(L"launch probe.exe"), std::wstring::npos);

    // A missing program starts nothing and reports nothing.
    LaunchUnelevatedIfPresent(folder + L"\\absent.exe");
    RemoveTree(folder);
}
