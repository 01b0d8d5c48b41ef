// The program's one application object; the framework's entry point runs it.
#include <windows.h>

#include "app/KorvexMasterInstallerApp.h"

namespace {

// Runs before every other constructor and before the first delay-loaded DLL
// is needed: from here on DLLs are looked up in System32 only, never in the
// (often Downloads) folder the installer was started from. uxtheme is loaded
// from System32 at once and kept for the process's life: the common controls
// and Wine's user32 load it by bare name through a path that ignores the
// default directories, and an already loaded module is what they then get.
__attribute__((constructor(101))) void LimitDllSearchToSystem32()
{
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::LoadLibraryExW(L"uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

CKorvexMasterInstallerApp theApp;
