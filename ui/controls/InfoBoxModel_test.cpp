#include "ui/controls/InfoBoxModel.h"

#include <gtest/gtest.h>

namespace n640 {
namespace {

TEST(InfoCountdown, CountsFiveToOneThenClosesShowingZero) {
    CInfoCountdown c;
    c.Start();
    EXPECT_EQ(InfoCountdownText(false, c.Remaining()), u"OK (5s)");
    const int expectedShown[] = {5, 4, 3, 2, 1};
    for (int shown : expectedShown) {
        const CInfoCountdown::Tick t = c.OnTick();
        EXPECT_FALSE(t.close);
        EXPECT_EQ(t.shown, shown);
    }
    const CInfoCountdown::Tick last = c.OnTick();  // sixth tick, about six seconds after opening
    EXPECT_TRUE(last.close);
    EXPECT_EQ(last.shown, 0);
    EXPECT_EQ(InfoCountdownText(true, last.shown), u"确定 (0s)");
    // A restart (the next notice) counts from five again.
    c.Start();
    EXPECT_FALSE(c.OnTick().close);
}

TEST(InfoBox, TextsAndSkinsFollowLanguageAndMode) {
    EXPECT_EQ(InfoCaption(true), u"提示");
    EXPECT_EQ(InfoCaption(false), u"Tips");
    EXPECT_EQ(InfoOkText(true), u"确定");
    EXPECT_EQ(InfoCancelText(false), u"Cancel");
    EXPECT_EQ(InfoCountdownText(false, 12), u"OK (12s)");
    EXPECT_EQ(InfoCountdownText(false, -1), u"OK (-1s)");
    EXPECT_EQ(InfoSkinFor(true).normal, 1006);
    EXPECT_EQ(InfoSkinFor(true).pressed, 1004);
    EXPECT_EQ(InfoSkinFor(false).hover, 1009);
    EXPECT_EQ(InfoCornerPosition(1280, 1000, 330, 170), (Point{940, 830}));
    // A full-screen height reported taller than the work area does not push the box off screen.
    const Rect work{0, 0, 1280, 1024};
    EXPECT_EQ(InfoCornerPosition(1280, 1034, 330, 170, &work), (Point{940, 854}));
    EXPECT_EQ(InfoCornerPosition(1280, 980, 330, 170, &work), (Point{940, 810}));
}

} // namespace
} // namespace n640
