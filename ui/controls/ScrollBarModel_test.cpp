#include "ui/controls/ScrollBarModel.h"

#include <gtest/gtest.h>

namespace n640 {
namespace {

constexpr int kCell = 18;

// A list of 40 entries showing 10: the native bar's range is 0..39 with a page of 10.
const ScrollState kForty{0, 39, 10, 0, -1};

TEST(ScrollBarModel, GeometryOfAFortyEntryList) {
    const ScrollGeometry g = ComputeScrollGeometry(200, kCell, kForty);
    EXPECT_EQ(g.arrow, 18);
    EXPECT_EQ(g.track, 164);
    EXPECT_EQ(g.thumb, 41);  // 10 * 164 / 40
    EXPECT_EQ(g.thumbStart, 18);
    struct Hit {
        int at, part;
    } hits[] = {{-1, kScrollNone}, {0, kScrollLineUp}, {17, kScrollLineUp}, {18, kScrollThumb},
                {58, kScrollThumb}, {59, kScrollPageDown}, {181, kScrollPageDown}, {182, kScrollLineDown},
                {199, kScrollLineDown}, {200, kScrollNone}};
    for (const Hit& h : hits) EXPECT_EQ(g.HitTest(h.at), h.part) << h.at;

    ScrollState end = kForty;
    end.pos = 30;  // the last position: 30 * (164 - 41) / 30
    const ScrollGeometry e = ComputeScrollGeometry(200, kCell, end);
    EXPECT_EQ(e.thumbStart, 18 + 123);
    EXPECT_EQ(e.HitTest(100), kScrollPageUp);
    // While dragging the track position places the thumb.
    end.trackPos = 15;
    EXPECT_EQ(ComputeScrollGeometry(200, kCell, end).thumbStart, 18 + 61);
}

TEST(ScrollBarModel, ThumbSizeRules) {
    struct Case {
        int length;
        ScrollState s;
        int thumb;
    } cases[] = {
        {200, {0, 9, 10, 0, -1}, 0},     // all entries fit: no thumb
        {200, {0, 5, 10, 0, -1}, 0},     // fewer entries than a page
        {200, {0, 999, 10, 0, -1}, 6},   // a long list: at least 6
        {41, {0, 39, 10, 0, -1}, 0},     // track of 5 pixels: none
        {42, {0, 39, 10, 0, -1}, 6},     // track of 6 pixels: the minimum fits
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ComputeScrollGeometry(c.length, kCell, c.s).thumb, c.thumb) << c.length << " " << c.s.max;
    }
    // Without a thumb the two page areas split the track.
    const ScrollGeometry fit = ComputeScrollGeometry(200, kCell, {0, 9, 10, 0, -1});
    EXPECT_EQ(fit.thumbStart, 18 + 82);
    EXPECT_EQ(fit.HitTest(99), kScrollPageUp);
    EXPECT_EQ(fit.HitTest(100), kScrollPageDown);
}

TEST(ScrollBarModel, VeryShortBarIsSplitBetweenItsArrows) {
    const ScrollGeometry g = ComputeScrollGeometry(30, kCell, kForty);
    EXPECT_EQ(g.arrow, 15);
    EXPECT_EQ(g.track, 0);
    EXPECT_EQ(g.thumb, 0);
    EXPECT_EQ(g.HitTest(14), kScrollLineUp);
    EXPECT_EQ(g.HitTest(15), kScrollLineDown);
    // Exactly two cells: full arrows, no track.
    const ScrollGeometry two = ComputeScrollGeometry(36, kCell, kForty);
    EXPECT_EQ(two.arrow, 18);
    EXPECT_EQ(two.HitTest(17), kScrollLineUp);
    EXPECT_EQ(two.HitTest(18), kScrollLineDown);
    // An odd length leaves a middle pixel that belongs to neither arrow nor track.
    EXPECT_EQ(ComputeScrollGeometry(31, kCell, kForty).HitTest(15), kScrollNone);
}

TEST(ScrollBarModel, ThumbDragScalesAndClamps) {
    // 200 long, thumb 41: 123 pixels of travel for 31 positions.
    EXPECT_EQ(ScrollDragPosition(kForty, 0, 0, 200, kCell, 41), 0);
    EXPECT_EQ(ScrollDragPosition(kForty, 0, 62, 200, kCell, 41), 15);  // 62 * 31 / 123
    EXPECT_EQ(ScrollDragPosition(kForty, 10, -500, 200, kCell, 41), 0);
    EXPECT_EQ(ScrollDragPosition(kForty, 10, 500, 200, kCell, 41), 30);  // max - page + 1
    // No travel left: the position stays.
    EXPECT_EQ(ScrollDragPosition(kForty, 7, 50, 36, kCell, 0), 7);
}

TEST(ScrollBarModel, RepeatStopsAtTheEndsAndWhenTheThumbReachesThePointer) {
    const ScrollGeometry g = ComputeScrollGeometry(200, kCell, kForty);
    EXPECT_EQ(ScrollRepeatStep(kScrollLineDown, kForty, g, 190), RepeatStep::Send);
    EXPECT_EQ(ScrollRepeatStep(kScrollLineDown, kForty, g, 100), RepeatStep::Pause);  // pointer moved off
    EXPECT_EQ(ScrollRepeatStep(kScrollLineUp, kForty, g, 5), RepeatStep::Stop);      // at min

    ScrollState last = kForty;
    last.pos = 30;  // the list cannot scroll further
    const ScrollGeometry gl = ComputeScrollGeometry(200, kCell, last);
    EXPECT_EQ(ScrollRepeatStep(kScrollLineDown, last, gl, 190), RepeatStep::Stop);
    EXPECT_EQ(ScrollRepeatStep(kScrollLineUp, last, gl, 5), RepeatStep::Send);

    // Page down with the pointer at 150: goes on while the thumb ends above it.
    EXPECT_EQ(ScrollRepeatStep(kScrollPageDown, kForty, g, 150), RepeatStep::Send);
    ScrollState mid = kForty;
    mid.pos = 25;  // thumb [18 + 102, 18 + 143): covers 150
    EXPECT_EQ(ScrollRepeatStep(kScrollPageDown, mid, ComputeScrollGeometry(200, kCell, mid), 150),
              RepeatStep::Stop);
    EXPECT_EQ(ScrollRepeatStep(kScrollPageUp, mid, ComputeScrollGeometry(200, kCell, mid), 50),
              RepeatStep::Send);
    EXPECT_EQ(ScrollRepeatStep(kScrollPageUp, last, gl, 150), RepeatStep::Stop);
}

} // namespace
} // namespace n640
