// Opens the control gallery at the screen's DPI, saves it as
// screenshots/gallery-<dpi>dpi.png in the build folder and exits with 0, or
// names what failed and exits with 1.
#include <cstdio>
#include <string>

#include "GalleryWindow.h"
#include "MessagePump.h"
#include "WindowCapture.h"
#include "ui/Theme.h"

namespace {

int Fail(const char* what)
{
    std::fprintf(stderr, "gallery: %s\n", what);
    return 1;
}

std::wstring Widen(const char* text)
{
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

}  // namespace

int main()
{
    InitThemePalette();
    if (!CreateThemeFonts()) return Fail("the theme fonts could not be created");
    const std::wstring folder = Widen(KORVEX_BINARY_DIR) + L"\\screenshots";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\gallery-" + std::to_wstring(ScreenDpiY()) + L"dpi.png";

    int status = 0;
    {
        GalleryWindow gallery;
        if (!gallery.Open()) {
            status = Fail("the gallery window could not be created");
        } else {
            PumpMessages(300);
            gallery.OpenComboList();
            PumpMessages(300);
            RECT bounds;
            gallery.GetWindowRect(&bounds);
            if (!SavePicture(CaptureScreen(bounds), path, PictureFormat::Png))
                status = Fail("the picture could not be saved");
        }
    }
    DestroyThemeFonts();
    if (status == 0) std::printf("gallery: saved %ls\n", path.c_str());
    return status;
}
