// The harness programs against a window and message boxes of this test.
#include "HarnessProcess.h"
#include "HarnessText.h"
#include "MessageBoxRules.h"
#include "base/GdiplusHandles.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace {

// ---- Rules of the message-box watcher (pure) -------------------------------

TEST(MessageBoxRules, RejectsMalformedLinesNamingTheLine)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* errorPart;
    } cases[] = {
        {L"only a pattern", L"line 1: expected"},
        {L"# comment\n\nbox\tMaybe", L"line 3: unknown answer \"Maybe\""},
        {L"box\tYes\tsoon", L"line 1: bad delay \"soon\""},
        {L"box\tYes\t10\tforever", L"line 1: the fourth field"},
        {L"box\tYes\t1\trepeat\textra", L"line 1: expected"},
        {L"\tYes", L"line 1: expected"},
    };
    for (const Case& c : cases) {
        MessageBoxRules rules;
        std::wstring error;
        EXPECT_FALSE(rules.Parse(c.text, error)) << Utf8FromWide(c.text);
        EXPECT_NE(error.find(c.errorPart), std::wstring::npos) << Utf8FromWide(error);
    }
}

TEST(MessageBoxRules, FirstUnusedMatchAnswersAndOneShotRulesAreUsedUp)
{
    MessageBoxRules rules;
    std::wstring error;
    ASSERT_TRUE(
        rules.Parse(L"# cancel question: first No, then Yes\r\n"
                    L"cancel the installation\tNo\t2500\r\n"
                    L"cancel the installation\tYes\r\n"
                    L"Fenwyx\tOK\t\trepeat\r\n",
                    error))
        << Utf8FromWide(error);
    ASSERT_EQ(rules.size(), 3u);

    const MessageBoxRule* first = rules.Take(L"Fenwyx", L"Are you sure you want to cancel the installation?");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->answer, L"No");
    EXPECT_EQ(first->delayMilliseconds, 2500u);
    const MessageBoxRule* second = rules.Take(L"Fenwyx", L"Are you sure you want to cancel the installation?");
    ASSERT_TRUE(second);
    EXPECT_EQ(second->answer, L"Yes");
    // Both one-shot rules are gone: the caption rule answers from now on, every time.
    for (int i = 0; i < 3; ++i) {
        const MessageBoxRule* third = rules.Take(L"Fenwyx", L"Are you sure you want to cancel the installation?");
        ASSERT_TRUE(third);
        EXPECT_EQ(third->answer, L"OK");
    }
    EXPECT_EQ(rules.Take(L"Other", L"unrelated"), nullptr);
}

TEST(MessageBoxRules, StarMatchesEveryBoxAndMatchingIsCaseSensitive)
{
    MessageBoxRules rules;
    std::wstring error;
    ASSERT_TRUE(rules.Parse(L"error\tRetry\n*\tCancel", error));
    EXPECT_EQ(rules.Take(L"", L"An Error occurred")->answer, L"Cancel");
    EXPECT_EQ(rules.Take(L"", L"an error occurred")->answer, L"Retry");
    EXPECT_EQ(rules.Take(L"", L""), nullptr);
}

TEST(MessageBoxRules, AnswersMapToDialogIds)
{
    struct Case {
        const wchar_t* name;
        int id;
    } cases[] = {{L"OK", IDOK},
                 {L"Cancel", IDCANCEL},
                 {L"Abort", IDABORT},
                 {L"Retry", IDRETRY},
                 {L"Ignore", IDIGNORE},
                 {L"Yes", IDYES},
                 {L"No", IDNO},
                 {L"TryAgain", IDTRYAGAIN},
                 {L"Continue", IDCONTINUE},
                 {L"yes", 0},
                 {L"", 0}};
    for (const Case& c : cases) EXPECT_EQ(ButtonIdOfAnswer(c.name), c.id) << Utf8FromWide(c.name);
}

