#include "ui/controls/PageTable.h"

#include <gtest/gtest.h>

namespace n640 {
namespace {

TEST(PageTable, ChineseLayoutOnlyWhereGiven) {
    const ControlRow both{.id = 1, .en = {10, 10, 50, 30}, .zh = {12, 10, 60, 30}};
    const ControlRow enOnly{.id = 2, .en = {10, 40, 50, 60}};
    EXPECT_EQ(LayoutRect(both, false), (Rect{10, 10, 50, 30}));
    EXPECT_EQ(LayoutRect(both, true), (Rect{12, 10, 60, 30}));
    EXPECT_EQ(LayoutRect(enOnly, true), (Rect{10, 40, 50, 60}));
}

TEST(PageTable, HintsUseTheRectangleGrownByOnePixel) {
    const std::vector<HintArea> areas{{{10, 10, 20, 20}, 12}, {{19, 10, 40, 20}, 13}, {{0, 0, 100, 100}, 0}};
    struct Case {
        Point p;
        std::vector<int> hints;
    } cases[] = {
        {{9, 9}, {12}},       // one pixel outside the top-left corner
        {{8, 15}, {}},        // two pixels outside
        {{20, 15}, {12, 13}}, // right edge (exclusive) grown by one, and inside the next
        {{40, 20}, {13}},     // bottom-right corner of the grown rectangle
        {{41, 15}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HintsAt(areas, c.p), c.hints) << c.p.x << "," << c.p.y;
    }
}

TEST(PageTable, DropsEnterEscapeAndSpaceOnly) {
    for (uint32_t key : {13u, 27u, 32u}) {
        EXPECT_TRUE(IsDroppedPageKey(0x0100, key));
        EXPECT_TRUE(IsDroppedPageKey(0x0101, key));
        EXPECT_FALSE(IsDroppedPageKey(0x0102, key));  // WM_CHAR passes
    }
    EXPECT_FALSE(IsDroppedPageKey(0x0100, 'A'));
    EXPECT_FALSE(IsDroppedPageKey(0x0104, 13));  // system key-down
}

} // namespace
} // namespace n640
