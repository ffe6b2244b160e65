#include "ui/controls/ButtonLook.h"

#include <gtest/gtest.h>

namespace n640 {
namespace {

TEST(BitmapBtnLook, ChoosesPictureAndCaptionColourByPriority) {
    struct Case {
        const char* name;
        BitmapBtnState s;
        bool pressed;
        bool enabled;
        BtnLook look;
        Colour text;
    };
    BitmapBtnState plain;
    BitmapBtnState hovering;
    hovering.hovering = true;
    BitmapBtnState hoverOff = hovering;
    hoverOff.hoverLooks = false;
    BitmapBtnState checked;
    checked.checkMode = true;
    checked.checked = true;
    BitmapBtnState checkModeUnchecked;
    checkModeUnchecked.checkMode = true;
    BitmapBtnState alt;
    alt.useAltNormal = true;
    alt.useAltPressed = true;
    const Case cases[] = {
        {"normal", plain, false, true, BtnLook::Normal, kCaptionNormal},
        {"pressed by the system", plain, true, true, BtnLook::Pressed, kCaptionPressed},
        {"hover", hovering, false, true, BtnLook::Hover, kCaptionHover},
        {"hover looks switched off", hoverOff, false, true, BtnLook::Normal, kCaptionNormal},
        {"disabled", plain, false, false, BtnLook::Disabled, kCaptionDisabled},
        {"disabled but hovered shows hover", hovering, false, false, BtnLook::Hover, kCaptionHover},
        {"checked is down without a press", checked, false, true, BtnLook::Pressed, kCaptionPressed},
        {"check mode ignores the system press", checkModeUnchecked, true, true, BtnLook::Normal, kCaptionNormal},
        {"alternative normal", alt, false, true, BtnLook::AltNormal, kCaptionNormal},
        {"alternative pressed", alt, true, true, BtnLook::AltPressed, kCaptionPressed},
    };
    for (const Case& c : cases) {
        const LookChoice got = ChooseBitmapBtnLook(c.s, c.pressed, c.enabled);
        EXPECT_EQ(got.look, c.look) << c.name;
        EXPECT_EQ(got.text, c.text) << c.name;
    }
}

TEST(BitmapBtnLook, PressTogglesOnlyWhenAskedAndSetCheckReportsChanges) {
    BitmapBtnState s;
    s.checkMode = true;
    EXPECT_FALSE(PressBitmapBtn(s));
    EXPECT_FALSE(s.checked);
    s.toggleOnPress = true;
    EXPECT_TRUE(PressBitmapBtn(s));
    EXPECT_TRUE(s.checked);
    EXPECT_TRUE(PressBitmapBtn(s));
    EXPECT_FALSE(s.checked);

    EXPECT_FALSE(SetBtnCheck(s, false));  // same state: no redraw
    EXPECT_TRUE(SetBtnCheck(s, true));
    EXPECT_FALSE(SetBtnCheck(s, true));
}

TEST(IrrButtonLook, LatchedFollowsHighlightAndIgnoresDisabled) {
    IrrBtnState s;
    s.latched = true;
    EXPECT_EQ(ChooseIrrButtonLook(s, true, true).look, BtnLook::Normal);  // the press does not show
    s.highlighted = true;
    EXPECT_EQ(ChooseIrrButtonLook(s, false, false).look, BtnLook::Pressed);
    s.highlighted = false;
    s.hovering = true;
    EXPECT_EQ(ChooseIrrButtonLook(s, false, false).look, BtnLook::Hover);

    IrrBtnState free;
    EXPECT_EQ(ChooseIrrButtonLook(free, true, true).look, BtnLook::Pressed);
    EXPECT_EQ(ChooseIrrButtonLook(free, true, false).look, BtnLook::Disabled);
    free.hovering = true;
    const LookChoice hover = ChooseIrrButtonLook(free, false, true);
    EXPECT_EQ(hover.look, BtnLook::Hover);
    EXPECT_EQ(hover.text, kCaptionHover);
}

TEST(IrrButtonLook, CaptionStartsByLength) {
    EXPECT_EQ(IrrCaptionOrigin({100, 50}, 6), (Point{100 - 18 + 5, 44}));  // 13 left of centre
    EXPECT_EQ(IrrCaptionOrigin({100, 50}, 5), (Point{100 - 30 + 5, 44}));  // 25 left of centre
    EXPECT_EQ(IrrCaptionOrigin({100, 50}, 0), (Point{105, 44}));
}

} // namespace
} // namespace n640
