#include "ui/controls/win/SkinImage.h"

#include <ole2.h>
#include <olectl.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string_view>
#include <vector>

namespace n640::win {

SkinImage LoadSkinImage(const std::filesystem::path& path) {
    SkinImage out;
    std::ifstream in(path, std::ios::binary);
    if (!in) return out;
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty()) return out;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!mem) return out;
    void* p = GlobalLock(mem);
    memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(mem);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(mem, TRUE, &stream))) {
        GlobalFree(mem);
        return out;
    }
    IPicture* picture = nullptr;
    HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(&picture));
    stream->Release();
    if (FAILED(hr) || !picture) return out;
    OLE_HANDLE handle = 0;
    short type = 0;
    if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
        SUCCEEDED(picture->get_Handle(&handle))) {
        // The picture owns its bitmap: keep a copy of our own.
        HBITMAP copy = static_cast<HBITMAP>(CopyImage(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)),
                                                      IMAGE_BITMAP, 0, 0, 0));
        if (copy) {
            out.bitmap.Reset(copy);
            const SIZE size = BitmapSize(copy);
            out.width = size.cx;
            out.height = size.cy;
        }
    }
    picture->Release();
    return out;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm)) return {0, 0};
    return {bm.bmWidth, bm.bmHeight};
}

HBITMAP CutBitmap(HBITMAP sheet, int left, int top, int right, int bottom) {
    if (!sheet || right <= left || bottom <= top) return nullptr;
    HDC screen = GetDC(nullptr);
    HDC src = CreateCompatibleDC(screen);
    HDC dst = CreateCompatibleDC(screen);
    HBITMAP out = CreateCompatibleBitmap(screen, right - left, bottom - top);
    HGDIOBJ oldSrc = SelectObject(src, sheet);
    HGDIOBJ oldDst = SelectObject(dst, out);
    BitBlt(dst, 0, 0, right - left, bottom - top, src, left, top, SRCCOPY);
    SelectObject(src, oldSrc);
    SelectObject(dst, oldDst);
    DeleteDC(src);
    DeleteDC(dst);
    ReleaseDC(nullptr, screen);
    return out;
}

namespace {

// The bytes of a resource of the program of that id and type; empty when there is none.
std::string_view ResourceBytes(int id, const wchar_t* type) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!found) return {};
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const char*>(data), size};
}

// A picture decoded by GDI+ from bytes, as a 32-bit ARGB bitmap of its own; null when they do not
// decode.
std::unique_ptr<Gdiplus::Bitmap> DecodePicture(std::string_view bytes) {
    if (bytes.empty()) return nullptr;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!copy) return nullptr;
    std::memcpy(GlobalLock(copy), bytes.data(), bytes.size());
    GlobalUnlock(copy);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
        GlobalFree(copy);
        return nullptr;
    }
    std::unique_ptr<Gdiplus::Bitmap> decoded(Gdiplus::Bitmap::FromStream(stream));
    std::unique_ptr<Gdiplus::Bitmap> own;
    if (decoded && decoded->GetLastStatus() == Gdiplus::Ok) {
        // A copy of our own: the decoded picture keeps reading its stream.
        own.reset(decoded->Clone(0, 0, static_cast<INT>(decoded->GetWidth()), static_cast<INT>(decoded->GetHeight()),
                                 PixelFormat32bppARGB));
    }
    decoded.reset();
    stream->Release();
    if (own && own->GetLastStatus() != Gdiplus::Ok) own.reset();
    return own;
}

// The pixels of a decoded picture in a bottom-up 24-bit DIB section, the layout LoadImage gives
// a 24-bit BITMAP resource, so every caller blits the same bytes either way.
HBITMAP ToDibSection(Gdiplus::Bitmap& picture) {
    const int w = static_cast<int>(picture.GetWidth()), h = static_cast<int>(picture.GetHeight());
    if (w <= 0 || h <= 0) return nullptr;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP out = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!out || !bits) {
        if (out) DeleteObject(out);
        return nullptr;
    }
    const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~static_cast<size_t>(3);
    const Gdiplus::Rect all(0, 0, w, h);
    Gdiplus::BitmapData locked{};
    if (picture.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &locked) != Gdiplus::Ok) {
        DeleteObject(out);
        return nullptr;
    }
    const auto* src = static_cast<const unsigned char*>(locked.Scan0);
    auto* dst = static_cast<unsigned char*>(bits);
    for (int y = 0; y < h; ++y) {
        // GDI+ rows run top-down (a negative stride too); the DIB's last row is the top one.
        const unsigned char* row = src + static_cast<ptrdiff_t>(y) * locked.Stride;
        std::memcpy(dst + static_cast<size_t>(h - 1 - y) * stride, row, static_cast<size_t>(w) * 3);
    }
    picture.UnlockBits(&locked);
    GdiFlush();
    return out;
}

} // namespace

std::unique_ptr<Gdiplus::Bitmap> LoadPngResource(int id) { return DecodePicture(ResourceBytes(id, L"PNG")); }

HBITMAP BitmapFromPicture(std::string_view bytes) {
    std::unique_ptr<Gdiplus::Bitmap> picture = DecodePicture(bytes);
    return picture ? ToDibSection(*picture) : nullptr;
}

HBITMAP LoadResourceBitmap(int id) {
    if (HBITMAP png = BitmapFromPicture(ResourceBytes(id, L"PNG"))) return png;
    return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0,
                                           LR_CREATEDIBSECTION));
}

HBITMAP SharedResourceBitmap(int id) {
    static std::map<int, HBITMAP> cache;
    auto it = cache.find(id);
    if (it != cache.end()) return it->second;
    HBITMAP bitmap = LoadResourceBitmap(id);
    cache[id] = bitmap;
    return bitmap;
}

void BlitBitmap(HDC dc, int x, int y, int w, int h, HBITMAP bitmap, int sx, int sy) {
    if (!bitmap) return;
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(dc, x, y, w, h, mem, sx, sy, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

} // namespace n640::win
