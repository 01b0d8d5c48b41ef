// The program entry, kept in its own object so that only programs that use
// it (not the console test runners) pull it from the library.
#include "mfc/WinApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand)
{
    return AfxWinMain(instance, previous, commandLine, showCommand);
}
