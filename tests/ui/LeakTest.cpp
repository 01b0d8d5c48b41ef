#include <gtest/gtest.h>

#include "GalleryWindow.h"
#include "UiWindowTestSupport.h"

namespace {

struct GuiCounts {
    DWORD gdi = 0;
    DWORD user = 0;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM count)
{
    ++*reinterpret_cast<DWORD*>(count);
    EnumChildWindows(window, CountWindow, count);
    return TRUE;
}

// Wine answers GetGuiResources with 0. There, a GDI handle value without a
// generation still names its table slot, so probing every slot counts the
// live GDI objects; windows are counted by walking this thread's windows.
GuiCounts CountGuiObjects()
{
    GuiCounts counts{GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                     GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
    if (counts.gdi != 0 || counts.user != 0) return counts;
    for (UINT_PTR slot = 1; slot <= 0xFFFF; ++slot) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++counts.gdi;
    }
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&counts.user));
    return counts;
}

void OpenAndCloseGallery()
{
    GalleryWindow gallery;
    ASSERT_TRUE(gallery.Open());
    PumpMessages(150);
    gallery.OpenComboList();
    PumpMessages(150);
}

TEST(GuiLeaks, GalleryWindowTwiceLeavesNoHandles)
{
    // The first round fills the image cache and starts the shared services.
    OpenAndCloseGallery();
    PumpMessages(100);
    const GuiCounts before = CountGuiObjects();
    ASSERT_GT(before.gdi, 0u);
    OpenAndCloseGallery();
    OpenAndCloseGallery();
    PumpMessages(100);
    const GuiCounts after = CountGuiObjects();
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
}

}  // namespace
