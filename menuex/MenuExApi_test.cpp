#include "menuex/MenuExApi.h"

#include <gtest/gtest.h>

#include <string>

namespace n640 {
namespace {

TEST(MenuExApi, ItemRecordKeepsAtMost39UnitsAndATerminator) {
    const MenuExItem shortItem = MakeMenuExItem(7, u"FPS");
    EXPECT_EQ(shortItem.state, 255u);
    EXPECT_EQ(shortItem.id, 7u);
    EXPECT_EQ(std::u16string(shortItem.text), u"FPS");

    const std::u16string longText(50, u'x');
    const MenuExItem longItem = MakeMenuExItem(21, longText);
    EXPECT_EQ(std::u16string(longItem.text), longText.substr(0, 39));
    EXPECT_EQ(longItem.text[39], u'\0');
}

TEST(MenuExApi, PopupItemUnderAPoint) {
    const MenuExLayout l{150, 24, 21};
    EXPECT_EQ(l.Height(), 2 + 24 * 21);
    EXPECT_EQ(l.ItemAt(10, 1), 0);
    EXPECT_EQ(l.ItemAt(10, 24), 0);
    EXPECT_EQ(l.ItemAt(10, 25), 1);
    EXPECT_EQ(l.ItemAt(10, 24 * 21), 20);
    EXPECT_EQ(l.ItemAt(10, 24 * 21 + 1), -1);  // the bottom frame
    EXPECT_EQ(l.ItemAt(0, 30), -1);            // the left frame
    EXPECT_EQ(l.ItemAt(149, 30), -1);
    EXPECT_EQ(l.ItemAt(10, 0), -1);
}

} // namespace
} // namespace n640