TEST(HarnessText, JsonQuotingAndMnemonics)
{
    EXPECT_EQ(JsonQuote(L"a \"b\" \\ c\r\n\t\x01"), "\"a \\\"b\\\" \\\\ c\\r\\n\\t\\u0001\"");
    EXPECT_EQ(JsonQuote(L"\u00dc \u65e5"), "\"\xc3\x9c \xe6\x97\xa5\"");
    EXPECT_EQ(WithoutMnemonic(L"&Yes"), L"Yes");
    EXPECT_EQ(WithoutMnemonic(L"Save && &Exit"), L"Save & Exit");
    EXPECT_EQ(WithoutMnemonic(L"Trailing&"), L"Trailing");
}

// ---- A window of our own for the UI driver ---------------------------------

constexpr wchar_t kTestWindowClass[] = L"KorvexHarnessTestWindow";
constexpr wchar_t kTestPageClass[] = L"KorvexHarnessTestPage";
constexpr int kButtonId = 1001;
constexpr int kEditId = 1002;
constexpr COLORREF kBackground = RGB(220, 20, 60);

std::atomic<HWND> g_clickedButton{nullptr};
std::atomic<int> g_clicks{0};

LRESULT CALLBACK TestPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        g_clickedButton = (HWND)lParam;
        ++g_clicks;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Two pages reuse the same button id; only the second is on show.
class TestWindow {
public:
    TestWindow()
    {
        std::promise<void> ready;
        auto created = ready.get_future();
        m_thread = std::thread([this, &ready] {
            Create();
            ready.set_value();
            MSG message;
            while (GetMessageW(&message, nullptr, 0, 0) > 0) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        });
        created.wait();
    }
    ~TestWindow()
    {
        PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        m_thread.join();
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND window() const { return m_hWnd; }
    HWND hiddenButton() const { return m_hHiddenButton; }
    HWND shownButton() const { return m_hShownButton; }
    HWND edit() const { return m_hEdit; }

private:
    static LRESULT CALLBACK TopProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProcW(window, message, wParam, lParam);
    }

    void Create()
    {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSW top = {};
        top.lpfnWndProc = TopProc;
        top.hInstance = instance;
        top.hbrBackground = CreateSolidBrush(kBackground);
        top.lpszClassName = kTestWindowClass;
        RegisterClassW(&top);
        WNDCLASSW page = {};
        page.lpfnWndProc = TestPageProc;
        page.hInstance = instance;
        page.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
        page.lpszClassName = kTestPageClass;
        RegisterClassW(&page);

        m_hWnd = CreateWindowExW(WS_EX_TOPMOST, kTestWindowClass, L"Harness test window", WS_POPUP | WS_VISIBLE, 40, 40,
                                 360, 240, nullptr, nullptr, instance, nullptr);
        HWND hiddenPage =
            CreateWindowExW(0, kTestPageClass, L"", WS_CHILD, 0, 0, 360, 120, m_hWnd, nullptr, instance, nullptr);
        HWND shownPage = CreateWindowExW(0, kTestPageClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 360, 120, m_hWnd, nullptr,
                                         instance, nullptr);
        m_hHiddenButton = CreateWindowExW(0, L"Button", L"Hidden", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 100,
                                          30, hiddenPage, (HMENU)(INT_PTR)kButtonId, instance, nullptr);
        m_hShownButton = CreateWindowExW(0, L"Button", L"Press", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 100, 30,
                                         shownPage, (HMENU)(INT_PTR)kButtonId, instance, nullptr);
        m_hEdit = CreateWindowExW(0, L"Edit", L"C:\\Program Files\\Korvex Systems", WS_CHILD | WS_VISIBLE | WS_BORDER,
                                  10, 60, 300, 24, shownPage, (HMENU)(INT_PTR)kEditId, instance, nullptr);
        UpdateWindow(m_hWnd);
    }

    std::thread m_thread;
    HWND m_hWnd = nullptr;
    HWND m_hHiddenButton = nullptr;
    HWND m_hShownButton = nullptr;
    HWND m_hEdit = nullptr;
};

DWORD Driver(const std::wstring& arguments)
{
    DWORD exitCode = STILL_ACTIVE;
    EXPECT_TRUE(RunToEnd(L"\"" + HarnessProgram(L"KorvexUiDriver.exe") + L"\" " + arguments, exitCode))
        << Utf8FromWide(arguments);
    return exitCode;
}

