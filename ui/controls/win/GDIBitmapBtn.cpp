#include "ui/controls/win/GDIBitmapBtn.h"

#include "platform/Poster.h"
#include "ui/controls/win/SkinImage.h"

namespace n640::win {

CGDIBitmapBtn::~CGDIBitmapBtn() = default;

bool CGDIBitmapBtn::Create(const std::u16string& caption, DWORD style, const RECT& rect, HWND parent, int id) {
    id_ = id;
    caption_ = caption;
    return CWindow::Create(0, W(caption), style | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, parent, id);
}

bool CGDIBitmapBtn::Create(HWND parent, const BitmapBtnArgs& a) {
    state_.checkMode = a.checkMode;
    state_.toggleOnPress = a.toggleOnPress;
    state_.hoverLooks = a.hoverLooks;
    notifyPress_ = a.notifyPress;
    bigFont_ = a.bigFont;
    onClick = a.onClick;
    onPress = a.onPress;
    if (!Create(a.caption, a.style, RECT{a.rect.left, a.rect.top, a.rect.right, a.rect.bottom}, parent, a.id)) {
        return false;
    }
    if (!a.tooltipKey.empty()) SetTooltipKey(a.tooltipKey);
    return true;
}

void CGDIBitmapBtn::SetSkin(const Rect& r, const SkinSheets& s) {
    SetSkin(r.left, r.top, r.right, r.bottom, s.normal, s.hover, s.pressed, s.disabled, s.altNormal, s.altPressed);
}

bool CGDIBitmapBtn::OnReflected(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && onClick) {
        onClick();
        result = 0;
        return true;
    }
    if (message == msg::PadButton && onPress) {
        onPress(wParam == WM_LBUTTONDOWN);
        result = 0;
        return true;
    }
    return false;
}

void CGDIBitmapBtn::SetSkin(int left, int top, int right, int bottom, HBITMAP normal, HBITMAP hover,
                            HBITMAP pressed, HBITMAP disabled, HBITMAP altNormal, HBITMAP altPressed) {
    HBITMAP sheets[6] = {normal, hover, pressed, disabled, altNormal, altPressed};
    for (int i = 0; i < 6; ++i) {
        looks_[i].Reset(CutBitmap(sheets[i], left, top, right, bottom));
    }
    if (Hwnd()) {
        LONG style = GetWindowLongW(Hwnd(), GWL_STYLE) & ~(WS_BORDER | WS_TABSTOP);
        SetWindowLongW(Hwnd(), GWL_STYLE, style);
        LONG ex = GetWindowLongW(Hwnd(), GWL_EXSTYLE) & ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE);
        SetWindowLongW(Hwnd(), GWL_EXSTYLE, ex);
        Invalidate();
    }
}

void CGDIBitmapBtn::SetText(const std::u16string& text) {
    caption_ = text;
    if (Hwnd()) {
        SetWindowTextW(Hwnd(), W(caption_));
        Invalidate();
    }
}

void CGDIBitmapBtn::SetTextColours(Colour normal, Colour hover, Colour pressed) {
    state_.normalText = normal;
    state_.hoverText = hover;
    state_.pressedText = pressed;
    Invalidate();
}

void CGDIBitmapBtn::SetCheckMode(bool checkMode, bool toggleOnPress) {
    state_.checkMode = checkMode;
    state_.toggleOnPress = toggleOnPress;
}

void CGDIBitmapBtn::SetCheck(bool checked) {
    if (SetBtnCheck(state_, checked)) Invalidate();
}

void CGDIBitmapBtn::UseAltLooks(bool normal, bool pressed) {
    state_.useAltNormal = normal;
    state_.useAltPressed = pressed;
    Invalidate();
}

bool CGDIBitmapBtn::PointerInside() const {
    POINT pt;
    GetCursorPos(&pt);
    return WindowFromPoint(pt) == Hwnd();
}

