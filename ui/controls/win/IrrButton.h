#pragma once
// A button of any shape: a polygon of the page turned into the window's region. Its looks are
// whole-page built-in bitmaps; the button shows the part under its box, clipped to the region.
// The click is reported to the parent as soon as the button goes down.

#include <functional>
#include <string>
#include <string_view>

#include "ui/controls/ButtonLook.h"
#include "ui/controls/IrrShape.h"
#include "ui/controls/win/Window.h"

namespace n640::win {

struct IrrButtonArgs {
    int id = 0;
    CIrrShape shape{};            // in the parent's client coordinates
    std::u16string caption{};
    DWORD style = WS_VISIBLE;
    bool latched = false;         // the pressed look follows the highlight
    std::string_view tooltipKey{};  // language key of the tooltip, re-set by ReapplyTexts
    std::function<void()> onClick{};
};

class CIrrButton : public CWindow {
public:
    bool Create(HWND parent, const IrrButtonArgs& args);
    bool CreateShaped(const std::u16string& caption, DWORD style, const CIrrShape& shape, HWND parent, int id);
    // Built-in bitmap resource ids, each a whole page image.
    void SetBitmaps(int normalId, int pressedId, int hoverId, int disabledId);
    void SetHighlight(bool on);
    bool Highlighted() const { return state_.highlighted; }
    void SetLatched(bool on) { state_.latched = on; }
    void SetTooltip(const std::u16string& text, bool active) { tooltip_.Set(Hwnd(), text, active); }
    void SetTooltipKey(std::string_view key) { tooltip_.SetKey(Hwnd(), key); }
    const CTooltip& Tooltip() const { return tooltip_; }
    const CIrrShape& Shape() const { return shape_; }
    int Id() const { return id_; }

    // Called on the press (the button reports its click as soon as it goes down).
    std::function<void()> onClick;
    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

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
