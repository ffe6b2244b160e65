#include "ui/controls/ButtonLook.h"

namespace n640 {

LookChoice ChooseBitmapBtnLook(const BitmapBtnState& s, bool systemPressed, bool enabled) {
    const bool down = s.checkMode ? s.checked : systemPressed;
    if (down) {
        return {s.useAltPressed ? BtnLook::AltPressed : BtnLook::Pressed, s.pressedText};
    }
    if (s.hovering && s.hoverLooks) {
        return {BtnLook::Hover, s.hoverText};
    }
    if (!enabled) {
        return {BtnLook::Disabled, kCaptionDisabled};
    }
    return {s.useAltNormal ? BtnLook::AltNormal : BtnLook::Normal, s.normalText};
}

bool PressBitmapBtn(BitmapBtnState& s) {
    if (!s.toggleOnPress) {
        return false;
    }
    s.checked = !s.checked;
    return true;
}

bool SetBtnCheck(BitmapBtnState& s, bool checked) {
    if (s.checked == checked) {
        return false;
    }
    s.checked = checked;
    return true;
}

LookChoice ChooseIrrButtonLook(const IrrBtnState& s, bool pressed, bool enabled) {
    bool down;
    if (s.latched) {
        down = s.highlighted;
    } else {
        if (!enabled) {
            return {BtnLook::Disabled, s.normalText};
        }
        down = pressed;
    }
    if (down) {
        return {BtnLook::Pressed, s.pressedText};
    }
    if (s.hovering) {
        return {BtnLook::Hover, s.hoverText};
    }
    return {BtnLook::Normal, s.normalText};
}

Point IrrCaptionOrigin(Point centre, size_t length) {
    const int n = static_cast<int>(length);
    const int half = length > 5 ? 3 * n : 6 * n;
    return {centre.x - half + 5, centre.y - 6};
}

} // namespace n640
