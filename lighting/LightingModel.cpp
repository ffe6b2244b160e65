#include "lighting/LightingModel.h"

#include <algorithm>
#include <string>

namespace n640 {
namespace {

bool IsColourSlot(int slot) { return slot >= 0 && slot < kColourSlotCount; }

std::u16string Decimal(int value) {
    const std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
}

void ShowComponentTexts(const LightingPageState& state, LightingView& view) {
    view.redText = Decimal(state.red);
    view.greenText = Decimal(state.green);
    view.blueText = Decimal(state.blue);
}

void SetComponents(LightingPageState& state, LightingView& view, LedColour colour) {
    state.red = RedOf(colour);
    state.green = GreenOf(colour);
    state.blue = BlueOf(colour);
    view.redPos = state.red;
    view.greenPos = state.green;
    view.bluePos = state.blue;
}

// The mode-dependent part: pressed mode button, enabled sliders and controls, the edited colour.
void ShowMode(const ProfileSettingsTail& s, LightingPageState& state, LightingView& view) {
    const int mode = s.lightMode;
    if (mode < 1 || mode > kLightModeCount) return;
    const bool own = s.ownColours == 1;
    view.modePressed = {};
    view.modePressed[static_cast<size_t>(mode - 1)] = true;
    view.brightnessEnabled = mode == kLightSteady;
    view.breathSpeedEnabled = mode == kLightBreathing;
    view.cycleSpeedEnabled = mode == kLightCycle && s.ownColours == 0;
    view.cycleControlsEnabled = mode == kLightCycle;
    switch (mode) {
    case kLightSteady:
    case kLightBreathing:
        state.currentSlot = kSingleColourSlot;
        view.colourEditing = true;
        break;
    case kLightCycle:
        if (own) {
            if (state.currentSlot == kSingleColourSlot || state.currentSlot == kNoColourSlot) state.currentSlot = 0;
        } else {
            state.currentSlot = kNoColourSlot;
        }
        view.colourEditing = own;
        break;
    default:
        state.currentSlot = kNoColourSlot;
        view.colourEditing = false;
        break;
    }
}

} // namespace

LedRect SwatchRect(int k, bool chinese) {
    const int column = k % 7;
    const int row = k / 7;
    const int offset = 40 * column - (column >= 5 ? 1 : 0);
    if (chinese) {
        const int left = 140 + offset, top = 256 + 41 * row;
        return {left, top, left + 31, top + 33};
    }
    const int left = 177 + offset, top = 258 + 41 * row;
    return {left, top, left + 31, top + 32};
}

bool InsideWheel(int x, int y) {
    // Pixel centres against the ellipse, in doubled coordinates so everything stays integral.
    const int64_t w = kWheelBounds.right - kWheelBounds.left;
    const int64_t h = kWheelBounds.bottom - kWheelBounds.top;
    const int64_t dx = 2 * int64_t{x} + 1 - (kWheelBounds.left + kWheelBounds.right);
    const int64_t dy = 2 * int64_t{y} + 1 - (kWheelBounds.top + kWheelBounds.bottom);
    return dx * dx * h * h + dy * dy * w * w <= w * w * h * h;
}

void RefreshLighting(ProfileImage& image, LightingPageState& state, LightingView& view) {
    ProfileSettingsTail& s = image.settings;

    ShowMode(s, state, view);
    state.wheelEnabled = view.colourEditing;

    if (view.colourEditing && IsColourSlot(state.currentSlot)) {
        view.swatchPressed = {};
        view.swatchesEnabled = true;
        SetComponents(state, view, s.colours[state.currentSlot]);
        view.colourSlidersEnabled = true;
    } else if (!view.colourEditing) {
        state.currentSlot = kNoColourSlot;
        view.swatchPressed = {};
        view.swatchesEnabled = false;
        SetComponents(state, view, 0);
        view.colourSlidersEnabled = false;
    }
    ShowComponentTexts(state, view);

    view.breathSpeedPos = s.breathSpeed;
    view.brightnessPos = s.brightness;
    view.cycleSpeedPos = s.cycleSpeed / 2;

    view.swatchPressed = {};
    if (IsColourSlot(state.currentSlot) && s.colourFromSliders[state.currentSlot] == 0) {
        int& index = s.swatchIndex[state.currentSlot];
        // Any index the table does not have (a negative one too) shows the first swatch.
        if (index < 0 || index > kMaxSwatchIndex) index = 0;
        view.swatchPressed[static_cast<size_t>(index)] = true;
        SetComponents(state, view, s.colours[state.currentSlot]);
        ShowComponentTexts(state, view);
    }

    view.ownColoursTicked = s.ownColours == 1;
    for (int i = 0; i < kColourSlotCount; ++i) view.buttonColours[static_cast<size_t>(i)] = s.colours[i];
}

void CLightingModel::ClickMode(int mode) {
    ProfileSettingsTail& s = image_->settings;
    switch (mode) {
    case kLightSteady:
    case kLightBreathing:
        state_.currentSlot = kSingleColourSlot;
        break;
    case kLightEffect3:
    case kLightEffect4:
    case kLightOff:
        state_.currentSlot = kNoColourSlot;
        break;
    case kLightCycle:
        state_.currentSlot = s.ownColours == 1 ? 0 : kNoColourSlot;
        break;
    default:
        return;
    }
    s.lightMode = mode;
    Refresh();
}

void CLightingModel::ClickOwnColours() {
    view_.ownColoursTicked = !view_.ownColoursTicked;
    image_->settings.ownColours = view_.ownColoursTicked ? 1 : 0;
    Refresh();
}

void CLightingModel::ClickCycleColour(int index) {
    if (index < 0 || index > 2) return;
    state_.currentSlot = index;
    Refresh();
}

void CLightingModel::ClickSwatch(int k) {
    if (k >= 0 && k < kSwatchCount && IsColourSlot(state_.currentSlot)) {
        ProfileSettingsTail& s = image_->settings;
        s.colours[state_.currentSlot] = kSwatchColours[static_cast<size_t>(k)];
        s.swatchIndex[state_.currentSlot] = k;
        s.colourFromSliders[state_.currentSlot] = 0;
    }
    Refresh();
}

void CLightingModel::SliderMoved(int sliderId, int position) {
    ProfileSettingsTail& s = image_->settings;
    switch (sliderId) {
    case kSliderRed:
    case kSliderGreen:
    case kSliderBlue: {
        // A component is one byte of the colour: a position outside 0..255 must not reach the
        // neighbouring components.
        const int value = std::clamp(position, 0, 255);
        const int shift = 8 * (sliderId - kSliderRed);
        (sliderId == kSliderRed ? state_.red : sliderId == kSliderGreen ? state_.green : state_.blue) = value;
        (sliderId == kSliderRed ? view_.redPos : sliderId == kSliderGreen ? view_.greenPos : view_.bluePos) = value;
        if (!IsColourSlot(state_.currentSlot)) return;
        LedColour& colour = s.colours[state_.currentSlot];
        colour = (colour & ~(LedColour{0xFF} << shift)) | (static_cast<LedColour>(value) << shift);
        view_.buttonColours[static_cast<size_t>(state_.currentSlot)] = colour;
        s.colourFromSliders[state_.currentSlot] = 1;
        ShowComponentTexts(state_, view_);
        view_.swatchPressed = {};
        return;
    }
    case kSliderBrightness:
        s.brightness = position;
        view_.brightnessPos = position;
        return;
    case kSliderBreathSpeed:
        s.breathSpeed = position;
        view_.breathSpeedPos = position;
        return;
    case kSliderCycleSpeed:
        s.cycleSpeed = 2 * position;
        view_.cycleSpeedPos = position;
        return;
    default:
        return;
    }
}

bool CLightingModel::WheelPress(int x, int y, LedColour shown) {
    if (!InsideWheel(x, y)) return false;
    if (!state_.wheelEnabled || !IsColourSlot(state_.currentSlot)) return true;
    ProfileSettingsTail& s = image_->settings;
    const LedColour colour = shown & 0x00FFFFFF;
    s.colourFromSliders[state_.currentSlot] = 1;
    s.colours[state_.currentSlot] = colour;
    SetComponents(state_, view_, colour);
    ShowComponentTexts(state_, view_);
    view_.buttonColours[static_cast<size_t>(state_.currentSlot)] = colour;
    // The colour no longer comes from a swatch, as after a slider move.
    view_.swatchPressed = {};
    return true;
}

} // namespace n640
