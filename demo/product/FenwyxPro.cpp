// The sample product: a small window titled "Fenwyx Pro". Every start is
// recorded (see RunRecord.h) so that tests can tell that the installer
// launched it, and with which command line.
// "/close-after MS" closes the window by itself, for tests.
#include "RunRecord.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>

namespace {

constexpr wchar_t kWindowClass[] = L"FenwyxProSampleWindow";
constexpr UINT_PTR kCloseTimer = 1;

LRESULT CALLBACK ProductWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT client;
            GetClientRect(window, &client);
            HBRUSH back = CreateSolidBrush(RGB(0x18, 0x19, 0x1E));
            FillRect(dc, &client, back);
            DeleteObject(back);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(0xF0, 0xF0, 0xF0));
            DrawTextW(dc, L"Fenwyx Pro\nSample product of the Korvex web installer", -1, &client,
                      DT_CENTER | DT_VCENTER | DT_WORDBREAK);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_TIMER:
            if (wParam == kCloseTimer) {
                KillTimer(window, kCloseTimer);
                DestroyWindow(window);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Milliseconds after "/close-after", or 0 when the switch is absent.
UINT CloseAfterMilliseconds(const wchar_t* commandLine)
{
    const wchar_t* found = wcsstr(commandLine, L"/close-after");
    if (!found) return 0;
    found += wcslen(L"/close-after");
    while (iswspace(*found)) ++found;
    unsigned long value = wcstoul(found, nullptr, 10);
    return value > 0 && value < 86400000UL ? (UINT)value : 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand)
{
    const wchar_t* commandLine = GetCommandLineW();
    AppendRunRecord(RunRecordPath(L"FENWYX_PRO_RECORD", L".runs.log"), commandLine);

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = ProductWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&windowClass)) return 1;

    HWND window = CreateWindowExW(0, kWindowClass, L"Fenwyx Pro", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  420, 240, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    if (UINT closeAfter = CloseAfterMilliseconds(commandLine)) SetTimer(window, kCloseTimer, closeAfter, nullptr);
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
