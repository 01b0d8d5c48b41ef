#include <gtest/gtest.h>

#include "UiWindowTestSupport.h"
#include "base/WinHandles.h"
#include "ui/KorvexSliderShowCtrl.h"
#include "ui/Theme.h"

namespace {

long long g_nowMs = 0;
long long TestClock()
{
    return g_nowMs;
}

HBITMAP SolidBitmap(int width, int height, COLORREF color)
{
    const WindowDc screen(nullptr, GetDC(nullptr));
    GdiBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    const MemoryDc dc(CreateCompatibleDC(screen.get()));
    const SelectedObject selected(dc.get(), bitmap.get());
    const GdiBrush brush(CreateSolidBrush(color));
    RECT all{0, 0, width, height};
    FillRect(dc.get(), &all, brush.get());
    return bitmap.release();
}

constexpr COLORREF kSlideColors[] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200)};
constexpr COLORREF kBack = RGB(0x18, 0x19, 0x1E);

class SlideShow : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dialog.Open());
        SetSlideShowClockForTesting(&TestClock);
        g_nowMs = 0;
        ASSERT_TRUE(m_show.Create(&m_dialog, 170, CRect(0, 0, 200, 100)));
        m_show.m_clrBack = clrWindowBack;
        m_show.ShowWindow(SW_SHOW);
    }
    void TearDown() override { SetSlideShowClockForTesting(nullptr); }

    void AddSlides(int count, int width, int height)
    {
        for (int i = 0; i < count; ++i)
            m_show.m_slides.emplace_back(width, height, SolidBitmap(width, height, kSlideColors[i]));
    }

    CapturedImage PaintAt(long long nowMs)
    {
        g_nowMs = nowMs;
        m_show.Invalidate(TRUE);
        m_show.UpdateWindow();
        return CaptureClient(m_show.m_hWnd);
    }

    RecordingDialog m_dialog{IDD_UITEST_FIXED};
    CKorvexSliderShowCtrl m_show;
};

TEST_F(SlideShow, ThreeSlidesCycleOnTheClock)
{
    AddSlides(3, 200, 100);
    EXPECT_TRUE(SameColor(PaintAt(0).At(100, 50), kSlideColors[0]));  // takes the start time
    // Half-way through the first push the outgoing slide has moved 100 of 200 pixels.
    CapturedImage image = PaintAt(7800);
    EXPECT_TRUE(SameColor(image.At(99, 50), kSlideColors[0]));
    EXPECT_TRUE(SameColor(image.At(100, 50), kSlideColors[1]));
    EXPECT_TRUE(SameColor(PaintAt(8100).At(0, 50), kSlideColors[1]));
    EXPECT_TRUE(SameColor(PaintAt(16500).At(199, 50), kSlideColors[2]));
    EXPECT_TRUE(SameColor(PaintAt(24300).At(100, 50), kSlideColors[0]));
}

TEST_F(SlideShow, OneSlideStaysCentredThroughTheTransition)
{
    AddSlides(1, 100, 50);
    PaintAt(0);
    for (long long now : {7800LL, 8050LL, 30000LL}) {
        const CapturedImage image = PaintAt(now);
        EXPECT_TRUE(SameColor(image.At(100, 50), kSlideColors[0])) << now;
        EXPECT_TRUE(SameColor(image.At(49, 50), kBack)) << now;
        EXPECT_TRUE(SameColor(image.At(150, 50), kBack)) << now;
    }
}

TEST_F(SlideShow, EmptyShowsBackgroundAndStillReportsClicks)
{
    const CapturedImage image = PaintAt(5000);
    EXPECT_TRUE(SameColor(image.At(100, 50), kBack));
    // Sent, not posted: the parent has it before the press returns.
    m_show.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(m_dialog.Received(WM_SLIDESHOW_CLICK), 1);
}

TEST_F(SlideShow, RefillingFreesThePreviousPictures)
{
    AddSlides(2, 50, 50);
    const HBITMAP first = m_show.m_slides[0].bitmap.get();
    ASSERT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_BITMAP));
    m_show.m_slides.clear();
    EXPECT_EQ(GetObjectType(first), 0u);
}

}  // namespace
