#include "ui/controls/SliderModel.h"

#include <gtest/gtest.h>

namespace n640 {
namespace {

// A 100-pixel track with a 10-pixel thumb: the thumb's left edge travels over [0, 90].
CSliderModel Track(int min, int max) {
    CSliderModel m;
    m.SetLimits(0, 100);
    m.SetThumbWidth(10);
    m.SetRange(min, max);
    m.SetPos(min);
    return m;
}

TEST(SliderModel, ValueToPositionAndOutOfRangeGivesTheMinimum) {
    CSliderModel m = Track(1, 10);
    EXPECT_EQ(m.PositionOf(1), 0);
    EXPECT_EQ(m.PositionOf(10), 90);
    EXPECT_EQ(m.PositionOf(4), 30);
    EXPECT_EQ(m.PositionOf(5), 40);  // 90 * 4 / 9
    m.SetPos(7);
    EXPECT_EQ(m.Value(), 7);
    m.SetPos(11);  // above the maximum: the minimum, not the maximum
    EXPECT_EQ(m.Value(), 1);
    EXPECT_EQ(m.ThumbLeft(), 0);
    m.SetPos(0);
    EXPECT_EQ(m.Value(), 1);
}

TEST(SliderModel, OneValueRangeDoesNotDivideByZero) {
    CSliderModel m = Track(3, 3);
    m.SetPos(3);
    EXPECT_EQ(m.ThumbLeft(), 0);
    ASSERT_TRUE(m.Press(5));
    EXPECT_EQ(m.Drag(40), 3);
    EXPECT_EQ(m.Click(50, 0, 100), 3);
}

TEST(SliderModel, TrackClickTopStep) {
    struct Case {
        int max;
        int x;  // on a track spanning [0, 100)
        int value;
    } cases[] = {
        {10, 98, 10},  // r = 9.82: the top step, though the integer formula gives 9
        {10, 97, 9},   // r = 9.73
        {10, 50, 5},
        {10, 0, 1},
        {3, 94, 3},    // r = 2.88
        {3, 93, 2},    // r = 2.86
        {5, 94, 5},    // r = 4.76
        {5, 93, 4},    // r = 4.72
        {7, 99, 6},    // no top-step rule for other maxima
    };
    for (const Case& c : cases) {
        CSliderModel m = Track(1, c.max);
        EXPECT_EQ(m.Click(c.x, 0, 100), c.value) << "max " << c.max << " x " << c.x;
        EXPECT_EQ(m.Value(), c.value);
    }
    // The rule belongs to ranges that start at 1.
    CSliderModel zero = Track(0, 10);
    EXPECT_EQ(zero.Click(98, 0, 100), 9);
    // Clicks are in page coordinates, relative to the track's left edge.
    CSliderModel offset = Track(1, 10);
    EXPECT_EQ(offset.Click(298, 200, 300), 10);
}

TEST(SliderModel, DragMovesByThePointerOffsetAndClamps) {
    CSliderModel m = Track(1, 10);
    ASSERT_TRUE(m.Press(5));
    EXPECT_EQ(m.Drag(35), 4);  // left 30 -> 1 + 9 * 30 / 90
    EXPECT_EQ(m.ThumbLeft(), 30);
    EXPECT_EQ(m.Drag(500), 10);  // clamped to the end of travel
    EXPECT_EQ(m.ThumbLeft(), 90);
    EXPECT_EQ(m.Drag(-500), 1);
    m.Release();
    EXPECT_EQ(m.Drag(50), std::nullopt);  // not pressed: nothing to post
}

TEST(SliderModel, BoundedDragStaysInTheAllowedRange) {
    CSliderModel m = Track(1, 10);
    m.SetAllowed(3, 6);
    m.SetBounded(true);
    m.SetPos(3);
    ASSERT_TRUE(m.Press(5));
    EXPECT_EQ(m.Drag(0), std::nullopt);  // at the lower bound moving left: refused
    EXPECT_EQ(m.Drag(500), 6);           // past the upper bound: the nearer bound
    EXPECT_EQ(m.Drag(50), std::nullopt); // at the upper bound moving right: refused
    EXPECT_EQ(m.Drag(-30), 3);           // back past the lower bound: the bound

    CSliderModel unbounded = Track(1, 10);
    unbounded.SetAllowed(3, 6);
    ASSERT_TRUE(unbounded.Press(5));
    EXPECT_EQ(unbounded.Drag(0), 3);  // not refused, but still set to the bound
}

TEST(SliderModel, DisabledNeitherMovesNorPosts) {
    CSliderModel m = Track(1, 10);
    m.SetPos(4);
    m.SetEnabled(false);
    EXPECT_FALSE(m.Press(5));
    EXPECT_EQ(m.Drag(80), std::nullopt);
    EXPECT_EQ(m.Click(90, 0, 100), std::nullopt);
    EXPECT_EQ(m.Value(), 4);
    EXPECT_EQ(m.ThumbLeft(), 30);
}

TEST(SliderModel, ShapeLeavesOutThePixelsOfTheTopLeftColour) {
    const uint32_t k = 0xFF00FF, o = 0x123456;
    const uint32_t pixels[] = {
        k, o, o, k,
        o, o, o, o,
        k, k, k, k,
        o, k, k, o,
    };
    const std::vector<PixelRun> want{{0, 1, 3}, {1, 0, 4}, {3, 0, 1}, {3, 3, 4}};
    EXPECT_EQ(ShapeRuns(pixels, 4, 4), want);
    EXPECT_TRUE(ShapeRuns(pixels, 0, 4).empty());
}

} // namespace
} // namespace n640
