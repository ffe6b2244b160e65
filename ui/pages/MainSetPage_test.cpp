#include "ui/pages/MainSetPage.h"

#include <gtest/gtest.h>

#include "functions/FunctionModel.h"

namespace n640 {
namespace {

ProfileImage Profile(int wheelLines) {
    ProfileImage image = ZeroProfileImage();
    for (int i = 0; i < kInputCount; ++i) image.buttons[i].type = kDefaultTypes[static_cast<size_t>(i)];
    image.settings.wheelLines = wheelLines;
    image.settings.reportInterval = 1;
    return image;
}

TEST(MainSetPage, RefreshShowsTheWheelSetting) {
    CMainSetPage page;
    ProfileImage image = Profile(kWheelScreen);
    page.Refresh(image);
    MainSetView v = page.View(image);
    EXPECT_TRUE(v.screenOn);
    EXPECT_FALSE(v.linesOn);
    EXPECT_FALSE(v.entryEnabled);
    EXPECT_EQ(v.entryText, u"1");

    image = Profile(7);
    page.Refresh(image);
    v = page.View(image);
    EXPECT_TRUE(v.linesOn);
    EXPECT_TRUE(v.entryEnabled);
    EXPECT_EQ(v.entryText, u"7");

    // Lines chosen again after "one screen" take the entry's number.
    page.ClickScreen(image);
    EXPECT_EQ(image.settings.wheelLines, kWheelScreen);
    page.ClickLines(image);
    EXPECT_EQ(image.settings.wheelLines, 7);
}

TEST(MainSetPage, LinesUpAndDownStayWithinOneToThirty) {
    CMainSetPage page;
    ProfileImage image = Profile(29);
    page.Refresh(image);
    page.LinesUp(image);
    page.LinesUp(image);
    EXPECT_EQ(image.settings.wheelLines, 30);
    image = Profile(2);
    page.Refresh(image);
    page.LinesDown(image);
    page.LinesDown(image);
    EXPECT_EQ(image.settings.wheelLines, 1);
    EXPECT_EQ(page.View(image).entryText, u"1");
}

TEST(MainSetPage, ScrollLinesEntryCheckSetsTheProfile) {
    struct Case {
        std::u16string_view text;
        std::u16string_view shown;
        int lines;
    };
    for (const Case& c : {Case{u"007", u"7", 7}, Case{u"45", u"30", 30}, Case{u"", u"1", 1}, Case{u"000", u"1", 1},
                          Case{u"12", u"12", 12}}) {
        CMainSetPage page;
        ProfileImage image = Profile(3);
        page.Refresh(image);
        EXPECT_EQ(page.CheckScrollLinesEntry(image, c.text), c.shown) << std::string(c.text.begin(), c.text.end());
        EXPECT_EQ(image.settings.wheelLines, c.lines);
        EXPECT_EQ(page.LinesNumber(), c.lines);
    }
}

TEST(MainSetPage, ButtonsAndSlidersEditTheProfile) {
    CMainSetPage page;
    ProfileImage image = Profile(3);
    page.ClickRate(image, 0);
    EXPECT_EQ(image.settings.reportInterval, 8);
    EXPECT_EQ(page.View(image).rateOn, (std::array<bool, 4>{true, false, false, false}));
    image.settings.reportInterval = 3;   // none of the four
    EXPECT_EQ(page.View(image).rateOn, (std::array<bool, 4>{}));

    page.ClickPrecision(image);
    EXPECT_EQ(image.settings.enhancePrecision, 1);
    EXPECT_TRUE(page.View(image).precisionOn);
    page.ClickPrecision(image);
    EXPECT_EQ(image.settings.enhancePrecision, 0);

    page.SliderMoved(image, kPointerSpeedSliderId, 14);
    page.SliderMoved(image, kSensorSliderId, 30);
    page.SliderMoved(image, 2561, 5);   // no slider of this page
    EXPECT_EQ(image.settings.pointerSpeed, 14);
    EXPECT_EQ(image.settings.sheightValue, 30);

    image.buttons[kInputBack].type = kTypeVolumeUp;
    const MainSetView v = page.View(image);
    EXPECT_TRUE(v.inputChanged[kInputBack]);
    EXPECT_FALSE(v.inputChanged[kInputForward]);
}

TEST(MainSetPage, SpotHighlightFollowsThePointerWhileTheWindowIsInFront) {
    struct Case {
        bool current, inside, front, next;
    };
    for (const Case& c : {Case{false, true, true, true}, Case{true, false, true, false}, Case{true, false, false, false},
                          Case{true, true, false, true}, Case{false, true, false, false}}) {
        EXPECT_EQ(NextSpotHighlight(c.current, c.inside, c.front), c.next)
            << c.current << c.inside << c.front;
    }
    const PageRect r = SpotTestRect({19, 408, 127, 441});
    EXPECT_FALSE(Contains(r, 35, 420));
    EXPECT_TRUE(Contains(r, 36, 420));
    EXPECT_TRUE(Contains(r, 109, 420));
    EXPECT_FALSE(Contains(r, 110, 420));
}

} // namespace
} // namespace n640
