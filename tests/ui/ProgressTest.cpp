#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "UiWindowTestSupport.h"
#include "ui/Direct2D.h"
#include "ui/KorvexProgress.h"
#include "ui/Theme.h"

namespace {

constexpr COLORREF kBack = RGB(0x18, 0x19, 0x1E);
constexpr COLORREF kTrack = RGB(0x4B, 0x47, 0x46);
constexpr COLORREF kFill = RGB(0x07, 0xA5, 0xD8);

class ProgressPixels : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(ScreenDpiY(), 96);
        ASSERT_TRUE(m_dialog.Open());
        ASSERT_TRUE(m_progress.Create(&m_dialog, 105, CRect(10, 100, 310, 108)));
        m_progress.m_clrBack = clrWindowBack;
        m_progress.m_clrTrack = clrProgressTrack;
        m_progress.m_clrFill = clrProgressFill;
        m_progress.m_nRange = 1000;
        m_progress.m_rcTrack = RECT{0, 0, 300, 8};
        m_progress.ShowWindow(SW_SHOW);
    }

    CapturedImage PaintAt(int position)
    {
        m_progress.m_nPos = position;
        m_progress.Invalidate(TRUE);
        m_progress.UpdateWindow();
        return CaptureClient(m_progress.m_hWnd);
    }

    RecordingDialog m_dialog{IDD_UITEST_FIXED};
    CKorvexProgress m_progress;
};

TEST_F(ProgressPixels, EmptyAndNegativeShowOnlyTheTrack)
{
    for (int position : {0, -50}) {
        const CapturedImage image = PaintAt(position);
        ASSERT_FALSE(image.IsEmpty());
        EXPECT_TRUE(SameColor(image.At(5, 4), kTrack)) << position;
        EXPECT_TRUE(SameColor(image.At(150, 4), kTrack)) << position;
    }
}

TEST_F(ProgressPixels, PartialFillStopsAtItsShare)
{
    // 42.5 % of 300 pixels ends at x = 127.5.
    const CapturedImage image = PaintAt(425);
    EXPECT_TRUE(SameColor(image.At(10, 4), kFill));
    EXPECT_TRUE(SameColor(image.At(126, 4), kFill));
    EXPECT_TRUE(SameColor(image.At(129, 4), kTrack));
    EXPECT_TRUE(SameColor(image.At(290, 4), kTrack));
    // Rounded left end: the corner pixel is not fully filled.
    EXPECT_FALSE(SameColor(image.At(0, 0), kFill));
}

TEST_F(ProgressPixels, FullAndOverRangeStayOnTheTrack)
{
    for (int position : {1000, 1500, 1000000}) {
        const CapturedImage image = PaintAt(position);
        EXPECT_TRUE(SameColor(image.At(150, 4), kFill)) << position;
        EXPECT_TRUE(SameColor(image.At(296, 4), kFill)) << position;
        // Both ends keep the track's rounded corners.
        EXPECT_FALSE(SameColor(image.At(299, 0), kFill)) << position;
        EXPECT_FALSE(SameColor(image.At(0, 7), kFill)) << position;
        EXPECT_FALSE(SameColor(image.At(299, 0), kTrack)) << position;
    }
}

TEST_F(ProgressPixels, SmallerTrackIsCentredOnTheBackground)
{
    m_progress.MoveWindow(10, 100, 300, 20);
    m_progress.m_rcTrack = RECT{0, 0, 200, 8};
    const CapturedImage image = PaintAt(0);
    EXPECT_TRUE(SameColor(image.At(20, 10), kBack));
    EXPECT_TRUE(SameColor(image.At(150, 2), kBack));
    EXPECT_TRUE(SameColor(image.At(150, 10), kTrack));
    EXPECT_TRUE(SameColor(image.At(280, 10), kBack));
}

// The start-up warm-up draws on another thread with the same device: a
// paint that meets it waits until it is done, and then paints as ever.
TEST_F(ProgressPixels, PaintWaitsForADrawingOnAnotherThread)
{
    std::atomic<bool> holding{false}, released{false};
    std::thread other([&] {
        std::unique_lock<std::mutex> drawing = LockDirect2DDrawing();
        holding = true;
        Sleep(500);
        released = true;
    });
    while (!holding) Sleep(1);
    const CapturedImage image = PaintAt(1000);
    const bool paintWaited = released;
    other.join();
    EXPECT_TRUE(paintWaited) << "the paint drew beside another drawing";
    EXPECT_TRUE(SameColor(image.At(150, 4), kFill));
}

}  // namespace