template <typename Condition>
bool Eventually(Condition condition, DWORD timeout = 5000)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeout) return false;
        Sleep(20);
    }
    return true;
}

std::wstring ControlText(HWND control)
{
    wchar_t text[512] = {};
    GetWindowTextW(control, text, 512);
    return text;
}

TEST(UiDriver, ClicksTheVisibleControlAndTypesIntoAnEdit)
{
    TestWindow window;
    g_clicks = 0;
    EXPECT_EQ(Driver(L"click --class KorvexHarnessTestWindow --id 1001"), 0u);
    EXPECT_TRUE(Eventually([] { return g_clicks.load() == 1; }));
    EXPECT_EQ(g_clickedButton.load(), window.shownButton());

    EXPECT_EQ(Driver(L"type --class KorvexHarnessTestWindow --id 1002 --text \"D:\\Fenwyx \u00dc\""), 0u);
    EXPECT_EQ(ControlText(window.edit()), L"D:\\Fenwyx \u00dc");

    std::wstring folder = TestScratchFolder(L"driver");
    std::wstring textFile = folder + L"\\text.txt";
    EXPECT_EQ(Driver(L"text --class KorvexHarnessTestWindow --id 1002 --out \"" + textFile + L"\""), 0u);
    EXPECT_EQ(ReadWholeFile(textFile), "D:\\Fenwyx \xc3\x9c\n");

    std::wstring listFile = folder + L"\\list.jsonl";
    EXPECT_EQ(Driver(L"list --class KorvexHarnessTestWindow --out \"" + listFile + L"\""), 0u);
    std::string list = ReadWholeFile(listFile);
    EXPECT_NE(list.find("\"id\":1002,\"visible\":true"), std::string::npos) << list;
    EXPECT_NE(list.find("\"class\":\"KorvexHarnessTestPage\""), std::string::npos) << list;
    EXPECT_NE(list.find("\"text\":\"Hidden\""), std::string::npos) << list;
}

TEST(UiDriver, ReportsMissingWindowsAndControls)
{
    TestWindow window;
    EXPECT_EQ(Driver(L"click --class KorvexHarnessTestWindow --id 4242"), 1u);
    EXPECT_EQ(Driver(L"wait --class NoSuchWindowClass --timeout 300"), 1u);
    EXPECT_EQ(Driver(L"wait --class KorvexHarnessTestWindow --id 1002 --timeout 3000"), 0u);
    EXPECT_EQ(Driver(L"type --class KorvexHarnessTestWindow --id 1002"), 2u);
    EXPECT_EQ(Driver(L"frobnicate"), 2u);
}

TEST(UiDriver, ClosesAWindowAndWaitsUntilItIsGone)
{
    auto window = std::make_unique<TestWindow>();
    EXPECT_EQ(Driver(L"close --class KorvexHarnessTestWindow"), 0u);
    EXPECT_EQ(Driver(L"wait-gone --class KorvexHarnessTestWindow --timeout 5000"), 0u);
    window.reset();
}

TEST(UiDriver, SavesTheWindowAsPng)
{
    TestWindow window;
    std::wstring png = TestScratchFolder(L"shot") + L"\\window.png";
    ASSERT_EQ(Driver(L"screenshot --class KorvexHarnessTestWindow --raise --png \"" + png + L"\""), 0u);
    std::string bytes = ReadWholeFile(png);
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");

    const GdiplusToken gdiplus = StartGdiplus();
    ASSERT_TRUE(gdiplus);
    {
        Gdiplus::Bitmap image(png.c_str());
        RECT rect;
        GetWindowRect(window.window(), &rect);
        EXPECT_EQ((LONG)image.GetWidth(), rect.right - rect.left);
        EXPECT_EQ((LONG)image.GetHeight(), rect.bottom - rect.top);
        // Below the pages the window shows its own background.
        Gdiplus::Color pixel;
        ASSERT_EQ(image.GetPixel(180, 200, &pixel), Gdiplus::Ok);
        EXPECT_EQ(pixel.GetR(), GetRValue(kBackground));
        EXPECT_EQ(pixel.GetG(), GetGValue(kBackground));
        EXPECT_EQ(pixel.GetB(), GetBValue(kBackground));
        // The edit field is white.
        ASSERT_EQ(image.GetPixel(250, 72, &pixel), Gdiplus::Ok);
        EXPECT_GT(pixel.GetR() + pixel.GetG() + pixel.GetB(), 600);
    }
}

