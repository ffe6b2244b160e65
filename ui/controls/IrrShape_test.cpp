#include "ui/controls/IrrShape.h"

#include <gtest/gtest.h>

namespace n640 {
namespace {

// Tab 1 of the main window: a quadrilateral with a slanted right edge.
const CIrrShape kTab1({{30, 85}, {189, 85}, {210, 121}, {30, 121}});

TEST(IrrShape, BoxCentreAndRelativeCorners) {
    EXPECT_EQ(kTab1.Box(), (Rect{30, 85, 210, 121}));
    EXPECT_EQ(kTab1.Centre(), (Point{120, 103}));
    const std::vector<Point> rel = kTab1.RelativeCorners();
    ASSERT_EQ(rel.size(), 4u);
    EXPECT_EQ(rel[0], (Point{0, 0}));
    EXPECT_EQ(rel[2], (Point{180, 36}));
}

TEST(IrrShape, HitTestFollowsTheOutlineNotTheBox) {
    struct Case {
        Point p;
        bool inside;
    };
    const Case cases[] = {
        {{30, 85}, true},     // top-left corner pixel
        {{100, 100}, true},
        {{188, 86}, true},    // just inside the slant near its top
        {{205, 90}, false},   // in the box, right of the slanted edge
        {{209, 120}, true},   // bottom of the slant reaches further right
        {{29, 100}, false},   // left of the box
        {{100, 121}, false},  // bottom edge is exclusive
        {{210, 120}, false},  // right edge is exclusive
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kTab1.Contains(c.p), c.inside) << c.p.x << "," << c.p.y;
    }
    EXPECT_EQ(kTab1.ContainsRelative({175, 5}), kTab1.Contains({205, 90}));
}

TEST(IrrShape, DegenerateOutlinesContainNothing) {
    EXPECT_FALSE(CIrrShape().Contains({0, 0}));
    EXPECT_FALSE(CIrrShape({{0, 0}, {10, 10}}).Contains({5, 5}));
}

} // namespace
} // namespace n640
