#include "lighting/LightingModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/ProfileStore.h"

namespace n640 {
namespace {

ProfileImage DefaultImage() {
    ProfileImage image;
    BuildDefaultProfile(&image);
    return image;
}

int PressedSwatch(const LightingView& v) {
    int pressed = -1;
    for (int k = 0; k < kSwatchCount; ++k) {
        if (!v.swatchPressed[static_cast<size_t>(k)]) continue;
        if (pressed >= 0) return -2;  // more than one
        pressed = k;
    }
    return pressed;
}

int PressedMode(const LightingView& v) {
    int pressed = 0;
    for (int m = 1; m <= kLightModeCount; ++m)
        if (v.modePressed[static_cast<size_t>(m - 1)]) pressed = pressed ? -1 : m;
    return pressed;
}

bool SameBytes(const ProfileImage& a, const ProfileImage& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(LightingModel, RefreshFollowsTheModeTable) {
    struct Case {
        int mode, own, slotBefore;
        bool brightness, breath, cycleSpeed, cycleControls, editing;
        int slot;
    };
    const Case cases[] = {
        {1, 0, 0, true, false, false, false, true, 3},
        {2, 1, 4, false, true, false, false, true, 3},
        {3, 1, 3, false, false, false, false, false, 4},
        {4, 0, 0, false, false, false, false, false, 4},
        {5, 0, 1, false, false, true, true, false, 4},
        {5, 1, 3, false, false, false, true, true, 0},
        {5, 1, 4, false, false, false, true, true, 0},
        {5, 1, 2, false, false, false, true, true, 2},   // a cycle colour being edited stays
        {6, 0, 3, false, false, false, false, false, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " own " << c.own << " slot " << c.slotBefore);
        ProfileImage image = DefaultImage();
        image.settings.lightMode = c.mode;
        image.settings.ownColours = c.own;
        image.settings.colours[0] = 0x102030;
        image.settings.colours[2] = 0x405060;
        image.settings.colours[3] = 0x0A0B0C;
        LightingPageState state;
        state.currentSlot = c.slotBefore;
        LightingView view;
        RefreshLighting(image, state, view);

        EXPECT_EQ(PressedMode(view), c.mode);
        EXPECT_EQ(view.brightnessEnabled, c.brightness);
        EXPECT_EQ(view.breathSpeedEnabled, c.breath);
        EXPECT_EQ(view.cycleSpeedEnabled, c.cycleSpeed);
        EXPECT_EQ(view.cycleControlsEnabled, c.cycleControls);
        EXPECT_EQ(view.swatchesEnabled, c.editing);
        EXPECT_EQ(view.colourSlidersEnabled, c.editing);
        EXPECT_EQ(state.wheelEnabled, c.editing);
        EXPECT_EQ(state.currentSlot, c.slot);
        EXPECT_EQ(view.ownColoursTicked, c.own == 1);
        const LedColour edited = c.editing ? image.settings.colours[c.slot] : 0;
        EXPECT_EQ(state.red, RedOf(edited));
        EXPECT_EQ(state.blue, BlueOf(edited));
        EXPECT_EQ(view.greenPos, GreenOf(edited));
        const std::string red = std::to_string(RedOf(edited));
        EXPECT_EQ(view.redText, std::u16string(red.begin(), red.end()));
        for (int i = 0; i < kColourSlotCount; ++i)
            EXPECT_EQ(view.buttonColours[static_cast<size_t>(i)], image.settings.colours[i]);
    }
}

TEST(LightingModel, NumberFieldsShowTheEditedColourInDecimal) {
    ProfileImage image = DefaultImage();
    image.settings.lightMode = kLightSteady;
    image.settings.colours[3] = 0x00C8070F;   // red 15, green 7, blue 200
    CLightingModel page(image);
    page.Refresh();
    EXPECT_EQ(page.View().redText, u"15");
    EXPECT_EQ(page.View().greenText, u"7");
    EXPECT_EQ(page.View().blueText, u"200");
    page.ClickMode(kLightOff);
    EXPECT_EQ(page.View().redText, u"0");
    EXPECT_EQ(page.View().blueText, u"0");
    EXPECT_EQ(page.View().bluePos, 0);
}

TEST(LightingModel, UnknownModeLeavesTheModePartOfTheViewAlone) {
    ProfileImage image = DefaultImage();
    image.settings.lightMode = kLightBreathing;
    image.settings.colours[3] = 0x00112233;
    CLightingModel page(image);
    page.Refresh();
    image.settings.lightMode = 0;
    page.Refresh();
    EXPECT_EQ(PressedMode(page.View()), kLightBreathing);
    EXPECT_TRUE(page.View().breathSpeedEnabled);
    EXPECT_EQ(page.State().currentSlot, kSingleColourSlot);
    EXPECT_EQ(page.State().red, 0x33);
}

TEST(LightingModel, SwatchesEditTheSingleColourInModeOneAndNothingInModeThree) {
    ProfileImage image = DefaultImage();
    CLightingModel page(image);
    page.Refresh();
    page.ClickMode(kLightSteady);
    page.ClickSwatch(5);
    EXPECT_EQ(image.settings.lightMode, 1);
    EXPECT_EQ(image.settings.colours[3], kSwatchColours[5]);
    EXPECT_EQ(image.settings.swatchIndex[3], 5);
    EXPECT_EQ(image.settings.colourFromSliders[3], 0);
    EXPECT_EQ(PressedSwatch(page.View()), 5);
    EXPECT_EQ(page.View().buttonColours[3], kSwatchColours[5]);
    EXPECT_EQ(page.State().green, GreenOf(kSwatchColours[5]));

    page.ClickMode(kLightEffect3);
    EXPECT_FALSE(page.View().swatchesEnabled);
    const ProfileImage before = image;
    page.ClickSwatch(9);
    EXPECT_TRUE(SameBytes(image, before));
    EXPECT_EQ(PressedSwatch(page.View()), -1);
}

TEST(LightingModel, ModeFiveButtonFollowsTheOwnColoursBox) {
    ProfileImage image = DefaultImage();
    image.settings.lightMode = kLightSteady;
    image.settings.ownColours = 1;
    image.settings.colours[0] = 0x00445566;
    CLightingModel page(image);
    page.Refresh();
    page.ClickMode(kLightCycle);
    EXPECT_EQ(page.State().currentSlot, 0);
    EXPECT_TRUE(page.View().swatchesEnabled);
    EXPECT_FALSE(page.View().cycleSpeedEnabled);
    EXPECT_EQ(page.State().red, 0x66);

    image.settings.ownColours = 0;
    page.ClickMode(kLightCycle);
    EXPECT_EQ(page.State().currentSlot, kNoColourSlot);
    EXPECT_TRUE(page.View().cycleSpeedEnabled);
    EXPECT_FALSE(page.View().swatchesEnabled);
    EXPECT_FALSE(page.View().colourSlidersEnabled);
    EXPECT_FALSE(page.State().wheelEnabled);
    EXPECT_EQ(page.State().red, 0);
}

TEST(LightingModel, TickingOwnColoursInModeFiveEditsColourOne) {
    ProfileImage image = DefaultImage();   // mode 5, built-in cycle
    image.settings.colours[0] = 0x00010203;
    CLightingModel page(image);
    page.Refresh();
    ASSERT_FALSE(page.View().ownColoursTicked);
    EXPECT_EQ(page.OwnColoursHint(), 34);

    page.ClickOwnColours();
    EXPECT_EQ(image.settings.ownColours, 1);
    EXPECT_TRUE(page.View().ownColoursTicked);
    EXPECT_EQ(page.OwnColoursHint(), 35);
    EXPECT_FALSE(page.View().cycleSpeedEnabled);
    EXPECT_TRUE(page.View().swatchesEnabled);
    EXPECT_TRUE(page.View().colourSlidersEnabled);
    EXPECT_TRUE(page.State().wheelEnabled);
    EXPECT_EQ(page.State().currentSlot, 0);
    EXPECT_EQ(page.State().blue, 0x01);

    page.ClickOwnColours();
    EXPECT_EQ(image.settings.ownColours, 0);
    EXPECT_EQ(page.State().currentSlot, kNoColourSlot);
}

TEST(LightingModel, ColourSlidersSetOneByteOfTheEditedColour) {
    ProfileImage image = DefaultImage();
    image.settings.ownColours = 1;
    image.settings.colours[1] = 0x00ABCDEF;
    CLightingModel page(image);
    page.Refresh();
    page.ClickCycleColour(1);
    page.ClickSwatch(7);
    ASSERT_EQ(PressedSwatch(page.View()), 7);

    page.SliderMoved(kSliderRed, 200);
    EXPECT_EQ(image.settings.colours[1], (kSwatchColours[7] & 0xFFFF00) | 200);
    EXPECT_EQ(image.settings.colourFromSliders[1], 1);
    EXPECT_EQ(page.View().buttonColours[1], image.settings.colours[1]);
    EXPECT_EQ(page.View().redText, u"200");
    EXPECT_EQ(PressedSwatch(page.View()), -1);
    page.Refresh();
    EXPECT_EQ(PressedSwatch(page.View()), -1);
    EXPECT_EQ(page.State().red, 200);

    page.SliderMoved(kSliderBlue, 0x12);
    page.SliderMoved(kSliderGreen, 300);   // one byte only
    EXPECT_EQ(image.settings.colours[1], 0x0012FFC8u);
    EXPECT_EQ(image.settings.colours[0], 0x000000FFu);
}

TEST(LightingModel, ColourSlidersWithoutAnEditedColourOnlyMoveTheValue) {
    ProfileImage image = DefaultImage();
    image.settings.lightMode = kLightOff;
    CLightingModel page(image);
    page.Refresh();
    const ProfileImage before = image;
    page.SliderMoved(kSliderGreen, 90);
    EXPECT_EQ(page.State().green, 90);
    EXPECT_TRUE(SameBytes(image, before));
}

TEST(LightingModel, ParameterSlidersAndCycleSpeedHalving) {
    ProfileImage image = DefaultImage();
    CLightingModel page(image);
    page.SliderMoved(kSliderCycleSpeed, 3);
    page.SliderMoved(kSliderBrightness, 10);
    page.SliderMoved(kSliderBreathSpeed, 1);
    EXPECT_EQ(image.settings.cycleSpeed, 6);
    EXPECT_EQ(image.settings.brightness, 10);
    EXPECT_EQ(image.settings.breathSpeed, 1);

    image.settings.cycleSpeed = 5;
    image.settings.brightness = 42;        // out of range: shown as it is
    page.Refresh();
    EXPECT_EQ(page.View().cycleSpeedPos, 2);
    EXPECT_EQ(page.View().brightnessPos, 42);
    EXPECT_EQ(page.View().breathSpeedPos, 1);
}

TEST(LightingModel, SwatchIndexOutsideTheTableShowsTheFirstSwatch) {
    struct Case {
        int stored, fromSliders, shownPressed, storedAfter;
    };
    const Case cases[] = {{40, 0, 0, 0}, {-3, 0, 0, 0}, {25, 0, 25, 25}, {40, 1, -1, 40}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stored " << c.stored << " fromSliders " << c.fromSliders);
        ProfileImage image = DefaultImage();
        image.settings.lightMode = kLightBreathing;
        image.settings.colours[3] = 0x00FF00FF;
        image.settings.swatchIndex[3] = c.stored;
        image.settings.colourFromSliders[3] = c.fromSliders;
        CLightingModel page(image);
        page.Refresh();
        EXPECT_EQ(PressedSwatch(page.View()), c.shownPressed);
        EXPECT_EQ(image.settings.swatchIndex[3], c.storedAfter);
        EXPECT_EQ(page.State().red, 0xFF);   // the stored colour, not the swatch's
    }
}

TEST(LightingModel, WheelShape) {
    const std::pair<std::pair<int, int>, bool> points[] = {
        {{831, 323}, true},  {{771, 323}, true},  {{890, 323}, true},  {{831, 264}, true},
        {{831, 382}, true},  {{770, 323}, false}, {{891, 323}, false}, {{831, 263}, false},
        {{831, 383}, false}, {{771, 264}, false}, {{890, 382}, false}, {{785, 278}, false},
        {{792, 284}, true},
    };
    for (auto [p, inside] : points) EXPECT_EQ(InsideWheel(p.first, p.second), inside) << p.first << "," << p.second;
}

TEST(LightingModel, WheelTakesTheShownColourOnlyWhileEnabled) {
    ProfileImage image = DefaultImage();
    image.settings.lightMode = kLightEffect3;
    CLightingModel page(image);
    page.Refresh();
    const ProfileImage before = image;
    EXPECT_TRUE(page.WheelPress(831, 323, 0x00336699));   // cross cursor, nothing taken
    EXPECT_TRUE(SameBytes(image, before));

    page.ClickMode(kLightSteady);
    page.ClickSwatch(3);
    EXPECT_FALSE(page.WheelPress(700, 323, 0x00336699));
    EXPECT_EQ(image.settings.colours[3], kSwatchColours[3]);
    EXPECT_TRUE(page.WheelPress(831, 323, 0xFF336699));
    EXPECT_EQ(image.settings.colours[3], 0x00336699u);
    EXPECT_EQ(image.settings.colourFromSliders[3], 1);
    EXPECT_EQ(page.State().red, 0x99);
    EXPECT_EQ(page.View().bluePos, 0x33);
    EXPECT_EQ(page.View().greenText, u"102");
    EXPECT_EQ(page.View().buttonColours[3], 0x00336699u);
    EXPECT_EQ(PressedSwatch(page.View()), -1);
}

TEST(LightingModel, SwatchRectangles) {
    struct Case {
        int k;
        bool chinese;
        LedRect rect;
    };
    const Case cases[] = {
        {0, false, {177, 258, 208, 290}},  {4, false, {337, 258, 368, 290}},
        {5, false, {376, 258, 407, 290}},  {13, false, {416, 299, 447, 331}},
        {25, false, {337, 381, 368, 413}}, {0, true, {140, 256, 171, 289}},
        {6, true, {379, 256, 410, 289}},   {21, true, {140, 379, 171, 412}},
    };
    for (const Case& c : cases) EXPECT_EQ(SwatchRect(c.k, c.chinese), c.rect) << c.k << " " << c.chinese;
}

} // namespace
} // namespace n640