void CGDIBitmapBtn::OnMouseMove(WPARAM keys, POINT pt) {
    if (!tracking_ && !(keys & MK_LBUTTON)) {
        tracking_ = true;
        SetCapture(Hwnd());
        state_.hovering = true;
        Invalidate();
    } else if (!PointerInside()) {
        if (state_.hovering) {
            state_.hovering = false;
            Invalidate();
        }
        if (!(keys & MK_LBUTTON)) {
            tracking_ = false;
            ReleaseCapture();
        }
    } else if (!state_.hovering) {
        state_.hovering = true;
        Invalidate();
    }
    HWND parent = GetParent(Hwnd());
    if (parent) {
        POINT p = pt;
        if (PostMovesInScreenCoordinates()) {
            ClientToScreen(Hwnd(), &p);
        } else {
            MapWindowPoints(Hwnd(), parent, &p, 1);
        }
        PostMessageW(parent, WM_MOUSEMOVE, keys, MAKELPARAM(p.x, p.y));
    }
}

LRESULT CGDIBitmapBtn::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto paint = [&](HDC dc) {
        RECT client;
        GetClientRect(Hwnd(), &client);
        Paint(dc, client);
    };
    if (LRESULT painted = 0; PaintMessage(message, painted, paint)) return painted;
    switch (message) {
    case WM_ENABLE:
        Invalidate();
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != Hwnd()) {
            tracking_ = false;
            pressed_ = false;
            state_.hovering = false;
            Invalidate();
        }
        return 0;
    case WM_KILLFOCUS:
        state_.hovering = false;
        Invalidate();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        HWND top = GetAncestor(Hwnd(), GA_ROOT);
        if (top && GetActiveWindow() != top) SetActiveWindow(top);
        if (PressBitmapBtn(state_)) Invalidate();
        if (notifyPress_) {
            PostMessageW(GetParent(Hwnd()), msg::PadButton, WM_LBUTTONDOWN, reinterpret_cast<LPARAM>(Hwnd()));
        }
        pressed_ = true;
        tracking_ = true;
        SetCapture(Hwnd());
        Invalidate();
        return 0;
    }
    case WM_LBUTTONUP: {
        if (notifyPress_) {
            PostMessageW(GetParent(Hwnd()), msg::PadButton, WM_LBUTTONUP, reinterpret_cast<LPARAM>(Hwnd()));
        }
        const bool wasPressed = pressed_;
        pressed_ = false;
        const bool inside = PointerInside();
        state_.hovering = inside;
        if (!inside) {
            tracking_ = false;
            ReleaseCapture();
        }
        Invalidate();
        if (wasPressed && inside && IsWindowEnabled(Hwnd())) {
            PostMessageW(GetParent(Hwnd()), WM_COMMAND, MAKEWPARAM(id_, BN_CLICKED),
                         reinterpret_cast<LPARAM>(Hwnd()));
        }
        return 0;
    }
    default:
        return Default(message, wParam, lParam);
    }
}

void CGDIBitmapBtn::Paint(HDC dc, const RECT& client) {
    const bool systemPressed = pressed_ && state_.hovering;
    const LookChoice choice = ChooseBitmapBtnLook(state_, systemPressed, IsWindowEnabled(Hwnd()) != 0);
    HBITMAP look = looks_[static_cast<int>(choice.look)].Get();
    if (!look) look = looks_[static_cast<int>(BtnLook::Normal)].Get();
    const int w = client.right, h = client.bottom;
    if (caption_.empty()) {
        BlitBitmap(dc, 0, 0, w, h, look);
        return;
    }
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP buffer = CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ oldBmp = SelectObject(mem, buffer);
    if (look) {
        BlitBitmap(mem, 0, 0, w, h, look);
    } else {
        FillRect(mem, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    CFontHandle font(SkinFont(bigFont_ ? 20 : 14, 300));
    HGDIOBJ oldFont = SelectObject(mem, font.Get());
    SetBkMode(mem, TRANSPARENT);
    SetTextColor(mem, choice.text);
    RECT text{client.left + 8, client.top, client.right - 5, client.bottom};
    DrawTextW(mem, W(caption_), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    SelectObject(mem, oldFont);
    BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
    SelectObject(mem, oldBmp);
    DeleteObject(buffer);
    DeleteDC(mem);
}

} // namespace n640::win
