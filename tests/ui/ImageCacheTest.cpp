#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "UiTestDialogs.h"
#include "WindowCapture.h"
#include "mfc/AfxWin.h"
#include "ui/GdiplusSession.h"
#include "ui/ImageWrapper.h"

namespace {

std::vector<std::uint8_t> DibPixels(HBITMAP bitmap)
{
    DIBSECTION section{};
    if (GetObjectW(bitmap, sizeof(section), &section) != sizeof(section) || !section.dsBm.bmBits) return {};
    const auto* bits = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
    return std::vector<std::uint8_t>(bits, bits + section.dsBm.bmWidthBytes * section.dsBm.bmHeight);
}

std::wstring TempPath(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

TEST(ImageCache, SameIdGivesTheSameBitmap)
{
    const std::shared_ptr<CImageWrapper> first = LoadPngResource(106);
    ASSERT_TRUE(first);
    ASSERT_NE(first->bitmap.get(), nullptr);
    EXPECT_EQ(first->width, 16);
    EXPECT_EQ(first->height, 16);
    EXPECT_EQ(first->frameCount, 1);
    const size_t cached = CachedImageCount();
    const std::shared_ptr<CImageWrapper> second = LoadPngResource(106);
    EXPECT_EQ(second->bitmap.get(), first->bitmap.get());
    EXPECT_EQ(CachedImageCount(), cached);
    // Each size step is its own entry.
    const std::shared_ptr<CImageWrapper> larger = LoadPngResource(109);
    ASSERT_TRUE(larger);
    EXPECT_EQ(larger->width, 32);
    EXPECT_NE(larger->bitmap.get(), first->bitmap.get());
}

TEST(ImageCache, ResourcePixelsArePremultiplied)
{
    const std::shared_ptr<CImageWrapper> image = LoadPngResource(IDB_UITEST_PREMULTIPLY);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width, 2);
    ASSERT_EQ(image->height, 1);
    const std::vector<std::uint8_t> pixels = DibPixels(image->bitmap.get());
    ASSERT_GE(pixels.size(), 8u);
    // BGRA: (200, 100, 50) at alpha 128 is stored as (100, 50, 25).
    EXPECT_EQ(pixels[0], 25);
    EXPECT_EQ(pixels[1], 50);
    EXPECT_EQ(pixels[2], 100);
    EXPECT_EQ(pixels[3], 128);
    EXPECT_EQ(pixels[4], 30);
    EXPECT_EQ(pixels[5], 20);
    EXPECT_EQ(pixels[6], 10);
    EXPECT_EQ(pixels[7], 255);
}

TEST(ImageCache, MissingResourceIsEmptyAndNotCached)
{
    const size_t before = CachedImageCount();
    EXPECT_FALSE(LoadPngResource(4242));
    // A resource of another type under a PNG-less id is not a picture either.
    EXPECT_FALSE(LoadPngResource(IDD_UITEST_FIXED));
    EXPECT_EQ(CachedImageCount(), before);
}

TEST(ImageFile, MissingFileIsNullAndNonImageHasNoBitmap)
{
    EXPECT_EQ(LoadImageFile(CString(TempPath(L"korvex-no-such-picture.jpg").c_str())), nullptr);

    const std::wstring textPath = TempPath(L"korvex-not-a-picture.jpg");
    FILE* file = _wfopen(textPath.c_str(), L"wb");
    ASSERT_NE(file, nullptr);
    std::fputs("this is not a picture\n", file);
    std::fclose(file);
    const std::unique_ptr<CImageWrapper> text = LoadImageFile(CString(textPath.c_str()));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->bitmap.get(), nullptr);
    EXPECT_EQ(text->width, 0);
    EXPECT_EQ(text->height, 0);
    DeleteFileW(textPath.c_str());
    EXPECT_EQ(GdiplusSession::UserCount(), 0);
}

TEST(ImageFile, JpegRoundTripKeepsSizeAndColour)
{
    CapturedImage picture;
    picture.width = 64;
    picture.height = 40;
    picture.pixels.assign(64 * 40, 0x0007A5D8);
    const std::wstring path = TempPath(L"korvex-slide.jpg");
    ASSERT_TRUE(SavePicture(picture, path, PictureFormat::Jpeg));
    std::unique_ptr<CImageWrapper> slide = LoadImageFile(CString(path.c_str()));
    DeleteFileW(path.c_str());
    ASSERT_NE(slide, nullptr);
    ASSERT_NE(slide->bitmap.get(), nullptr);
    EXPECT_EQ(slide->width, 64);
    EXPECT_EQ(slide->height, 40);
    const std::vector<std::uint8_t> pixels = DibPixels(slide->bitmap.get());
    ASSERT_FALSE(pixels.empty());
    // JPEG is lossy: near the colour written.
    EXPECT_NEAR(pixels[0], 0xD8, 6);
    EXPECT_NEAR(pixels[1], 0xA5, 6);
    EXPECT_NEAR(pixels[2], 0x07, 6);
    // The caller owns the bitmap once it takes it.
    const GdiBitmap taken(slide->Detach());
    slide.reset();
    EXPECT_EQ(GetObjectType(taken.get()), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(GdiplusSession::UserCount(), 0);
}

}  // namespace
