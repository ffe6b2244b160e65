#pragma once
// Skin pictures: sheets loaded from files with the system's picture loader, built-in bitmaps
// shared by every button that shows them, and rectangles cut out of a sheet.

#include <windows.h>

#include <filesystem>

#include "ui/controls/win/Window.h"

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

// A built-in bitmap resource, loaded once and kept for the life of the process.
HBITMAP SharedResourceBitmap(int id);

// Size of a bitmap.
SIZE BitmapSize(HBITMAP bitmap);

// Copies a bitmap to a device context at (x, y), the bitmap's part starting at (sx, sy).
void BlitBitmap(HDC dc, int x, int y, int w, int h, HBITMAP bitmap, int sx = 0, int sy = 0);

} // namespace n640::win
