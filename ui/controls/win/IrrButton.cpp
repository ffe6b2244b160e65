#include "ui/controls/win/IrrButton.h"

#include <vector>

#include "ui/controls/win/SkinImage.h"

namespace n640::win {

bool CIrrButton::CreateShaped(const std::u16string& caption, DWORD style, const CIrrShape& shape, HWND parent,
                              int id) {
    shape_ = shape;
    id_ = id;
    const Rect& box = shape_.Box();
    if (!CWindow::Create(0, W(caption), style | WS_CHILD, box.left, box.top, box.Width(), box.Height(), parent, id)) {
        return false;
    }
    std::vector<POINT> pts;
    for (const Point& p : shape_.RelativeCorners()) pts.push_back({p.x, p.y});
    HRGN region = CreatePolygonRgn(pts.data(), static_cast<int>(pts.size()), ALTERNATE);
    SetWindowRgn(Hwnd(), region, TRUE);  // the window owns the region from here on
    return true;
}

bool CIrrButton::Create(HWND parent, const IrrButtonArgs& a) {
    state_.latched = a.latched;
    onClick = a.onClick;
    if (!CreateShaped(a.caption, a.style, a.shape, parent, a.id)) return false;
    if (!a.tooltipKey.empty()) SetTooltipKey(a.tooltipKey);
    return true;
}

bool CIrrButton::OnReflected(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message != WM_COMMAND || !onClick) return false;
    onClick();
    result = 0;
    return true;
}

void CIrrButton::SetBitmaps(int normalId, int pressedId, int hoverId, int disabledId) {
    normal_ = SharedResourceBitmap(normalId);
    pressedBmp_ = SharedResourceBitmap(pressedId);
    hover_ = SharedResourceBitmap(hoverId);
    disabled_ = SharedResourceBitmap(disabledId);
    Invalidate();
}

void CIrrButton::SetHighlight(bool on) {
    if (state_.highlighted != on) {
        state_.highlighted = on;
        Invalidate();
    }
    if (capturing_) {
        capturing_ = false;
        state_.hovering = false;
        ReleaseCapture();
        Invalidate();
    }
}

bool CIrrButton::InsideAt(POINT local) const {
    return shape_.ContainsRelative({local.x, local.y});
}

LRESULT CIrrButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (LRESULT painted = 0; PaintMessage(message, painted, [&](HDC dc) { Paint(dc); }))
        return painted;
    switch (message) {
    case WM_ENABLE:
        Invalidate();
        return 0;
    case WM_MOUSEMOVE:
        if (InsideAt(pt)) {
            if (!capturing_) {
                capturing_ = true;
                SetCapture(Hwnd());
            }
            if (!state_.hovering) {
                state_.hovering = true;
                Invalidate();
            }
        } else if (!pressed_) {
            if (capturing_) {
                capturing_ = false;
                ReleaseCapture();
            }
            if (state_.hovering) {
                state_.hovering = false;
                Invalidate();
            }
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != Hwnd()) {
            capturing_ = false;
            pressed_ = false;
            if (state_.hovering) {
                state_.hovering = false;
                Invalidate();
            }
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        pressed_ = true;
        Invalidate();
        PostMessageW(GetParent(Hwnd()), WM_COMMAND, 0, reinterpret_cast<LPARAM>(Hwnd()));
        capturing_ = true;
        SetCapture(Hwnd());
        return 0;
    case WM_LBUTTONUP:
        pressed_ = false;
        capturing_ = false;
        ReleaseCapture();
        state_.hovering = InsideAt(pt);
        if (state_.hovering) {
            capturing_ = true;
            SetCapture(Hwnd());
        }
        Invalidate();
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

void CIrrButton::Paint(HDC dc) {
    const LookChoice choice = ChooseIrrButtonLook(state_, pressed_, IsWindowEnabled(Hwnd()) != 0);
    HBITMAP page = normal_;
    switch (choice.look) {
    case BtnLook::Pressed: page = pressedBmp_; break;
    case BtnLook::Hover: page = hover_; break;
    case BtnLook::Disabled: page = disabled_; break;
    default: break;
    }
    const Rect& box = shape_.Box();
    wchar_t text[128];
    const int len = GetWindowTextW(Hwnd(), text, 128);
    if (len <= 0) {
        BlitBitmap(dc, 0, 0, box.Width(), box.Height(), page, box.left, box.top);
        return;
    }
    // The caption is drawn over the page's part at the button's place, then copied.
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP buffer = CreateCompatibleBitmap(dc, box.Width(), box.Height());
    HGDIOBJ oldBmp = SelectObject(mem, buffer);
    BlitBitmap(mem, 0, 0, box.Width(), box.Height(), page, box.left, box.top);
    CFontHandle font(SkinFont(14, 300));
    HGDIOBJ oldFont = SelectObject(mem, font.Get());
    SetBkMode(mem, TRANSPARENT);
    SetTextColor(mem, choice.text);
    const Point at = IrrCaptionOrigin(shape_.Centre(), static_cast<size_t>(len));
    TextOutW(mem, at.x - box.left, at.y - box.top, text, len);
    SelectObject(mem, oldFont);
    BitBlt(dc, 0, 0, box.Width(), box.Height(), mem, 0, 0, SRCCOPY);
    SelectObject(mem, oldBmp);
    DeleteObject(buffer);
    DeleteDC(mem);
}

} // namespace n640::win