TEST(UiDriver, RunPassesOnTheFullExitCode)
{
    std::wstring codeFile = TestScratchFolder(L"run") + L"\\exit.txt";
    EXPECT_EQ(Driver(L"run --exit-code-file \"" + codeFile + L"\" -- cmd.exe /c exit 1602"), 1602u);
    EXPECT_EQ(ReadWholeFile(codeFile), "1602\n");
    EXPECT_EQ(Driver(L"run --exit-code-file \"" + codeFile + L"\" -- no-such-program.exe"), 1u);
    EXPECT_EQ(ReadWholeFile(codeFile).rfind("start-failed", 0), 0u);
    EXPECT_EQ(Driver(L"run -- cmd.exe /c exit 0"), 2u);
}

// ---- Message boxes of our own for the watcher ------------------------------

TEST(MsgBoxWatcher, RecordsAndAnswersBoxesFromAnyThread)
{
    std::wstring folder = TestScratchFolder(L"watcher");
    std::wstring log = folder + L"\\boxes.jsonl", rules = folder + L"\\rules.txt", stop = folder + L"\\stop";
    ASSERT_TRUE(WriteWholeFile(rules,
                               "# harness self-test\n"
                               "Delete everything?\tNo\n"
                               "Hold on\tYes\t1500\n"));
    ChildProcess watcher;
    ASSERT_TRUE(watcher.Start(L"\"" + HarnessProgram(L"KorvexMsgBoxWatcher.exe") + L"\" --log \"" + log +
                              L"\" --rules \"" + rules + L"\" --default OK --stop-file \"" + stop +
                              L"\" --timeout 60"));

    auto ask = [](const wchar_t* text, const wchar_t* caption, UINT style) {
        return std::async(std::launch::async, [=] { return MessageBoxW(nullptr, text, caption, style); });
    };
    auto first = ask(L"Delete everything?", L"Harness", MB_YESNO | MB_ICONQUESTION);
    ASSERT_EQ(first.wait_for(std::chrono::seconds(20)), std::future_status::ready) << "the box was not answered";
    EXPECT_EQ(first.get(), IDNO);

    DWORD start = GetTickCount();
    auto second = ask(L"Hold on", L"Harness", MB_YESNO);
    ASSERT_EQ(second.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_EQ(second.get(), IDYES);
    EXPECT_GE(GetTickCount() - start, 1400u) << "the rule's delay was not kept";

    auto third = ask(L"Line \"one\"\nLine two", L"Fenwyx Pro \u2014 \u00dcberpr\u00fcfung", MB_OKCANCEL | MB_ICONERROR);
    ASSERT_EQ(third.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_EQ(third.get(), IDOK);

    ASSERT_TRUE(WriteWholeFile(stop, ""));
    EXPECT_EQ(watcher.Wait(10000), 0u);

    std::string records = ReadWholeFile(log);
    EXPECT_NE(records.find("\"caption\":\"Harness\",\"text\":\"Delete everything?\",\"buttons\":[\"Yes\",\"No\"],"
                           "\"answer\":\"No\",\"delay_ms\":0}"),
              std::string::npos)
        << records;
    EXPECT_NE(records.find("\"text\":\"Hold on\",\"buttons\":[\"Yes\",\"No\"],\"answer\":\"Yes\",\"delay_ms\":1500}"),
              std::string::npos)
        << records;
    EXPECT_NE(
        records.find("\"caption\":\"Fenwyx Pro \xe2\x80\x94 \xc3\x9c"
                     "berpr\xc3\xbc"
                     "fung\","
                     "\"text\":\"Line \\\"one\\\"\\nLine two\",\"buttons\":[\"OK\",\"Cancel\"],\"answer\":\"OK\""),
        std::string::npos)
        << records;
    EXPECT_NE(records.find("\"seq\":3,"), std::string::npos) << records;
    EXPECT_EQ(records.find("\"seq\":4,"), std::string::npos) << "a box was recorded twice: " << records;
}

}  // namespace
