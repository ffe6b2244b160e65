#include "functions/KeyNames.h"

#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "functions/KeyboardLayout.h"
#include "i18n/UiLanguage.h"

namespace n640 {
namespace {

// A layout that answers "#" for every key and remembers which keys it was asked about.
class FakeLayout final : public IKeyboardLayout {
public:
    std::u16string CharacterOf(uint32_t vk) const override {
        asked.push_back(vk);
        return u"#";
    }
    mutable std::vector<uint32_t> asked;
};

class LanguageGuard {
public:
    LanguageGuard() : saved_(UiChinese()) {}
    ~LanguageGuard() { SetUiChinese(saved_); }

private:
    bool saved_;
};

TEST(FunctionName, NamesInBothLanguages) {
    const LanguageGuard guard;
    struct Case {
        int type;
        std::u16string_view chinese;
        std::u16string_view english;
    };
    const Case cases[] = {
        {1, u"单击", u"Click"},
        {22, u"滚轮后滚", u"Scroll down"},
        {32, u"播放/暂停", u"Play/Pause"},
        {37, u"音量+", u"Volume up"},
        {123, u"进入传统界面", u"Enter classic desktop"},
        {126, u"放大", u"sreen zoom in"},
        {143, u"火力", u"FIRE"},
    };
    for (const Case& c : cases) {
        SetUiChinese(true);
        EXPECT_EQ(FunctionName(c.type), c.chinese) << c.type;
        SetUiChinese(false);
        EXPECT_EQ(FunctionName(c.type), c.english) << c.type;
    }
}

TEST(FunctionName, TypesWithoutOwnNameAreEmptyInBothLanguages) {
    const LanguageGuard guard;
    for (bool chinese : {false, true}) {
        SetUiChinese(chinese);
        for (int type : {5, 6, 19, 0, 3, 36, 122, 144, -1}) EXPECT_EQ(FunctionName(type), u"") << type;
    }
}

TEST(KeyName, TableRowsComeBeforeTheLayout) {
    const FakeLayout layout;
    struct Case {
        uint32_t vk;
        std::u16string_view name;
    };
    const Case cases[] = {
        {0x00, u""}, {0xFF, u""}, {0x08, u"Backspace"}, {0x0C, u"Clr"}, {0x0D, u"Enter"},
        {0x2B, u"Enter"}, {0x14, u"CapsLock"}, {0x1B, u"Esc"}, {0x21, u"PageUp"}, {0x28, u"Down"},
        {0x2C, u"PrtSc SysRq"}, {0x2F, u"Help"}, {0x5D, u"App"}, {0x60, u"(0)"}, {0x69, u"(9)"},
        {0x6A, u"(*)"}, {0x6C, u"\\"}, {0x6F, u"(/)"}, {0x70, u"F1"}, {0x7B, u"F12"},
        {0x91, u"Scroll Lock"}, {0xA0, u"LShift"}, {0xA5, u"RAlt"},
    };
    for (const Case& c : cases) EXPECT_EQ(KeyName(c.vk, layout), c.name) << std::hex << c.vk;
    EXPECT_TRUE(layout.asked.empty());
}

TEST(KeyName, OtherKeysAskTheLayout) {
    const FakeLayout layout;
    EXPECT_EQ(KeyName(0x41, layout), u"#");
    EXPECT_EQ(KeyName(0xBA, layout), u"#");
    EXPECT_EQ(KeyName(0x0A, layout), u"#");
    EXPECT_EQ(KeyName(0x5A, layout), u"#");
    EXPECT_EQ(layout.asked, (std::vector<uint32_t>{0x41, 0xBA, 0x0A, 0x5A}));
}

TEST(KeyName, CodesAboveAByteAreNoKeys) {
    const FakeLayout layout;
    EXPECT_EQ(KeyName(0x141, layout), u"");
    EXPECT_EQ(KeyName(0x10D, layout), u"");
    EXPECT_TRUE(layout.asked.empty());
}

TEST(KeyName, PlatformLayoutNamesLettersAndDigits) {
    EXPECT_EQ(KeyName(0x41), u"A");
    EXPECT_EQ(KeyName(0x31), u"1");
    EXPECT_EQ(KeyName(0x6C), u"\\");
}

TEST(UsageVkTable, UsagesAreUniqueAndEveryRowRoundTrips) {
    std::set<uint8_t> usages;
    for (const UsageVkPair& row : kUsageVkTable) {
        EXPECT_TRUE(usages.insert(row.usage).second) << "usage 0x" << std::hex << int(row.usage) << " twice";
        EXPECT_NE(row.usage, 0);
        EXPECT_NE(row.vk, 0);
        EXPECT_EQ(UsageToVk(row.usage), row.vk);
        // Keypad Enter shares its virtual key with the main Enter, which comes first.
        if (row.usage != 0x58) {
            EXPECT_EQ(VkToUsage(row.vk), row.usage) << std::hex << int(row.vk);
        }
    }
    EXPECT_EQ(usages.size(), 107u);
}

TEST(UsageVkTable, Conversions) {
    struct Case {
        uint8_t usage;
        uint8_t vk;
    };
    // One or two rows from each group of the table.
    const Case cases[] = {
        {0x29, 0x1B}, {0x3A, 0x70}, {0x45, 0x7B}, {0x04, 0x41}, {0x06, 0x43}, {0x1D, 0x5A},
        {0x1E, 0x31}, {0x27, 0x30}, {0x2B, 0x09}, {0x2C, 0x20}, {0x31, 0xDC}, {0x35, 0xC0},
        {0x2D, 0xBD}, {0x46, 0x2C}, {0x4E, 0x22}, {0x52, 0x26}, {0x4F, 0x27}, {0x59, 0x61},
        {0x62, 0x60}, {0x57, 0x6B}, {0x63, 0x6E}, {0xE3, 0x5B}, {0xE7, 0x5C}, {0x65, 0x5D},
        {0xF0, 0x01}, {0xF1, 0x02}, {0xF2, 0x04},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UsageToVk(c.usage), c.vk) << std::hex << int(c.usage);
        EXPECT_EQ(VkToUsage(c.vk), c.usage) << std::hex << int(c.vk);
    }
    EXPECT_EQ(VkToUsage(0x0D), 0x28);  // main Enter, never keypad Enter
    EXPECT_EQ(UsageToVk(0x58), 0x0D);
    EXPECT_EQ(UsageToVk(0x28), 0x0D);
    // Unknown codes give 0.
    EXPECT_EQ(UsageToVk(0x00), 0);
    EXPECT_EQ(UsageToVk(0x64), 0);
    EXPECT_EQ(UsageToVk(0xF3), 0);
    EXPECT_EQ(VkToUsage(0x00), 0);
    EXPECT_EQ(VkToUsage(0x03), 0);
    EXPECT_EQ(VkToUsage(0x6C), 0);
}

TEST(CombinationText, Texts) {
    struct Case {
        uint32_t code;
        std::u16string_view text;
    };
    const Case cases[] = {
        {0x00060100, u"Ctrl + C"},
        {0x00060300, u"Shift + Ctrl + C"},
        {0x00060F00, u"Shift + Ctrl + Alt + Win + C"},
        {0x003D0400, u"Alt + F4"},
        {0x000F0800, u"Win + L"},
        {0x00280C00, u"Alt + Win + Enter"},
        {0x00580000, u"Enter"},  // keypad Enter reads as Enter
        {0x00E10000, u"LShift"},  // a lone modifier stored as a key
        {0x00E00000, u"LCtrl"},
        {0x00E20000, u"LAlt"},
        {0x00E30000, u"LWin"},
        {0x00000000, u""},
        {0x00000100, u"Ctrl + "},  // the separator stays when there is no key
        {0x00640200, u"Shift + "},  // a usage the table does not know
        {0xFF060100, u"Ctrl + C"},  // the top byte plays no part
        {0x00060001, u"C"},         // nor does the low byte
        // Only the four low modifier bits are named; the others are ignored.
        {0x00061000, u"C"},
        {0x0006F000, u"C"},
        {0x00069100, u"Ctrl + C"},
    };
    for (const Case& c : cases) EXPECT_EQ(CombinationText(c.code), c.text) << std::hex << c.code;
}

TEST(MacroKeyName, Names) {
    struct Case {
        uint32_t key;
        std::u16string_view name;
    };
    const Case cases[] = {
        {0x41, u"A"}, {0x51, u"Q"}, {0x2C, u""}, {0x2A, u"Print"}, {0x01, u"Left Button"},
        {0x04, u"Middle Button"}, {0x03, u""}, {0x00, u""}, {0x6C, u"NUM Enter"}, {0xC0, u"~"},
        {0xDC, u"|"}, {0xBF, u"?"}, {0x14, u"Cap"}, {0x5B, u"L_Win"}, {0x1B, u"ESC"},
        {0x6E, u"NUM Del"}, {0x90, u"NUM Lock"}, {0x27, u"RIGHT"},
        {0x80000141, u"A"},  // only the low 8 bits of the event key count
    };
    for (const Case& c : cases) EXPECT_EQ(MacroKeyName(c.key), c.name) << std::hex << c.key;
}

TEST(MacroKeyName, EveryRowIsFoundUnderItsOwnCode) {
    // A code listed twice would shadow its later row.
    for (const MacroKeyRow& row : kMacroKeyTable) {
        EXPECT_FALSE(row.name.empty());
        EXPECT_EQ(MacroKeyName(row.vk), row.name) << std::hex << row.vk;
    }
    EXPECT_EQ(kMacroKeyTable.front().name, u"Q");
}

} // namespace
} // namespace n640
