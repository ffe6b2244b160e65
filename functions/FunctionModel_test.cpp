#include "functions/FunctionModel.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "functions/KeyNames.h"
#include "i18n/UiLanguage.h"

namespace n640 {
namespace {

ButtonRecord RecordOf(int type, uint32_t comboCode = 0) {
    ButtonRecord record{};
    record.type = type;
    record.comboCode = comboCode;
    return record;
}

struct TypeCase {
    int type;
    uint32_t code;
};

// The device code of every type that has one of its own.
const TypeCase kFixedCodes[] = {
    {1, 0x00F00001}, {2, 0x00F10001}, {4, 0x00F20001}, {8, 0x00F40001}, {11, 0x00010004},
    {16, 0x00F30001}, {22, 0x00020004}, {32, 0x00CD0003}, {33, 0x00B70003}, {34, 0x00B60003},
    {35, 0x00B50003}, {37, 0x00E90003}, {38, 0x00EA0003}, {39, 0x00E20003}, {40, 0x01830003},
    {81, 0x003D0400}, {82, 0x000F0800}, {84, 0x00150800}, {85, 0x00070800}, {121, 0x00000007},
    {123, 0x00100800}, {124, 0x002B0400}, {125, 0x00140800}, {126, 0x00570800}, {127, 0x00560800},
    {142, 0x08040007}, {143, 0x0218F00A},
};

TEST(FunctionModel, FixedTypesGiveTheirCodeOnEveryInput) {
    for (const TypeCase& c : kFixedCodes) {
        EXPECT_TRUE(IsValidType(c.type)) << c.type;
        EXPECT_EQ(FixedDeviceCode(c.type), c.code) << c.type;
        for (int input = 0; input < kInputCount; ++input)
            EXPECT_EQ(DeviceCodeOf(input, RecordOf(c.type, 0x00060100)), c.code) << c.type << " on " << input;
    }
}

TEST(FunctionModel, SystemShortcutsAreTheirKeyCombinations) {
    struct Case {
        int type;
        bool alt;
        bool win;
        uint32_t vk;
    };
    const Case cases[] = {
        {81, true, false, 0x73},   // Alt + F4
        {82, false, true, 'L'}, {84, false, true, 'R'}, {85, false, true, 'D'},
        {123, false, true, 'M'},
        {124, true, false, 0x09},  // Alt + Tab
        {125, false, true, 'Q'},
        {126, false, true, 0x6B},  // Windows + keypad +
        {127, false, true, 0x6D},  // Windows + keypad -
    };
    for (const Case& c : cases)
        EXPECT_EQ(FixedDeviceCode(c.type), EncodeCombination(false, false, c.alt, c.win, c.vk)) << c.type;
}

TEST(FunctionModel, InvalidTypesHaveNoCode) {
    for (int type : {0, -1, 3, 1005, 7, 9, 12, 20, 21, 23, 31, 36, 41, 80, 83, 86, 120, 122, 128, 141, 144})
    {
        EXPECT_FALSE(IsValidType(type)) << type;
        EXPECT_EQ(FixedDeviceCode(type), 0u) << type;
        EXPECT_EQ(DeviceCodeOf(kInputForward, RecordOf(type, 0x00060100), 1, 3), 0u) << type;
    }
}

TEST(FunctionModel, RecordDependentTypes) {
    for (int type : {5, 6, 19}) {
        EXPECT_TRUE(IsValidType(type));
        EXPECT_EQ(FixedDeviceCode(type), 0u);
    }
    // Type 5 sends the stored combination as it is.
    EXPECT_EQ(DeviceCodeOf(kInputForward, RecordOf(5, 0x00060100)), 0x00060100u);
    EXPECT_EQ(DeviceCodeOf(kInputForward, RecordOf(5, 0)), 0u);
    // Type 19 keeps the input's own default code, so the mouse still reports its native event.
    const uint32_t defaults[kInputCount] = {0x00F00001, 0x00F20001, 0x00F10001, 0x00F40001,
                                            0x00F30001, 0x00010004, 0x00020004};
    for (int input = 0; input < kInputCount; ++input)
        EXPECT_EQ(DeviceCodeOf(input, RecordOf(19, 0x00060100)), defaults[input]) << input;
}

TEST(FunctionModel, MacroCodeCarriesSlotAndEntryCount) {
    struct Case {
        int slot;
        uint32_t entries;
        uint32_t code;
    };
    const Case cases[] = {
        {1, 3, 0x03010009},
        {7, 255, 0xFF070009},
        {2, 256, 0x00020009},   // a full block: only the low byte of the count is sent
        {3, 0x1FF, 0xFF030009},
        {0x101, 2, 0x02010009},  // an out-of-range slot does not spill into the count byte
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DeviceCodeOf(kInputWheelDown, RecordOf(6, 0x00060100), c.slot, c.entries), c.code)
            << c.slot << "/" << c.entries;
    }
}

TEST(FunctionModel, InputOutsideTheMouseHasNoCode) {
    for (int input : {-1, kInputCount, 100}) {
        EXPECT_EQ(DeviceCodeOf(input, RecordOf(19)), 0u);
        EXPECT_EQ(DeviceCodeOf(input, RecordOf(1)), 0u);
    }
}

TEST(FunctionModel, Inputs) {
    const InputInfo expected[kInputCount] = {
        {1, 0x00F00001, 0x201, 0},     {4, 0x00F20001, 0x207, 2},   {2, 0x00F10001, 0x204, 1},
        {8, 0x00F40001, 0x2020B, 5},   {16, 0x00F30001, 0x1020B, 4}, {11, 0x00010004, 0x20A01, 14},
        {22, 0x00020004, 0x20A00, 15},
    };
    for (int input = 0; input < kInputCount; ++input) {
        const InputInfo& info = kInputs[input];
        EXPECT_EQ(info.defaultType, expected[input].defaultType) << input;
        EXPECT_EQ(info.defaultType, kDefaultTypes[input]) << input;
        EXPECT_EQ(info.defaultCode, expected[input].defaultCode) << input;
        EXPECT_EQ(info.defaultCode, FixedDeviceCode(info.defaultType)) << input;
        EXPECT_EQ(info.nativeEvent, expected[input].nativeEvent) << input;
        EXPECT_EQ(info.matrixSlot, expected[input].matrixSlot) << input;
    }
}

TEST(FunctionModel, BasicListOrder) {
    const BasicListItem expected[] = {
        {"str_close", 81}, {"str_lock", 82}, {"str_run", 84}, {"str_show", 85},
        {"str_win8_classic", 123}, {"str_win8_switch", 124}, {"str_win8_winp", 126},
        {"str_win8_winm", 127}, {"str_find", 125}, {"str_mouseleft", 1}, {"str_mouseright", 2},
        {"str_mousemiddle", 4}, {"str_pre", 8}, {"str_back", 16}, {"str_player", 40},
        {"str_PL", 32}, {"str_stop", 33}, {"str_pre_media", 34}, {"str_next_media", 35},
        {"str_vol_dw", 38}, {"str_vol_up", 37}, {"str_mute", 39}, {"str_snipe", 142},
        {"str_fire", 143},
    };
    ASSERT_EQ(std::size(expected), kBasicList.size());
    const bool chinese = UiChinese();
    SetUiChinese(false);
    for (size_t i = 0; i < kBasicList.size(); ++i) {
        EXPECT_EQ(kBasicList[i].languageKey, expected[i].languageKey) << i;
        EXPECT_EQ(kBasicList[i].type, expected[i].type) << i;
        // Every item can be sent and labelled.
        EXPECT_NE(FixedDeviceCode(kBasicList[i].type), 0u) << i;
        EXPECT_NE(FunctionName(kBasicList[i].type), u"") << i;
    }
    SetUiChinese(chinese);
}

TEST(FunctionModel, EncodeCombination) {
    struct Case {
        bool ctrl, shift, alt, win;
        uint32_t vk;
        uint32_t code;
    };
    const Case cases[] = {
        // modifiers and a key
        {true, true, false, false, 'C', 0x00060300},
        {true, false, false, false, 'C', 0x00060100},
        {true, true, true, true, 0x0D, 0x00280F00},  // Enter is the main Enter's usage
        {false, false, false, true, 0x01, 0x00F00800},
        // one modifier without a key: the modifier itself as a key
        {true, false, false, false, 0, 0x00E00000},
        {false, true, false, false, 0, 0x00E10000},
        {false, false, true, false, 0, 0x00E20000},
        {false, false, false, true, 0, 0x00E30000},
        {false, true, false, false, 0x03, 0x00E10000},  // a key the table lacks counts as none
        // several modifiers without a key: nothing chosen
        {true, false, true, false, 0, 0},
        {true, true, true, true, 0, 0},
        // a key alone
        {false, false, false, false, 'C', 0x00060000},
        {false, false, false, false, 0xA0, 0x00E10000},
        // nothing
        {false, false, false, false, 0, 0},
        {false, false, false, false, 0x03, 0},
        {false, false, false, false, 0x143, 0},  // no virtual key; must not read as 'C'
        {true, false, false, false, 0x143, 0x00E00000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeCombination(c.ctrl, c.shift, c.alt, c.win, c.vk), c.code)
            << c.ctrl << c.shift << c.alt << c.win << " vk " << std::hex << c.vk;
    }
}

TEST(FunctionModel, IsChanged) {
    ProfileImage image = ZeroProfileImage();
    for (int input = 0; input < kInputCount; ++input) image.buttons[input].type = kDefaultTypes[input];
    for (int input = 0; input < kInputCount; ++input) EXPECT_FALSE(IsChanged(input, image)) << input;

    image.buttons[kInputForward].type = 5;
    image.buttons[kInputWheelUp].type = 22;  // the other wheel direction's default is still a change
    std::vector<bool> changed;
    for (int input = 0; input < kInputCount; ++input) changed.push_back(IsChanged(input, image));
    EXPECT_EQ(changed, (std::vector<bool>{false, false, false, true, false, true, false}));

    EXPECT_FALSE(IsChanged(-1, image));
    EXPECT_FALSE(IsChanged(kInputCount, image));
}

} // namespace
} // namespace n640
