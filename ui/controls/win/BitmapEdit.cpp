#include "ui/controls/win/BitmapEdit.h"

namespace n640::win {

CBitmapEdit::~CBitmapEdit() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool CBitmapEdit::Create(DWORD style, const RECT& rect, HWND parent, int id, int fontHeight) {
    style = (style | WS_CHILD) & ~WS_BORDER;
    hwnd_ = CreateWindowExW(0, L"EDIT", L"", style, rect.left, rect.top, rect.right - rect.left,
                            rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) return false;
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
