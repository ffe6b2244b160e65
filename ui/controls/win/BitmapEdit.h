#pragma once
// An edit box without frame, drawn over a skinned page: the owner gives the background brush and
// forwards WM_CTLCOLOREDIT of this box to OnCtlColor.

#include <windows.h>

#include <functional>
#include <string>

#include "ui/controls/IrrShape.h"
#include "ui/controls/win/Window.h"

namespace n640::win {

struct BitmapEditArgs {
    int id = 0;
    Rect rect{};                              // in the parent's client coordinates
    DWORD style = WS_VISIBLE | ES_AUTOHSCROLL;  // WS_CHILD is always added, borders removed
    int fontHeight = 12;
    HBRUSH background = nullptr;              // owned by the caller
    std::function<void()> onChange{};         // EN_CHANGE
    std::function<void()> onKillFocus{};      // EN_KILLFOCUS
};

// The parent's WM_CTLCOLOREDIT/WM_CTLCOLORSTATIC and WM_COMMAND about the box are reflected to
// it; OnCtlColor stays public for owners that are not CWindow parents.
class CBitmapEdit : public CReflectTarget {
public:
    ~CBitmapEdit() override;
    bool Create(HWND parent, const BitmapEditArgs& args);
    bool Create(DWORD style, const RECT& rect, HWND parent, int id, int fontHeight = 12);
    std::u16string Text() const;
    void SetText(const std::u16string& text);
    std::function<void()> onChange;
    std::function<void()> onKillFocus;
    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
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
