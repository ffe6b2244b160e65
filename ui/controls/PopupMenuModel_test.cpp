#include "ui/controls/PopupMenuModel.h"

#include <gtest/gtest.h>

#include "i18n/LanguageTable.h"

namespace n640 {
namespace {

CPopupMenuModel LanguageMenu() {
    CPopupMenuModel m;
    for (const LanguageInfo& l : kLanguages) m.AddItem(l.index, std::u16string(l.menuName), 19, 11);
    return m;
}

TEST(PopupMenuModel, TwelveLanguagesLayOutAs116By273) {
    const CPopupMenuModel m = LanguageMenu();
    ASSERT_EQ(m.Items().size(), 12u);
    EXPECT_EQ(m.Width(), 116);
    EXPECT_EQ(m.Height(), 273);
    EXPECT_EQ(m.Items()[0].rect, (Rect{6, 6, 110, 28}));
    EXPECT_EQ(m.Items()[2].rect, (Rect{6, 50, 110, 72}));
    EXPECT_EQ(m.Items()[11].rect, (Rect{6, 248, 110, 270}));
    EXPECT_EQ(CPopupMenuModel::TextRect(m.Items()[0]), (Rect{36, 6, 118, 28}));
    EXPECT_EQ(CPopupMenuModel::IconRect(m.Items()[0]), (Rect{9, 11, 28, 22}));  // centred in 25 x 22
}

TEST(PopupMenuModel, SeparatorsTakeFourPixels) {
    CPopupMenuModel m;
    m.AddItem(1, u"a", 0, 0);
    m.AddSeparator();
    m.AddItem(2, u"b", 0, 0);
    EXPECT_EQ(m.Items()[1].rect, (Rect{32, 30, 110, 31}));
    EXPECT_EQ(m.Items()[2].rect, (Rect{6, 32, 110, 54}));
    EXPECT_EQ(m.Height(), 57);
    EXPECT_EQ(m.ItemAt({50, 30}), -1);  // a separator is never hovered
    EXPECT_EQ(m.ItemAt({50, 31}), -1);
}

TEST(PopupMenuModel, ReleaseChoosesOnlyTheHoveredItem) {
    CPopupMenuModel m = LanguageMenu();
    bool changed = false;
    // No hover yet (the pointer has not rested): a release over "French" chooses nothing.
    EXPECT_EQ(m.Release({50, 60}, changed), std::nullopt);
    EXPECT_FALSE(changed);
    EXPECT_TRUE(m.Hover({50, 60}));   // "French", index 3
    EXPECT_FALSE(m.Hover({60, 61}));  // same item: no repaint
    EXPECT_EQ(m.Hovered(), 2);
    EXPECT_EQ(m.Release({50, 60}, changed), 3u);
    // A release elsewhere clears the hover.
    EXPECT_EQ(m.Release({50, 100}, changed), std::nullopt);
    EXPECT_TRUE(changed);
    EXPECT_EQ(m.Hovered(), -1);
    EXPECT_FALSE(m.Hover({2, 60}));  // the left margin is no item
    EXPECT_EQ(m.Hovered(), -1);
}

} // namespace
} // namespace n640
