#pragma once
// Which picture and caption colour a skinned button shows, and the small state changes of
// pressing and checking it. The Win32 buttons only draw what these rules choose.

#include <cstddef>
#include <cstdint>

namespace n640 {

using Colour = uint32_t;  // 0x00BBGGRR

constexpr Colour kCaptionNormal = 0x00C8BDBD;
constexpr Colour kCaptionHover = 0x00FFFFFF;
constexpr Colour kCaptionPressed = 0x00051D26;
constexpr Colour kCaptionDisabled = 0x00272A26;

enum class BtnLook { Normal, Hover, Pressed, Disabled, AltNormal, AltPressed };

struct LookChoice {
    BtnLook look;
    Colour text;
};

// State of a CGDIBitmapBtn.
struct BitmapBtnState {
    bool checkMode = false;
    bool checked = false;
    bool toggleOnPress = false;
    bool hoverLooks = true;
    bool hovering = false;
    bool useAltNormal = false;   // altNormal is shown instead of normal
    bool useAltPressed = false;  // altPressed is shown instead of pressed
    Colour normalText = kCaptionNormal;
    Colour hoverText = kCaptionHover;
    Colour pressedText = kCaptionPressed;
};

// Down wins, then hover (before disabled: a hovered disabled button shows its hover look), then
// disabled, then normal. systemPressed is the push state the system reports.
LookChoice ChooseBitmapBtnLook(const BitmapBtnState& s, bool systemPressed, bool enabled);

// Left button pressed on the button: flips checked when toggleOnPress. True when it changed.
bool PressBitmapBtn(BitmapBtnState& s);

// SetCheck: true when the state changed and the button must be redrawn.
bool SetBtnCheck(BitmapBtnState& s, bool checked);

// State of a CIrrButton.
struct IrrBtnState {
    bool hovering = false;
    bool latched = false;      // the pressed look follows highlighted
    bool highlighted = false;  // selected tab, active profile, changed input
    Colour normalText = kCaptionNormal;
    Colour hoverText = kCaptionHover;
    Colour pressedText = kCaptionPressed;
};

// Latched: down when highlighted. Otherwise disabled shows the disabled picture and down follows
// the mouse button. Down: pressed; else hovering: hover; else normal.
LookChoice ChooseIrrButtonLook(const IrrBtnState& s, bool pressed, bool enabled);

struct Point {
    int x;
    int y;
    bool operator==(const Point&) const = default;
};

// Where an irregular button's caption starts, from the centre of its box and the caption's length
// in characters.
Point IrrCaptionOrigin(Point centre, size_t length);

} // namespace n640
