#include "ui/pages/ChooserModel.h"

#include <gtest/gtest.h>

#include "functions/FunctionModel.h"

namespace n640 {
namespace {

// Stand-ins for the two windows the capture moves between.
WindowRef MainWindow() { return reinterpret_cast<WindowRef>(0x1000); }
WindowRef Popup() { return reinterpret_cast<WindowRef>(0x2000); }

constexpr uint32_t kUp = 0x80;  // low-level hook flag of a key release
constexpr uint32_t kVkC = 0x43;

struct Chooser {
    CHookState hooks;
    CChooserModel model;
    explicit Chooser(int input = kInputForward) : model(hooks, Popup(), input, u"Forward") {
        hooks.SetHome(MainWindow());
        hooks.SetForwarding(false, false);
        model.Open();
    }
    bool Capturing() const { return hooks.Target() == Popup() && hooks.ForwardKeys() && !hooks.ForwardMouse(); }
    bool Released() const { return hooks.Target() == MainWindow() && !hooks.ForwardKeys() && !hooks.ForwardMouse(); }
};

TEST(ChooserModel, OnlyTheVisibleKeyCombinationTabCaptures) {
    Chooser c;
    EXPECT_EQ(c.model.PressedTab(), ChooserTab::KeyCombination);
    EXPECT_TRUE(c.Capturing());
    for (ChooserTab other : {ChooserTab::Macro, ChooserTab::Basic, ChooserTab::Advanced}) {
        c.model.ShowTab(other);
        EXPECT_TRUE(c.Released()) << static_cast<int>(other);
        EXPECT_TRUE(c.model.PageVisible(other));
        EXPECT_FALSE(c.model.PageVisible(ChooserTab::KeyCombination));
        c.model.ShowTab(ChooserTab::KeyCombination);
        EXPECT_TRUE(c.Capturing());
    }
    // The disable box hides every page, and so gives the keys back; unchecking shows tab 1 again.
    c.model.ToggleDisable();
    EXPECT_EQ(c.model.PressedTab(), ChooserTab::None);
    EXPECT_FALSE(c.model.PageVisible(ChooserTab::KeyCombination));
    EXPECT_TRUE(c.Released());
    c.model.ToggleDisable();
    EXPECT_EQ(c.model.PressedTab(), ChooserTab::KeyCombination);
    EXPECT_TRUE(c.Capturing());
}

TEST(ChooserModel, EveryClosingButtonGivesTheCaptureBack) {
    using Close = ChooserEnd (CChooserModel::*)();
    for (Close close : {&CChooserModel::Close, &CChooserModel::DefaultSetting, &CChooserModel::Ok}) {
        Chooser c;
        ASSERT_TRUE(c.Capturing());
        (c.model.*close)();
        EXPECT_TRUE(c.Released());
    }
}

TEST(ChooserModel, ModifiersToggleOnPressesOnlyAndAnyOtherKeyIsCaptured) {
    Chooser c;
    c.model.OnCapturedKey(162, 0);      // left Ctrl down
    EXPECT_TRUE(c.model.Ctrl());
    c.model.OnCapturedKey(162, kUp);    // its release changes nothing
    EXPECT_TRUE(c.model.Ctrl());
    c.model.OnCapturedKey(17, 0);       // Ctrl again: unchecked
    EXPECT_FALSE(c.model.Ctrl());
    // Injected, extended and Alt-down presses count; other flag values do not.
    c.model.OnCapturedKey(160, 0x10);
    c.model.OnCapturedKey(165, 0x21);
    c.model.OnCapturedKey(91, 0x02);
    EXPECT_TRUE(c.model.Shift());
    EXPECT_TRUE(c.model.Alt());
    EXPECT_FALSE(c.model.Win());
    // Any other key, also when released, becomes the captured key.
    c.model.OnCapturedKey(kVkC, kUp);
    EXPECT_EQ(c.model.CapturedKey(), kVkC);
    // Keys reaching a hidden tab are ignored.
    c.model.ShowTab(ChooserTab::Basic);
    c.model.OnCapturedKey(0x44, 0);
    c.model.OnCapturedKey(17, 0);
    EXPECT_EQ(c.model.CapturedKey(), kVkC);
    EXPECT_FALSE(c.model.Ctrl());
}

TEST(ChooserModel, OkTakesTheVisiblePagesResult) {
    {
        Chooser c;
        c.model.OnCapturedKey(17, 0);
        c.model.OnCapturedKey(kVkC, 0);
        EXPECT_EQ(c.model.Ok(), ChooserEnd::Ok);
        EXPECT_EQ(c.model.Result().kind, ChoiceKind::Combination);
        EXPECT_EQ(c.model.Result().value, EncodeCombination(true, false, false, false, kVkC));
    }
    {   // Nothing usable entered: OK acts as Cancel.
        Chooser c;
        EXPECT_EQ(c.model.Ok(), ChooserEnd::Cancel);
    }
    {
        Chooser c;
        c.model.ShowTab(ChooserTab::Basic);
        EXPECT_EQ(c.model.Ok(), ChooserEnd::Cancel);
        c.model.SelectBasicRow(0);
        EXPECT_EQ(c.model.Ok(), ChooserEnd::Ok);
        EXPECT_EQ(c.model.Result().kind, ChoiceKind::Function);
        EXPECT_EQ(c.model.Result().value, static_cast<uint32_t>(kBasicList[0].type));
    }
    {
        Chooser c;
        c.model.ShowTab(ChooserTab::Macro);
        c.model.SelectCategoryRow(20);
        EXPECT_EQ(c.model.Ok(), ChooserEnd::Cancel);
        c.model.SelectMacro(0x15000001);
        EXPECT_EQ(c.model.Ok(), ChooserEnd::Ok);
        EXPECT_EQ(c.model.Result().kind, ChoiceKind::Macro);
        EXPECT_EQ(c.model.Result().value, 0x15000001u);
    }
    {   // Disabled wins over whatever a page holds.
        Chooser c;
        c.model.OnCapturedKey(kVkC, 0);
        c.model.ToggleDisable();
        EXPECT_EQ(c.model.Ok(), ChooserEnd::Ok);
        EXPECT_EQ(c.model.Result().kind, ChoiceKind::Disable);
        EXPECT_EQ(c.model.Result().value, 7u);
    }
}

TEST(ChooserModel, SoftwareRowNeedsAPath) {
    Chooser c(kInputMiddle);
    c.model.ShowTab(ChooserTab::Advanced);
    c.model.CheckAdvancedRow(1);
    EXPECT_EQ(c.model.Ok(), ChooserEnd::Cancel);

    const std::u16string longPath(300, u'x');
    c.model.SetAdvancedPath(3, u"C:\\Games");   // a browse checks its own row
    EXPECT_EQ(c.model.CheckedAdvancedRow(), 3);
    c.model.SetAdvancedPath(1, longPath);
    EXPECT_EQ(c.model.CheckedAdvancedRow(), 1);
    ASSERT_EQ(c.model.Ok(), ChooserEnd::Ok);
    EXPECT_EQ(c.model.Result().kind, ChoiceKind::Software);
    EXPECT_EQ(c.model.Result().value, SoftwareCode(1, kInputMiddle));
    EXPECT_EQ(c.model.Result().advChoice, 1);
    EXPECT_EQ(c.model.Result().advPath, longPath.substr(0, 259));
    // Checking another row keeps each row's path; the checked row decides.
    c.model.CheckAdvancedRow(3);
    ASSERT_EQ(c.model.Ok(), ChooserEnd::Ok);
    EXPECT_EQ(c.model.Result().advPath, u"C:\\Games");
    EXPECT_EQ(c.model.Result().value, SoftwareCode(3, kInputMiddle));
}

TEST(ChooserModel, DefaultSettingChoosesTheInputsDefaultType) {
    Chooser c(kInputWheelDown);
    c.model.ShowTab(ChooserTab::Basic);
    c.model.SelectBasicRow(3);
    EXPECT_EQ(c.model.DefaultSetting(), ChooserEnd::Ok);
    EXPECT_EQ(c.model.Result().value, 22u);
    EXPECT_EQ(c.model.Result().kind, ChoiceKind::Function);
}

TEST(ChooserModel, CategoryTexts) {
    EXPECT_EQ(ChooserCategoryText(13, true), kGameCategories[12].chineseMenu);
    EXPECT_EQ(ChooserCategoryText(12, true), kGameCategories[11].chineseButton);
    EXPECT_EQ(ChooserCategoryText(13, false), kGameCategories[12].englishButton);
    EXPECT_TRUE(ChooserCategoryText(0, false).empty());
    EXPECT_TRUE(ChooserCategoryText(22, true).empty());
}

TEST(ChooserModel, BrowseFiltersBecomeNulSeparated) {
    EXPECT_EQ(DialogFilter(kBrowseRows[1].filter), std::u16string(u"(*.exe)\0*.exe\0\0", 15));
    EXPECT_EQ(kBrowseRows[0].initialFolder, u"c:\\Windows\\Media");
}

} // namespace
} // namespace n640
