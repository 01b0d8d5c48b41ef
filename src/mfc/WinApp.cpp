#include "mfc/WinApp.h"

#include "mfc/ThreadState.h"

namespace {

CWinApp* g_app = nullptr;

}  // namespace

CWinApp* AfxGetApp()
{
    return g_app;
}

CWnd* AfxGetMainWnd()
{
    return g_app ? g_app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    return ::GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return ::GetModuleHandleW(nullptr);
}

CWinApp::CWinApp(const wchar_t* appName)
{
    if (appName) m_strAppName = appName;
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this) g_app = nullptr;
}

void CWinApp::SetNamesFromModule()
{
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(m_hInstance, path, MAX_PATH);
    CString fileName(path, static_cast<int>(length));
    int slash = fileName.ReverseFind(L'\\');
    fileName = fileName.Mid(slash + 1);
    int dot = fileName.ReverseFind(L'.');
    m_strExeName = dot >= 0 ? fileName.Left(dot) : fileName;
    if (m_strAppName.IsEmpty()) m_strAppName = m_strExeName;
    m_pszExeName = m_strExeName;
    m_pszAppName = m_strAppName;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return m_nExitCode;
}

int CWinApp::Run()
{
    MSG msg;
    for (;;) {
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) AfxDeleteTempObjects();
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (!AfxWalkPreTranslateTree(nullptr, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    m_nExitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

void CWinApp::SetRegistryKey(const wchar_t* registryKey)
{
    m_strRegistryKey = registryKey ? registryKey : L"";
    m_pszRegistryKey = m_strRegistryKey;
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand)
{
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = instance;
    app->m_lpCmdLine = commandLine ? commandLine : L"";
    app->m_nCmdShow = showCommand;
    app->SetNamesFromModule();
    int exitCode = app->InitInstance() ? app->Run() : app->ExitInstance();
    AfxDeleteTempObjects();
    return exitCode;
}
