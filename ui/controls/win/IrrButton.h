#pragma once
// A button of any shape: a polygon of the page turned into the window's region. Its looks are
// whole-page built-in bitmaps; the button shows the part under its box, clipped to the region.
// The click is reported to the parent as soon as the button goes down.

#include <string>

#include "ui/controls/ButtonLook.h"
#include "ui/controls/IrrShape.h"
#include "ui/controls/win/Window.h"

namespace n640::win {

class CIrrButton : public CWindow {
public:
    bool CreateShaped(const std::u16string& caption, DWORD style, const CIrrShape& shape, HWND parent, int id);
    // Built-in bitmap resource ids, each a whole page image.
    void SetBitmaps(int normalId, int pressedId, int hoverId, int disabledId);
    void SetHighlight(bool on);
    bool Highlighted() const { return state_.highlighted; }
    void SetLatched(bool on) { state_.latched = on; }
    void SetTooltip(const std::u16string& text, bool active) { tooltip_.Set(Hwnd(), text, active); }
    const CIrrShape& Shape() const { return shape_; }
    int Id() const { return id_; }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc);
    bool InsideAt(POINT local) const;

    CIrrShape shape_;
    IrrBtnState state_;
    int id_ = 0;
    bool capturing_ = false;
    bool pressed_ = false;
    HBITMAP normal_ = nullptr;
    HBITMAP pressedBmp_ = nullptr;
    HBITMAP hover_ = nullptr;
    HBITMAP disabled_ = nullptr;
    CTooltip tooltip_;
};

} // namespace n640::win
