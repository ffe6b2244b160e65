#include "ui/controls/ListModel.h"

#include <gtest/gtest.h>

namespace n640 {
namespace {

TEST(ListModel, DataWordCarriesTheKindInTheTopByte) {
    EXPECT_EQ(ListDataWord(0, 0x12345678u), 0x12345678u);  // kind 0 keeps the whole value
    EXPECT_EQ(ListDataWord(3, 65), 0x03000041u);
    EXPECT_EQ(ListDataWord(2, 0x12345678u), 0x02345678u);  // value mod 2^24
    EXPECT_EQ(ListDataWord(255, 0xFFFFFFu), 0xFFFFFFFFu);
    EXPECT_EQ(ListKindOf(ListDataWord(4, 1000)), 4u);
}

TEST(ListModel, PicturesAndTextStart) {
    EXPECT_EQ(ListKindPicture(2, false), u"up_normal.png");
    EXPECT_EQ(ListKindPicture(3, true), u"down_select.png");
    EXPECT_EQ(ListKindPicture(4, false), u"delay_normal.png");
    EXPECT_TRUE(ListKindPicture(1, false).empty());
    EXPECT_TRUE(ListKindPicture(5, true).empty());
    // Kind 1 shows no picture but still leaves room for one.
    EXPECT_EQ(ListTextLeft(ListDataWord(1, 7), true, 16), 26);
    EXPECT_EQ(ListTextLeft(ListDataWord(3, 7), true, 16), 26);
    EXPECT_EQ(ListTextLeft(ListDataWord(3, 7), false, 16), 5);  // pictures switched off
    EXPECT_EQ(ListTextLeft(ListDataWord(0, 7), true, 16), 5);
}

TEST(ListModel, EveryAddSwitchesPictures) {
    EXPECT_TRUE(ListIconsOnAfterAdd(3));
    EXPECT_TRUE(ListIconsOnAfterAdd(1));
    EXPECT_FALSE(ListIconsOnAfterAdd(0));
}

} // namespace
} // namespace n640
