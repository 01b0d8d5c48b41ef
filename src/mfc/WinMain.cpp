// The entry point of GUI programs built on the framework (target korvex_mfc_main).
#include "mfc/WinApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand)
{
    return AfxWinMain(instance, previous, commandLine, showCommand);
}
