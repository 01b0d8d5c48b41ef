#include "ui/Dpi.h"

#ifdef _WIN32
#include <windows.h>

#include "base/WinHandles.h"
#endif

namespace korvex::ui {

double DpiStepFactor(int dpi)
{
    const double ratio = static_cast<double>(dpi) / 96.0;
    if (ratio < 1.25) return 1.0;
    if (ratio < 1.5) return 1.25;
    if (ratio < 2.0) return 1.5;
    return 2.0;
}

int ScaleStepped(int dpi, int designLength)
{
    return static_cast<int>(DpiStepFactor(dpi) * designLength);
}

int ScaleExact(int dpi, int designLength)
{
    return static_cast<int>(static_cast<float>(dpi) * static_cast<float>(designLength) / 96.0f);
}

int SteppedDpi(int dpi)
{
    if (dpi < 120) return dpi;
    if (dpi < 144) return 120;
    if (dpi < 192) return 144;
    return 192;
}

unsigned ImageIdForDpi(int steppedDpi, unsigned baseId)
{
    if (steppedDpi < 120) return baseId;
    if (steppedDpi < 144) return baseId + 1;
    if (steppedDpi < 192) return baseId + 2;
    return baseId + 3;
}

}  // namespace korvex::ui

namespace {

struct DpiCache {
    bool read = false;
    int x = 0;
    int y = 0;
};

DpiCache g_dpi;

// Without a screen DC both values stay 0, as on a host build.
void ReadScreenDpi(int& dpiX, int& dpiY)
{
#ifdef _WIN32
    const WindowDc screen(nullptr, GetDC(nullptr));
    if (!screen) return;
    dpiX = GetDeviceCaps(screen.get(), LOGPIXELSX);
    dpiY = GetDeviceCaps(screen.get(), LOGPIXELSY);
#else
    (void)dpiX;
    (void)dpiY;
#endif
}

}  // namespace

using namespace korvex::ui;

void EnsureDpi()
{
    if (g_dpi.read) return;
    g_dpi.read = true;
    ReadScreenDpi(g_dpi.x, g_dpi.y);
}

int ScreenDpiX()
{
    EnsureDpi();
    return g_dpi.x;
}

int ScreenDpiY()
{
    EnsureDpi();
    return g_dpi.y;
}

int DpiScaleX(int designLength)
{
    return ScaleStepped(ScreenDpiX(), designLength);
}
int DpiScaleY(int designLength)
{
    return ScaleStepped(ScreenDpiY(), designLength);
}
int DpiExactX(int designLength)
{
    return ScaleExact(ScreenDpiX(), designLength);
}
int DpiExactY(int designLength)
{
    return ScaleExact(ScreenDpiY(), designLength);
}
int DpiStep()
{
    return SteppedDpi(ScreenDpiY());
}
unsigned DpiImageId(unsigned baseId)
{
    return ImageIdForDpi(DpiStep(), baseId);
}

void SetScreenDpiForTesting(int dpiX, int dpiY)
{
    g_dpi.read = true;
    g_dpi.x = dpiX;
    g_dpi.y = dpiY;
}
