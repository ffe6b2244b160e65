#include "ui/controls/win/BitmapEdit.h"

namespace n640::win {

CBitmapEdit::~CBitmapEdit() {
    DetachReflection();
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool CBitmapEdit::Create(HWND parent, const BitmapEditArgs& a) {
    background_ = a.background;
    onChange = a.onChange;
    onKillFocus = a.onKillFocus;
    return Create(a.style, RECT{a.rect.left, a.rect.top, a.rect.right, a.rect.bottom}, parent, a.id, a.fontHeight);
}

std::u16string CBitmapEdit::Text() const {
    if (!hwnd_) return {};
    const int n = GetWindowTextLengthW(hwnd_);
    std::u16string text(static_cast<size_t>(n) + 1, u'\0');
    const int got = GetWindowTextW(hwnd_, reinterpret_cast<wchar_t*>(text.data()), n + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

void CBitmapEdit::SetText(const std::u16string& text) {
    if (hwnd_) SetWindowTextW(hwnd_, W(text));
}

bool CBitmapEdit::OnReflected(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (message) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        result = reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam)));
        return true;
    case WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE && onChange) {
            onChange();
        } else if (HIWORD(wParam) == EN_KILLFOCUS && onKillFocus) {
            onKillFocus();
        } else {
            return false;
        }
        result = 0;
        return true;
    default:
        return false;
    }
}

bool CBitmapEdit::Create(DWORD style, const RECT& rect, HWND parent, int id, int fontHeight) {
    style = (style | WS_CHILD) & ~WS_BORDER;
    hwnd_ = CreateWindowExW(0, L"EDIT", L"", style, rect.left, rect.top, rect.right - rect.left,
                            rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) return false;
    AttachReflection(hwnd_);
    SendMessageW(hwnd_, EM_LIMITTEXT, 256, 0);
    font_.Reset(SkinFont(fontHeight, 500));
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    return true;
}

HBRUSH CBitmapEdit::OnCtlColor(HDC dc) const {
    SetTextColor(dc, kTextColour);
    SetBkColor(dc, kTextColour);
    SetBkMode(dc, TRANSPARENT);
    return background_ ? background_ : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

} // namespace n640::win
