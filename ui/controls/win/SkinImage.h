#pragma once
// Skin pictures: sheets loaded from files with the system's picture loader, built-in pictures
// (PNG resources decoded with GDI+) shared by every control that shows them, and rectangles cut
// out of a sheet.

#include <windows.h>

#include <filesystem>
#include <memory>
#include <string_view>

#include "ui/controls/win/Window.h"

namespace Gdiplus {
class Bitmap;
}

namespace n640::win {

struct SkinImage {
    CBitmapHandle bitmap;
    int width = 0;
    int height = 0;
    explicit operator bool() const { return static_cast<bool>(bitmap); }
};

// Reads the whole file into memory and decodes it with OleLoadPicture (BMP among others).
// An empty image when the file is missing or cannot be decoded.
SkinImage LoadSkinImage(const std::filesystem::path& path);

// A copy of the rectangle [left, right) x [top, bottom) of a sheet; null without a sheet.
HBITMAP CutBitmap(HBITMAP sheet, int left, int top, int right, int bottom);

// A PNG picture from the program's "PNG" resources as a 32-bit ARGB GDI+ bitmap; null when there
// is none or it cannot be decoded. Needs GDI+ started.
std::unique_ptr<Gdiplus::Bitmap> LoadPngResource(int id);

// Picture bytes (PNG among others) decoded with GDI+ into a bottom-up 24-bit DIB section, alpha
// dropped; null when they do not decode. Needs GDI+ started. The caller owns the bitmap.
HBITMAP BitmapFromPicture(std::string_view bytes);

// A built-in picture as a 24-bit bitmap: the "PNG" resource of that id decoded with GDI+ (alpha
// dropped; the pictures are opaque), else a BITMAP resource of that id; null when neither exists.
// The caller owns the bitmap.
HBITMAP LoadResourceBitmap(int id);

// LoadResourceBitmap(id), loaded once and kept for the life of the process.
HBITMAP SharedResourceBitmap(int id);

// Size of a bitmap.
SIZE BitmapSize(HBITMAP bitmap);

// Copies a bitmap to a device context at (x, y), the bitmap's part starting at (sx, sy).
void BlitBitmap(HDC dc, int x, int y, int w, int h, HBITMAP bitmap, int sx = 0, int sy = 0);

} // namespace n640::win
