#include "ui/controls/win/PngHProgressBar.h"

#include <objidl.h>
#include <gdiplus.h>

#include "platform/Poster.h"
#include "ui/controls/win/SkinImage.h"

namespace n640::win {

HBITMAP GdiplusPart(Gdiplus::Bitmap* picture, const RECT& part) {
    if (!picture) return nullptr;
    const int w = part.right - part.left, h = part.bottom - part.top;
    if (w <= 0 || h <= 0) return nullptr;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP out = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, out);
    {
        Gdiplus::Graphics g(mem);
        g.DrawImage(picture, Gdiplus::Rect(0, 0, w, h), part.left, part.top, w, h, Gdiplus::UnitPixel);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return out;
}

bool CPngHProgressBar::Create(const RECT& rect, HWND parent, int id) {
    rect_ = rect;
    id_ = id;
    return CWindow::Create(0, L"", WS_CHILD | WS_VISIBLE, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, parent, id);
}

void CPngHProgressBar::SetPictures(const RECT& rect, Gdiplus::Bitmap* track, Gdiplus::Bitmap* fill) {
    track_.Reset(GdiplusPart(track, rect));
    fill_.Reset(GdiplusPart(fill, rect));
    Invalidate();
}

void CPngHProgressBar::ReleasePictures() {
    track_.Reset();
    fill_.Reset();
}

void CPngHProgressBar::SetPos(int v) {
    model_.SetPos(v);
    if (Hwnd()) {
        InvalidateRect(Hwnd(), nullptr, FALSE);
        UpdateWindow(Hwnd());
    }
}

int CPngHProgressBar::PosAtCursor() const {
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(GetParent(Hwnd()), &pt);
    return model_.PosAt(pt.x, rect_.left, rect_.right);
}

LRESULT CPngHProgressBar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto paint = [&](HDC dc) {
        PaintBuffered(dc, [&](HDC mem, const RECT& c) {
            BlitBitmap(mem, 0, 0, c.right, c.bottom, track_.Get());
            BlitBitmap(mem, 0, 0, model_.FilledWidth(c.right), c.bottom, fill_.Get());
        });
    };
    if (LRESULT painted = 0; PaintMessage(message, painted, paint)) return painted;
    switch (message) {
    case WM_LBUTTONDOWN:
        if (!readOnly_) {
            dragging_ = true;
            SetCapture(Hwnd());
        }
        return 0;
    case WM_MOUSEMOVE:
        if (dragging_) SetPos(PosAtCursor());
        return 0;
    case WM_LBUTTONUP:
        if (dragging_) {
            SetPos(PosAtCursor());
            PostMessageW(GetParent(Hwnd()), msg::SliderDragged, static_cast<WPARAM>(model_.Pos()), id_);
            dragging_ = false;
            ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
    case WM_KILLFOCUS:
        if (dragging_) {
            dragging_ = false;
            Invalidate();
        }
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

} // namespace n640::win
