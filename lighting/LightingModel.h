#pragma once
// The rules of the lighting page over the active profile's lighting fields: the mode buttons, the
// own-colours box, the cycle colour buttons, the preset swatches, the six sliders and the colour
// wheel, and RefreshLighting, which turns the profile and the page state into everything the page
// shows. The Win32 view only draws LightingView and forwards clicks and slider moves here.

#include <array>
#include <cstdint>
#include <string>

#include "config/ProfileImage.h"

namespace n640 {

using LedColour = uint32_t;  // 0x00BBGGRR, red in the low byte

constexpr int kLightModeCount = 6;
constexpr int kSwatchCount = 26;
constexpr int kMaxSwatchIndex = kSwatchCount - 1;
constexpr int kColourSlotCount = 4;  // colours[0..2] of the colour cycle, colours[3] of modes 1 and 2
constexpr int kSingleColourSlot = 3;
constexpr int kNoColourSlot = 4;     // editing off

// Lighting modes as stored in lightMode.
enum LightMode : int {
    kLightSteady = 1,
    kLightBreathing = 2,
    kLightEffect3 = 3,
    kLightEffect4 = 4,
    kLightCycle = 5,
    kLightOff = 6,
};

// Slider ids; the sliders report their position with message 2048 (wParam position, lParam id).
enum LightingSlider : int {
    kSliderRed = 769,
    kSliderGreen = 770,
    kSliderBlue = 771,
    kSliderBrightness = 777,
    kSliderBreathSpeed = 778,
    kSliderCycleSpeed = 779,
};
// Ids of the read-only number fields of red, green and blue.
constexpr int kFieldRed = 772;
constexpr int kFieldGreen = 773;
constexpr int kFieldBlue = 774;

// The preset swatches, in index order.
inline constexpr std::array<LedColour, kSwatchCount> kSwatchColours = {
    0x7E05FA, 0x0012FA, 0x0179F8, 0x00EDF9, 0x09F0C1, 0x00F927, 0x2AA418, 0x93E713, 0xDFE90D,
    0xFAC101, 0xFA8E05, 0xF96F00, 0xF80024, 0xE3185A, 0xE21B7F, 0xE218C1, 0x54FAE6, 0x30B900,
    0x7D63FA, 0x233BC4, 0x1603DE, 0xAD7A17, 0x12B900, 0xC05A4A, 0xEE4E6F, 0xB95401,
};

constexpr int RedOf(LedColour c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(LedColour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(LedColour c) { return static_cast<int>((c >> 16) & 0xFF); }

// A rectangle in page pixels: left and top inside, right and bottom outside.
struct LedRect {
    int left;
    int top;
    int right;
    int bottom;
    bool operator==(const LedRect&) const = default;
};

// Swatch k sits in column k mod 7 and row k div 7; columns 5 and 6 sit one pixel to the left.
LedRect SwatchRect(int k, bool chinese);

// The colour wheel: the ellipse bounded by 771,264,891,383 (right and bottom outside).
inline constexpr LedRect kWheelBounds = {771, 264, 891, 383};
bool InsideWheel(int x, int y);

// The page's own state; everything else lives in the profile.
struct LightingPageState {
    int currentSlot = 0;        // 0..3 the colour being edited, 4 none
    bool wheelEnabled = true;
    int red = 0;                // the displayed component values
    int green = 0;
    int blue = 0;
};

// Everything the page shows. Controls start released and enabled.
struct LightingView {
    std::array<bool, kLightModeCount> modePressed{};   // [m - 1] for mode m
    bool brightnessEnabled = true;
    bool breathSpeedEnabled = true;
    bool cycleSpeedEnabled = true;
    bool cycleControlsEnabled = true;                  // the three cycle colour buttons and the own-colours box
    bool colourEditing = true;                         // swatches, colour sliders and wheel
    bool ownColoursTicked = false;
    std::array<bool, kSwatchCount> swatchPressed{};
    bool swatchesEnabled = true;
    bool colourSlidersEnabled = true;
    int redPos = 0;
    int greenPos = 0;
    int bluePos = 0;
    int breathSpeedPos = 0;
    int brightnessPos = 0;
    int cycleSpeedPos = 0;
    std::u16string redText = u"0";
    std::u16string greenText = u"0";
    std::u16string blueText = u"0";
    std::array<LedColour, kColourSlotCount> buttonColours{};  // cycle colours 1..3, single colour
};

// Brings the view in line with the profile. A lightMode outside 1..6 leaves the mode-dependent
// part of the view as it was. A swatchIndex outside 0..25 of the colour being edited, when that
// colour came from a swatch, is reset to 0 in the profile.
void RefreshLighting(ProfileImage& image, LightingPageState& state, LightingView& view);

// The page over the active profile: every button runs its rule and then RefreshLighting; slider
// moves and wheel clicks update the view in place.
class CLightingModel {
public:
    explicit CLightingModel(ProfileImage& image) : image_(&image) {}

    // The profile the page edits (the main window replaces the active image whole).
    void Attach(ProfileImage& image) { image_ = &image; }

    void Refresh() { RefreshLighting(*image_, state_, view_); }

    void ClickMode(int mode);           // 1..6
    void ClickOwnColours();
    void ClickCycleColour(int index);   // 0..2
    void ClickSwatch(int k);            // 0..25
    // Message 2048. Unknown ids are ignored.
    void SliderMoved(int sliderId, int position);
    // A left press at page point x,y where the page shows `shown`. True when the press fell inside
    // the wheel (the cursor becomes the cross); the colour is taken only while the wheel is enabled
    // and a colour is being edited.
    bool WheelPress(int x, int y, LedColour shown);

    // The own-colours box's hint number.
    int OwnColoursHint() const { return view_.ownColoursTicked ? 35 : 34; }

    const LightingPageState& State() const { return state_; }
    const LightingView& View() const { return view_; }
    const ProfileImage& Image() const { return *image_; }

private:
    ProfileImage* image_;
    LightingPageState state_;
    LightingView view_;
};

} // namespace n640
