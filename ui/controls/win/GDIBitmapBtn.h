#pragma once
// A rectangular skinned push button, check box or radio button: shows its own rectangle of the
// page's normal, hover or pressed sheet, with an optional caption and tooltip.

#include <functional>
#include <string>
#include <string_view>

#include "ui/controls/ButtonLook.h"
#include "ui/controls/IrrShape.h"
#include "ui/controls/win/Window.h"

namespace n640::win {

// The sheets a button's looks are cut from; absent ones may stay null. Pages pass the normal
// sheet also as the disabled one.
struct SkinSheets {
    HBITMAP normal = nullptr;
    HBITMAP hover = nullptr;
    HBITMAP pressed = nullptr;
    HBITMAP disabled = nullptr;
    HBITMAP altNormal = nullptr;
    HBITMAP altPressed = nullptr;
};

struct BitmapBtnArgs {
    int id = 0;
    Rect rect{};                  // in the parent's client coordinates
    std::u16string caption{};
    DWORD style = WS_VISIBLE;     // WS_CHILD is always added
    bool checkMode = false;       // a check box or radio button with a checked state of its own
    bool toggleOnPress = false;   // the press flips checked (before the click is reported)
    bool notifyPress = false;     // presses and releases reach onPress (and the parent as 1805)
    bool bigFont = false;         // 20-pixel caption instead of 14
    bool hoverLooks = true;
    std::string_view tooltipKey{};  // language key of the tooltip, re-set by ReapplyTexts
    std::function<void()> onClick{};
    std::function<void(bool down)> onPress{};
};

class CGDIBitmapBtn : public CWindow {
public:
    ~CGDIBitmapBtn() override;
    bool Create(HWND parent, const BitmapBtnArgs& args);
    bool Create(const std::u16string& caption, DWORD style, const RECT& rect, HWND parent, int id);
    void SetSkin(const Rect& rect, const SkinSheets& sheets);
    // Cuts the rectangle out of each sheet; the alternative sheets may be null.
    void SetSkin(int left, int top, int right, int bottom, HBITMAP normal, HBITMAP hover, HBITMAP pressed,
                 HBITMAP disabled, HBITMAP altNormal = nullptr, HBITMAP altPressed = nullptr);
    void SetText(const std::u16string& text);
    const std::u16string& Text() const { return caption_; }
    void SetTextColours(Colour normal, Colour hover, Colour pressed);
    void SetCheckMode(bool checkMode, bool toggleOnPress);
    void SetCheck(bool checked);
    bool GetCheck() const { return state_.checked; }
    void SetValue(uint32_t v) { value_ = v; }
    uint32_t GetValue() const { return value_; }
    void SetTooltip(const std::u16string& text, bool active) { tooltip_.Set(Hwnd(), text, active); }
    void SetTooltipKey(std::string_view key) { tooltip_.SetKey(Hwnd(), key); }
    const CTooltip& Tooltip() const { return tooltip_; }
    void SetNotifyPress(bool on) { notifyPress_ = on; }
    void SetBigFont(bool on) { bigFont_ = on; }
    void SetHoverLooks(bool on) { state_.hoverLooks = on; }
    void UseAltLooks(bool normal, bool pressed);
    int Id() const { return id_; }

    // Called when the button is clicked (after a toggle), and on presses and releases when
    // notifyPress is on.
    std::function<void()> onClick;
    std::function<void(bool down)> onPress;

    bool OnReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Where the pointer position posted to the parent on a move is expressed.
    virtual bool PostMovesInScreenCoordinates() const { return false; }
    virtual void Paint(HDC dc, const RECT& client);
    bool Hovering() const { return state_.hovering; }
    bool Pressed() const { return pressed_; }

private:
    void OnMouseMove(WPARAM keys, POINT pt);
    bool PointerInside() const;

    int id_ = 0;
    BitmapBtnState state_;
    std::u16string caption_;
    uint32_t value_ = 0;
    bool notifyPress_ = false;
    bool bigFont_ = false;
    bool pressed_ = false;
    bool tracking_ = false;
    CBitmapHandle looks_[6];  // BtnLook order
    CTooltip tooltip_;
};

} // namespace n640::win
