// Carries the product's resources for the resource test while the product
// executable itself is not built.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return 0;
}
