#include "ui/controls/win/PngHSlider.h"

#include <objidl.h>
#include <gdiplus.h>

#include <vector>

#include "platform/Poster.h"
#include "ui/controls/win/SkinImage.h"

namespace n640::win {

CPngHSlider::CPngHSlider() = default;
CPngHSlider::~CPngHSlider() { Destroy(); }

bool CPngHSlider::Create(std::unique_ptr<Gdiplus::Bitmap> picture, HWND owner, int id, int left, int right, int y,
                         bool bottomLine) {
    picture_ = std::move(picture);
    if (picture_ && picture_->GetLastStatus() != Gdiplus::Ok) picture_.reset();
    width_ = picture_ ? static_cast<int>(picture_->GetWidth()) : 0;
    height_ = picture_ ? static_cast<int>(picture_->GetHeight()) : 0;
    owner_ = owner;
    id_ = id;
    y_ = y;
    bottomLine_ = bottomLine;
    model_.SetLimits(left, right);
    model_.SetThumbWidth(width_);
    const int top = bottomLine_ ? y_ - height_ : y_;
    if (!CWindow::Create(0, L"", WS_CHILD | WS_VISIBLE, left, top, width_, height_, owner, id)) return false;
    ApplyShape();
    return true;
}

void CPngHSlider::ApplyShape() {
    if (!picture_ || width_ <= 0 || height_ <= 0) return;
    std::vector<uint32_t> pixels(static_cast<size_t>(width_) * height_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            Gdiplus::Color c;
            picture_->GetPixel(x, y, &c);
            pixels[static_cast<size_t>(y) * width_ + x] = c.GetValue();
        }
    }
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (const PixelRun& run : ShapeRuns(pixels.data(), width_, height_)) {
        HRGN part = CreateRectRgn(run.x0, run.y, run.x1, run.y + 1);
        CombineRgn(region, region, part, RGN_OR);
        DeleteObject(part);
    }
    SetWindowRgn(Hwnd(), region, TRUE);  // the window owns the region from here on
}

void CPngHSlider::MoveToModel() {
    if (!Hwnd()) return;
    const int top = bottomLine_ ? y_ - height_ : y_;
    SetWindowPos(Hwnd(), nullptr, model_.ThumbLeft(), top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate();
}

void CPngHSlider::SetPos(int value) {
    model_.SetPos(value);
    MoveToModel();
}

void CPngHSlider::Paint(HDC dc) {
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP buffer = CreateCompatibleBitmap(dc, width_ > 0 ? width_ : 1, height_ > 0 ? height_ : 1);
    HGDIOBJ old = SelectObject(mem, buffer);
    RECT own{0, 0, width_, height_};
    FillRect(mem, &own, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RECT at;
    GetWindowRect(Hwnd(), &at);
    MapWindowPoints(nullptr, owner_, reinterpret_cast<POINT*>(&at), 2);
    BlitBitmap(mem, 0, 0, width_, height_, backdrop_, at.left, at.top);
    if (picture_) {
        Gdiplus::Graphics g(mem);
        g.DrawImage(picture_.get(), 0, 0, width_, height_);
    }
    BitBlt(dc, 0, 0, width_, height_, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(buffer);
    DeleteDC(mem);
}

LRESULT CPngHSlider::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT painted = 0; PaintMessage(message, painted, [&](HDC dc) { Paint(dc); })) return painted;
    const int x = static_cast<short>(LOWORD(lParam));
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (model_.Press(x)) SetCapture(Hwnd());
        return 0;
    case WM_MOUSEMOVE:
        if (model_.Pressed()) {
            if (const auto value = model_.Drag(x)) {
                MoveToModel();
                PostMessageW(owner_, msg::SliderPosition, static_cast<WPARAM>(*value), id_);
            }
        }
        return 0;
    case WM_LBUTTONUP:
        if (model_.Pressed()) {
            model_.Release();
            ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != Hwnd()) model_.Release();
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

CPngHSliderBar::CPngHSliderBar() = default;
CPngHSliderBar::~CPngHSliderBar() { Destroy(); }

bool CPngHSliderBar::Create(HWND parent, const SliderArgs& a) {
    onChange = a.onChange;
    const RECT r{a.rect.left, a.rect.top, a.rect.right, a.rect.bottom};
    if (!Create(a.thumbPicture, r, parent, a.id)) return false;
    SetTrackRect(r);
    SetRange(a.min, a.max);
    if (a.background) SetBackground(r, a.background);
    SetPos(a.min);
    return true;
}

bool CPngHSliderBar::Create(const std::filesystem::path& thumbPicture, const RECT& rect, HWND parent, int id) {
    thumbPicture_ = thumbPicture;
    id_ = id;
    track_ = rect;
    if (!CWindow::Create(0, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect.left, rect.top,
                         rect.right - rect.left, rect.bottom - rect.top, parent, id)) {
        return false;
    }
    auto picture = std::unique_ptr<Gdiplus::Bitmap>(Gdiplus::Bitmap::FromFile(thumbPicture_.c_str()));
    thumb_.Create(std::move(picture), Hwnd(), id_, 0, rect.right - rect.left, 0);
    thumb_.SetRange(min_, max_);
    thumb_.SetPos(min_);
    return true;
}

void CPngHSliderBar::SetRange(int min, int max) {
    min_ = min;
    max_ = max;
    thumb_.SetRange(min, max);
}

void CPngHSliderBar::SetBackground(const RECT& rect, HBITMAP pagePicture) {
    background_.Reset(CutBitmap(pagePicture, rect.left, rect.top, rect.right, rect.bottom));
    thumb_.SetBackdrop(background_.Get());
    Invalidate();
    thumb_.Invalidate();
}

void CPngHSliderBar::SetPos(int value) {
    thumb_.SetPos(value);
    Invalidate();
}

void CPngHSliderBar::Enable(bool on) { thumb_.Model().SetEnabled(on); }

bool CPngHSliderBar::OnReflected(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != msg::SliderPosition || !onChange) return false;
    onChange(static_cast<int>(wParam));
    result = 0;
    return true;
}

LRESULT CPngHSliderBar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto paint = [&](HDC dc) {
        PaintBuffered(dc, [&](HDC mem, const RECT& c) { BlitBitmap(mem, 0, 0, c.right, c.bottom, background_.Get()); });
    };
    if (LRESULT painted = 0; PaintMessage(message, painted, paint)) return painted;
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const int x = static_cast<short>(LOWORD(lParam)) + track_.left;
        if (const auto value = thumb_.Model().Click(x, track_.left, track_.right)) {
            thumb_.SetPos(*value);
            Invalidate();
            PostMessageW(GetParent(Hwnd()), msg::SliderPosition, static_cast<WPARAM>(*value), id_);
        }
        return 0;
    }
    case msg::SliderPosition:
        // The thumb's drags, relayed with the track's own id.
        PostMessageW(GetParent(Hwnd()), msg::SliderPosition, wParam, id_);
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

} // namespace n640::win
