#pragma once
// CWinApp: the one application object, constructed as a global. The entry
// point runs InitInstance; when that returns FALSE the program ends through
// ExitInstance, otherwise Run pumps messages until WM_QUIT and then calls
// ExitInstance. The exit code is ExitInstance's result.

#include "mfc/Wnd.h"

class CWinApp {
public:
    explicit CWinApp(const wchar_t* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();

    void SetRegistryKey(const wchar_t* registryKey);

    HINSTANCE m_hInstance = nullptr;
    const wchar_t* m_lpCmdLine = L"";
    int m_nCmdShow = SW_SHOWNORMAL;
    // The executable's file name without extension unless the constructor got one.
    const wchar_t* m_pszAppName = nullptr;
    const wchar_t* m_pszExeName = nullptr;
    const wchar_t* m_pszRegistryKey = nullptr;
    CWnd* m_pMainWnd = nullptr;

private:
    friend int AfxWinMain(HINSTANCE, HINSTANCE, LPWSTR, int);
    void SetNamesFromModule();

    CString m_strAppName;
    CString m_strExeName;
    CString m_strRegistryKey;
    int m_nExitCode = 0;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();

// The body of the program's entry point (wWinMain calls it).
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand);
