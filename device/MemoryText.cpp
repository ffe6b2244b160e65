#include "device/MemoryText.h"

#include <cstdio>
#include <vector>

#include "functions/FunctionModel.h"
#include "functions/KeyNames.h"
#include "functions/KeyboardLayout.h"
#include "platform/Text.h"

namespace n640 {
namespace {

std::string JoinPlus(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& p : parts) text += (text.empty() ? "" : "+") + p;
    return text;
}

std::string MacroKeyText(uint8_t usage) {
    const uint8_t vk = UsageToVk(usage);
    const std::string name = vk != 0 ? Utf16ToUtf8(MacroKeyName(vk)) : std::string();
    return name.empty() ? "usage " + HexText(usage, 2) : name;
}

// The words of the dump for the function types whose fixed code it names itself.
struct TypeWords {
    int type;
    const char* text;
};
constexpr TypeWords kTypeWords[] = {
    {kTypeClick, "button left"},   {kTypeMenu, "button right"},     {kTypeMiddle, "button middle"},
    {kTypeBack, "button back"},    {kTypeForward, "button forward"}, {kTypeScrollUp, "wheel up"},
    {kTypeScrollDown, "wheel down"}, {kTypeDisable, "disabled"},    {kTypeSnipe, "sniper"},
    {kTypeFire, "fire"},
};

constexpr uint8_t kKindKey = 0x00;
constexpr uint8_t kKindMedia = 0x03;
constexpr uint8_t kKindMacro = 0x09;

} // namespace

std::string HexText(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string DescribeDeviceCode(uint32_t code) {
    const uint8_t kind = static_cast<uint8_t>(code);
    const uint8_t b1 = static_cast<uint8_t>(code >> 8);
    const uint8_t b2 = static_cast<uint8_t>(code >> 16);
    const uint8_t b3 = static_cast<uint8_t>(code >> 24);
    if (code == 0) return "none";
    if (kind == kKindKey && b3 == 0) {
        // A key combination: modifier bits in byte 1, the key's usage in byte 2.
        std::vector<std::string> parts;
        if (b1 & 0x01) parts.push_back("Ctrl");
        if (b1 & 0x02) parts.push_back("Shift");
        if (b1 & 0x04) parts.push_back("Alt");
        if (b1 & 0x08) parts.push_back("Win");
        const std::string key = Utf16ToUtf8(KeyName(UsageToVk(b2), CPortableKeyboardLayout()));
        if (b2 != 0) parts.push_back(key.empty() ? "usage " + HexText(b2, 2) : key);
        return "key " + JoinPlus(parts);
    }
    if (kind == kKindMedia) {
        // The consumer usage in the upper half; the mouse ignores byte 1.
        const uint16_t usage = static_cast<uint16_t>(code >> 16);
        const int type = FunctionTypeOfCode((code & 0xFFFF0000u) | kKindMedia);
        return "media " + (type != 0 ? Utf16ToUtf8(FunctionName(type, false)) : HexText(usage, 4));
    }
    if (kind == kKindMacro) return "macro slot " + std::to_string(b2) + ", " + std::to_string(b3) + " entries";
    if (code == kKeyMatrixSlot3) return "fixed";
    const int type = FunctionTypeOfCode(code);
    for (const TypeWords& row : kTypeWords) {
        if (type != 0 && row.type == type) return row.text;
    }
    return "code " + HexText(code, 8);
}

std::string DescribeMacroBlock(const uint8_t (&block)[kMacroBlockSize]) {
    size_t last = 0;  // last entry that is not zero
    for (size_t i = 1; i < kMacroBlockEntries; ++i)
        if (block[i * 2] != 0 || block[i * 2 + 1] != 0) last = i;
    if (last == 0 && block[0] == 0 && block[1] == 0) return "empty";
    std::string text = "repeat " + std::to_string(block[0] << 8 | block[1]) + ":";
    const char* separator = " ";
    auto add = [&](const std::string& item) {
        text += separator + item;
        separator = ", ";
    };
    for (size_t i = 1; i <= last; ++i) {
        const uint8_t b = block[i * 2];
        const uint8_t v = block[i * 2 + 1];
        if (b == 0) {
            if (v >= 1 && v < std::size(kMacroDelayUnits) && i + 1 < kMacroBlockEntries) {
                const uint32_t count = uint32_t{block[(i + 1) * 2]} << 8 | block[(i + 1) * 2 + 1];
                add(std::to_string(count * kMacroDelayUnits[v]) + " ms");
                ++i;
            } else {
                add("long pause");
            }
            continue;
        }
        add(std::string(b & kMacroReleaseBit ? "release " : "press ") + MacroKeyText(v));
        const uint32_t steps = b & kMacroStepMask;
        if (steps > 1) add(std::to_string((steps - 1) * kMacroStepMs) + " ms");
    }
    return text;
}

std::string DescribeMemory(const SimMemory& m) {
    std::string text;
    auto line = [&](const std::string& l) { text += l + "\n"; };
    line("firmware " + std::to_string(m.firmware[0] * 10 + m.firmware[1]));
    line("report interval " + std::to_string(m.reportInterval) + " ms");
    std::string dpi = "dpi levels:";
    for (size_t i = 0; i < 7; ++i) {
        const int32_t value = DpiOfCode(m.dpiTable[i]);
        dpi += (i ? ", " : " ") + (value ? std::to_string(value) : std::string("-"));
    }
    line(dpi);
    std::string raw = "dpi table:";
    for (uint8_t b : m.dpiTable) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", b);
        raw += hex;
    }
    line(raw);
    line("dpi level value " + std::to_string(m.dpiLevelValue));
    line("led colour " + HexText(m.ledColour, 8));
    line("light effect " + std::to_string(m.effect[0]) + " " + std::to_string(m.effect[1]) + " " +
         std::to_string(m.effect[2]));
    std::string cycle = "cycle colours:";
    for (size_t i = 0; i < 3; ++i) {
        const uint32_t c = uint32_t{m.cycleColours[i * 3]} | uint32_t{m.cycleColours[i * 3 + 1]} << 8 |
                           uint32_t{m.cycleColours[i * 3 + 2]} << 16;
        cycle += (i ? ", " : " ") + HexText(c, 8);
    }
    line(cycle);
    for (size_t i = 0; i < kKeyMatrixSlots; ++i)
        line("slot " + std::to_string(i) + ": " + DescribeDeviceCode(m.keyMatrix[i]));
    for (int i = 0; i < kMacroSlotCount; ++i)
        line("macro " + std::to_string(i + 1) + ": " + DescribeMacroBlock(m.macros[i]));
    return text;
}

} // namespace n640
