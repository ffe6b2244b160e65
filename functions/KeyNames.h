#pragma once
// Display names of functions and keys, and the HID usage <-> virtual-key mapping.
// Pure functions without state; an unknown code gives the empty string (or 0).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace n640 {

class IKeyboardLayout;

// One row of the usage/virtual-key table: a HID keyboard-page usage (or the mouse's own button
// usages 0xF0..0xF2) and the Windows virtual-key code it corresponds to.
struct UsageVkPair {
    uint8_t usage;
    uint8_t vk;
};
// In lookup order: where a virtual-key code occurs twice (0x0D: main Enter, keypad Enter) the
// first row wins.
extern const std::array<UsageVkPair, 107> kUsageVkTable;

// One row of the macro key table: virtual-key code and the name the macro page shows.
struct MacroKeyRow {
    uint32_t vk;
    std::u16string_view name;
};
// In lookup order (the order the macro page lists them in).
extern const std::array<MacroKeyRow, 106> kMacroKeyTable;

// Name of a function type in the current UiChinese language; "" for a type without a name.
std::u16string FunctionName(int type);
// The same in the given language (chinese: Simplified Chinese, else English).
std::u16string FunctionName(int type, bool chinese);

// Name of a virtual key: the table rows, then the keyboard-layout rule (the platform's layout
// unless one is given). Codes above 0xFF are not virtual keys and give "".
std::u16string KeyName(uint32_t vk);
std::u16string KeyName(uint32_t vk, const IKeyboardLayout& layout);

// First matching row of the usage/virtual-key table, 0 when none matches.
uint8_t UsageToVk(uint8_t usage);
uint8_t VkToUsage(uint8_t vk);

// Text of a key-combination code: key usage in bits 16..23, modifier bits in 8..15
// (0x01 Ctrl, 0x02 Shift, 0x04 Alt, 0x08 Win). Only these four modifier bits are named; the
// upper four bits of the modifier byte are ignored, so a byte holding only those reads as the
// bare key.
std::u16string CombinationText(uint32_t comboCode);

// Name of a macro event key (looked up by its low 8 bits); "" when the table has none.
std::u16string MacroKeyName(uint32_t key);

} // namespace n640
