#pragma once
// Display names of functions and keys, and the HID usage <-> virtual-key mapping.
// Pure functions without state; an unknown code gives the empty string (or 0).

#include <cstdint>
#include <string>

namespace n640 {

class IKeyboardLayout;

// Name of a function type in the current UiChinese language; "" for a type without a name.
std::u16string FunctionName(int type);

// Name of a virtual key: the table rows, then the keyboard-layout rule (the platform's layout
// unless one is given).
std::u16string KeyName(uint32_t vk);
std::u16string KeyName(uint32_t vk, const IKeyboardLayout& layout);

// First matching row of the usage/virtual-key table, 0 when none matches.
uint8_t UsageToVk(uint8_t usage);
uint8_t VkToUsage(uint8_t vk);

// Text of a key-combination code: key usage in bits 16..23, modifier bits in 8..15.
std::u16string CombinationText(uint32_t comboCode);

// Name of a macro event key (looked up by its low 8 bits); "" when the table has none.
std::u16string MacroKeyName(uint32_t key);

} // namespace n640
