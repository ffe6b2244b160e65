#include "ui/controls/win/SkinImage.h"

#include <ole2.h>
#include <olectl.h>

#include <fstream>
#include <iterator>
#include <map>
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

HBITMAP SharedResourceBitmap(int id) {
    static std::map<int, HBITMAP> cache;
    auto it = cache.find(id);
    if (it != cache.end()) return it->second;
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
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
