#include "ui/controls/ProgressModel.h"

#include <gtest/gtest.h>

namespace n640 {
namespace {

TEST(ProgressBar, PositionsOutsideTheRangeFallToTheMinimum) {
    CProgressModel bar;
    bar.SetRange(0, 100);
    struct Case {
        long long wParam;
        int pos;
        int filled;  // of a 260-pixel bar
        bool close;
    };
    const Case cases[] = {
        {0, 0, 0, false},   {7, 7, 18, false},   {60, 60, 156, false},
        {100, 100, 260, true}, {101, 0, 0, false}, {-5, 0, 0, false},
        {0x100000064LL, 0, 0, false},  // a wide value is not cut down to 100
    };
    for (const Case& c : cases) {
        const ProgressStep step = OnProgressMessage(bar, c.wParam);
        EXPECT_EQ(step.pos, c.pos) << c.wParam;
        EXPECT_EQ(bar.FilledWidth(260), c.filled) << c.wParam;
        EXPECT_EQ(step.closeAfterDelay, c.close) << c.wParam;
    }
}

TEST(ProgressBar, DragPositionIsClampedAndEmptyRangesDrawNothing) {
    CProgressModel bar;  // default range 0..10
    EXPECT_EQ(bar.PosAt(10, 20, 120), 0);   // left of the bar
    EXPECT_EQ(bar.PosAt(70, 20, 120), 5);
    EXPECT_EQ(bar.PosAt(500, 20, 120), 10);
    bar.SetRange(3, 3);
    bar.SetPos(3);
    EXPECT_EQ(bar.FilledWidth(100), 0);
}

TEST(KeyFilter, DropsDialogKeysAndHidesOnAltF4WhereAsked) {
    constexpr unsigned kDown = 0x100, kUp = 0x101, kSysDown = 0x104;
    EXPECT_EQ(FilterKey(kDown, 0x0D, true), KeyAction::Drop);
    EXPECT_EQ(FilterKey(kUp, 0x1B, false), KeyAction::Drop);
    EXPECT_EQ(FilterKey(kDown, 0x20, false), KeyAction::Drop);
    EXPECT_EQ(FilterKey(kDown, 'A', true), KeyAction::Pass);
    EXPECT_EQ(FilterKey(kDown, 0x73, true), KeyAction::Pass);  // F4 without Alt
    EXPECT_EQ(FilterKey(kSysDown, 0x73, true), KeyAction::Hide);
    EXPECT_EQ(FilterKey(kSysDown, 0x73, false), KeyAction::Drop);
    EXPECT_EQ(FilterKey(kSysDown, 0x0D, true), KeyAction::Pass);  // Alt+Enter is left alone
}

} // namespace
} // namespace n640
