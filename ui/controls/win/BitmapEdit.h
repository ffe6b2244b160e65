#pragma once
// An edit box without frame, drawn over a skinned page: the owner gives the background brush and
// forwards WM_CTLCOLOREDIT of this box to OnCtlColor.

#include <windows.h>

#include "ui/controls/win/Window.h"

namespace n640::win {

class CBitmapEdit {
public:
    ~CBitmapEdit();
    bool Create(DWORD style, const RECT& rect, HWND parent, int id, int fontHeight = 12);
    HWND Hwnd() const { return hwnd_; }
    void SetBackground(HBRUSH brush) { background_ = brush; }
    // Answer to WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC for this box.
    HBRUSH OnCtlColor(HDC dc) const;
    static constexpr COLORREF kTextColour = 0x00675F58;

private:
    HWND hwnd_ = nullptr;
    HBRUSH background_ = nullptr;
    CFontHandle font_;
};

} // namespace n640::win
