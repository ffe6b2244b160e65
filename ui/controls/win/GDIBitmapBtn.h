#pragma once
// A rectangular skinned push button, check box or radio button: shows its own rectangle of the
// page's normal, hover or pressed sheet, with an optional caption and tooltip.

#include <string>

#include "ui/controls/ButtonLook.h"
#include "ui/controls/win/Window.h"

namespace n640::win {

class CGDIBitmapBtn : public CWindow {
public:
    ~CGDIBitmapBtn() override;
    bool Create(const std::u16string& caption, DWORD style, const RECT& rect, HWND parent, int id);
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
    void SetNotifyPress(bool on) { notifyPress_ = on; }
    void SetBigFont(bool on) { bigFont_ = on; }
    void SetHoverLooks(bool on) { state_.hoverLooks = on; }
    void UseAltLooks(bool normal, bool pressed);
    int Id() const { return id_; }

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
