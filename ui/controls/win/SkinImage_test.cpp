#include "ui/controls/win/SkinImage.h"

#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

namespace n640::win {
namespace {

// A 3 x 2 RGB picture: red, green, blue over white, black, (10, 20, 30). Three pixels make a row
// of nine bytes, padded to twelve in a DIB.
constexpr unsigned char kPng[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x02, 0x08, 0x02, 0x00, 0x00, 0x00, 0x12, 0x16, 0xF1,
    0x4D, 0x00, 0x00, 0x00, 0x15, 0x49, 0x44, 0x41, 0x54, 0x78, 0xDA, 0x63, 0xF8, 0xCF, 0xC0, 0xC0,
    0x00, 0xC1, 0xFF, 0xFF, 0x83, 0x68, 0x2E, 0x11, 0x39, 0x00, 0x45, 0x33, 0x06, 0x37, 0xD2, 0x39,
    0xF0, 0xF8, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

class SkinImageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(token_); }
    static ULONG_PTR token_;
};
ULONG_PTR SkinImageTest::token_ = 0;

// The decoded picture must be laid out as LoadImage lays out a 24-bit BITMAP resource: bottom-up
// rows of blue, green, red bytes. A swapped channel order or row order shows as a wrong colour at
// a known pixel.
TEST_F(SkinImageTest, PngBecomesABottomUpTwentyFourBitDibWithTheSamePixels) {
    const std::string_view bytes(reinterpret_cast<const char*>(kPng), sizeof kPng);
    HBITMAP bitmap = BitmapFromPicture(bytes);
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmWidth, 3);
    EXPECT_EQ(dib.dsBm.bmHeight, 2);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 24);
    EXPECT_EQ(dib.dsBm.bmWidthBytes, 12);
    EXPECT_GT(dib.dsBmih.biHeight, 0);  // bottom-up
    ASSERT_NE(dib.dsBm.bmBits, nullptr);

    struct Pixel {
        int x, y;  // y counted from the top of the picture
        uint8_t r, g, b;
    };
    const Pixel expected[] = {
        {0, 0, 255, 0, 0}, {1, 0, 0, 255, 0},   {2, 0, 0, 0, 255},
        {0, 1, 255, 255, 255}, {1, 1, 0, 0, 0}, {2, 1, 10, 20, 30},
    };
    const auto* bits = static_cast<const uint8_t*>(dib.dsBm.bmBits);
    for (const Pixel& p : expected) {
        const uint8_t* at = bits + (1 - p.y) * 12 + p.x * 3;
        EXPECT_EQ(at[2], p.r) << p.x << "," << p.y;
        EXPECT_EQ(at[1], p.g) << p.x << "," << p.y;
        EXPECT_EQ(at[0], p.b) << p.x << "," << p.y;
    }
    // And what a blit puts on a screen-compatible bitmap reads back the same.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 3, 2);
    HGDIOBJ old = SelectObject(dc, target);
    BlitBitmap(dc, 0, 0, 3, 2, bitmap, 0, 0);
    for (const Pixel& p : expected) EXPECT_EQ(GetPixel(dc, p.x, p.y), RGB(p.r, p.g, p.b)) << p.x << "," << p.y;
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
}

TEST_F(SkinImageTest, BytesThatAreNoPictureAndMissingResourcesGiveNoBitmap) {
    EXPECT_EQ(BitmapFromPicture({}), nullptr);
    EXPECT_EQ(BitmapFromPicture("not a picture at all"), nullptr);
    const std::string_view cut(reinterpret_cast<const char*>(kPng), 40);  // the header and part of IDAT
    EXPECT_EQ(BitmapFromPicture(cut), nullptr);
    // This test program carries no resources.
    EXPECT_EQ(LoadResourceBitmap(154), nullptr);
    EXPECT_EQ(LoadPngResource(129), nullptr);
}

} // namespace
} // namespace n640::win
