#include "ui/pages/MainSetModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "functions/FunctionModel.h"
#include "i18n/UiLanguage.h"

namespace n640 {
namespace {

std::vector<int> Levels(const ProfileImage& image) {
    std::vector<int> out;
    for (int v : image.settings.dpiLevels) out.push_back(v);
    return out;
}

ProfileImage WithDefaultTypes() {
    ProfileImage image = ZeroProfileImage();
    for (int i = 0; i < kInputCount; ++i) image.buttons[i].type = kDefaultTypes[static_cast<size_t>(i)];
    return image;
}

TEST(MainSetModel, DpiClicksKeepOneToSevenLevelsInTableOrder) {
    ProfileImage image = ZeroProfileImage();
    ASSERT_TRUE(SetDpiLevels(image, std::vector<int>{7000}));
    EXPECT_TRUE(ClickDpi(image, 0));                      // 500 after 7000 in click order
    EXPECT_EQ(Levels(image), (std::vector<int>{500, 7000, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(ClickDpi(image, 13));
    EXPECT_FALSE(ClickDpi(image, 0));                     // the only level stays selected
    EXPECT_EQ(Levels(image), (std::vector<int>{500, 0, 0, 0, 0, 0, 0}));

    ASSERT_TRUE(SetDpiLevels(image, std::vector<int>{750, 1250, 1500, 2000, 2500, 3500, 4000}));
    EXPECT_FALSE(ClickDpi(image, 0));                     // an eighth value does nothing
    EXPECT_FALSE(IsDpiSelected(image, 0));
    EXPECT_TRUE(ClickDpi(image, 1));                      // a selected one is deselected
    EXPECT_EQ(Levels(image), (std::vector<int>{1250, 1500, 2000, 2500, 3500, 4000, 0}));
}

TEST(MainSetModel, DpiRebuildClearsTheSevenIntsAfterTheLevels) {
    ProfileImage image = ZeroProfileImage();
    std::memset(image.settings.reserved0, 0xAB, sizeof image.settings.reserved0);
    image.settings.dpiLevels[0] = 1000;
    ClickDpi(image, 3);
    for (size_t i = 0; i < 28; ++i) EXPECT_EQ(image.settings.reserved0[i], 0) << i;
    EXPECT_EQ(image.settings.reserved0[28], 0xAB);
}

TEST(MainSetModel, DpiListsOutsideTheRulesAreRefused) {
    ProfileImage image = ZeroProfileImage();
    ASSERT_TRUE(SetDpiLevels(image, std::vector<int>{2000, 500}));
    const std::vector<std::vector<int>> bad = {{}, {501}, {500, 500}, {500, 750, 1000, 1250, 1500, 2000, 2500, 3000}};
    for (const auto& list : bad) EXPECT_FALSE(SetDpiLevels(image, list));
    EXPECT_EQ(Levels(image), (std::vector<int>{500, 2000, 0, 0, 0, 0, 0}));
}

TEST(MainSetModel, ReportRatesMapToIntervals) {
    ProfileImage image = ZeroProfileImage();
    const std::pair<int, int> rates[] = {{125, 8}, {250, 4}, {500, 2}, {1000, 1}};
    for (auto [rate, interval] : rates) {
        ASSERT_TRUE(SetReportRate(image, rate));
        EXPECT_EQ(image.settings.reportInterval, interval);
        EXPECT_EQ(ReportRateOf(image), rate);
    }
    EXPECT_FALSE(SetReportRate(image, 300));
    EXPECT_EQ(image.settings.reportInterval, 1);
}

TEST(MainSetModel, ScrollLinesEntryCheck) {
    const std::pair<std::u16string, int> cases[] = {
        {u"007", 7}, {u"45", 30}, {u"", 1}, {u"000", 1}, {u"12a", 12}, {u"30", 30}, {u"99999999999", 30},
    };
    for (const auto& [text, number] : cases) EXPECT_EQ(CheckScrollLines(text), number);
}

TEST(MainSetModel, DefaultLabelsFollowTheInterfaceLanguage) {
    ButtonRecord b{};
    SetLabel(b, u"菜单");
    EXPECT_TRUE(TranslateDefaultLabel(b, false));
    EXPECT_EQ(GetLabel(b), u"Menu");
    EXPECT_FALSE(TranslateDefaultLabel(b, false));
    EXPECT_TRUE(TranslateDefaultLabel(b, true));
    EXPECT_EQ(GetLabel(b), u"菜单");
    SetLabel(b, u"Ctrl + C");
    EXPECT_FALSE(TranslateDefaultLabel(b, true));
}

TEST(MainSetModel, LeftClickAndSniperRulesRefuseWithoutChanges) {
    ProfileImage image = WithDefaultTypes();
    MacroAssignments assignments{};
    const ProfileImage before = image;

    EXPECT_EQ(WriteBackChoice(image, assignments, {0, kTypeMenu, ChoiceKind::Function, 0, {}}, {}, false),
              WriteBackOutcome::LeftClickRequired);
    EXPECT_EQ(WriteBackChoice(image, assignments, {6, kTypeSnipe, ChoiceKind::Function, 0, {}}, {}, false),
              WriteBackOutcome::NoSniperOnWheel);
    EXPECT_EQ(std::memcmp(&image, &before, sizeof image), 0);
    EXPECT_EQ(WriteBackMessage(WriteBackOutcome::NoSniperOnWheel, false), u"This key can not use the sniper function!");

    EXPECT_EQ(WriteBackChoice(image, assignments, {0, kTypeClick, ChoiceKind::Function, 0, {}}, {}, false),
              WriteBackOutcome::Written);
    EXPECT_EQ(WriteBackChoice(image, assignments, {4, kTypeSnipe, ChoiceKind::Function, 0, {}}, {}, false),
              WriteBackOutcome::Written);
    EXPECT_EQ(GetLabel(image.buttons[4]), u"SNIPE");
    // A second left click makes the first one free to change.
    EXPECT_EQ(WriteBackChoice(image, assignments, {2, kTypeClick, ChoiceKind::Function, 0, {}}, {}, false),
              WriteBackOutcome::Written);
    EXPECT_EQ(WriteBackChoice(image, assignments, {0, kTypeMenu, ChoiceKind::Function, 0, {}}, {}, false),
              WriteBackOutcome::Written);
    EXPECT_EQ(WriteBackChoice(image, assignments, {1, 0, ChoiceKind::Function, 0, {}}, {}, false),
              WriteBackOutcome::NothingChosen);
}

TEST(MainSetModel, WriteBackByKind) {
    ProfileImage image = WithDefaultTypes();
    MacroAssignments assignments{};
    std::vector<MacroRecord> library(3);
    std::memset(library.data(), 0, library.size() * sizeof(MacroRecord));
    library[1].id = 0x15000042;
    std::u16string name = u"Reload";
    std::copy(name.begin(), name.end(), library[1].name);

    ASSERT_EQ(WriteBackChoice(image, assignments, {3, 0x00060300, ChoiceKind::Combination, 0, {}}, library, false),
              WriteBackOutcome::Written);
    EXPECT_EQ(image.buttons[3].type, kTypeCombination);
    EXPECT_EQ(image.buttons[3].comboCode, 0x00060300u);
    EXPECT_EQ(GetLabel(image.buttons[3]), u"Shift + Ctrl + C");

    ASSERT_EQ(WriteBackChoice(image, assignments, {2, 0x15000042, ChoiceKind::Macro, 0, {}}, library, false),
              WriteBackOutcome::Written);
    EXPECT_EQ(assignments[2], 0x15000042u);
    EXPECT_EQ(image.buttons[2].macroId, 0x15000042u);
    EXPECT_EQ(GetLabel(image.buttons[2]), u"Reload");

    // Leaving the macro clears the assignment but keeps macroId.
    ASSERT_EQ(WriteBackChoice(image, assignments, {2, kTypeVolumeUp, ChoiceKind::Function, 0, {}}, library, false),
              WriteBackOutcome::Written);
    EXPECT_EQ(assignments[2], 0u);
    EXPECT_EQ(image.buttons[2].macroId, 0x15000042u);
    EXPECT_EQ(GetLabel(image.buttons[2]), u"Volume up");

    const std::u16string longPath(300, u'p');
    ASSERT_EQ(
        WriteBackChoice(image, assignments, {4, SoftwareCode(1, 4), ChoiceKind::Software, 1, longPath}, library, false),
        WriteBackOutcome::Written);
    EXPECT_EQ(image.buttons[4].softKind, kSoftProgram);
    EXPECT_EQ(image.buttons[4].softCode, 0x00D40006u);
    EXPECT_EQ(GetSoftPath(image.buttons[4]), longPath.substr(0, 259));
    EXPECT_EQ(GetLabel(image.buttons[4]), longPath.substr(0, 259));

    ASSERT_EQ(WriteBackChoice(image, assignments, {5, 7, ChoiceKind::Disable, 0, {}}, library, false),
              WriteBackOutcome::Written);
    EXPECT_EQ(image.buttons[5].type, kTypeDisable);
    EXPECT_EQ(GetLabel(image.buttons[5]), u"Disable key");

    // Default setting of input 6: type 22, labelled in the interface language.
    ASSERT_EQ(WriteBackChoice(image, assignments, {6, 22, ChoiceKind::Function, 0, {}}, library, false),
              WriteBackOutcome::Written);
    EXPECT_EQ(GetLabel(image.buttons[6]), u"Scroll down");
}

// The language comes with the call, whatever the process-wide flag says.
TEST(MainSetModel, LabelsAndMessagesInTheGivenLanguage) {
    const bool saved = UiChinese();
    SetUiChinese(false);
    ProfileImage image = WithDefaultTypes();
    MacroAssignments assignments{};
    ASSERT_EQ(WriteBackChoice(image, assignments, {6, 22, ChoiceKind::Function, 0, {}}, {}, true),
              WriteBackOutcome::Written);
    EXPECT_EQ(GetLabel(image.buttons[6]), u"滚轮后滚");
    ASSERT_EQ(WriteBackChoice(image, assignments, {5, 7, ChoiceKind::Disable, 0, {}}, {}, true),
              WriteBackOutcome::Written);
    EXPECT_EQ(GetLabel(image.buttons[5]), u"禁用按键");
    EXPECT_EQ(WriteBackMessage(WriteBackOutcome::NoSniperOnWheel, true), u"此按键不可使用狙击功能!");
    SetUiChinese(true);
    EXPECT_EQ(WriteBackMessage(WriteBackOutcome::LeftClickRequired, false),
              u"At least one button must be configured as 'Left click'!");
    SetUiChinese(saved);
}

} // namespace
} // namespace n640
