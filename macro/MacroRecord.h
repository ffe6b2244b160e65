#pragma once
// The macro record: one 4104-byte macro as it is stored in Macro.cfg and downloaded to the mouse.

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace n640 {

constexpr uint32_t kMacroMagic = 0xE8E80010;
constexpr uint32_t kMacroMagicHigh = 0xE8E8;       // only the upper 16 bits are ever tested
constexpr uint32_t kMacroHeaderSize = 4100;         // size = 4100 + 4 x items
constexpr uint32_t kMacroMinStoredSize = 4104;
constexpr uint32_t kMacroMaxEvents = 1000;
constexpr uint32_t kMacroSinglePress = 65534;       // repeatCount of a single-press macro
constexpr size_t kMacroNameChars = 40;
constexpr size_t kMacroLibrarySize = 500;

// Event word: bits 31..24 kind, bits 23..0 value.
constexpr uint32_t kEventPress = 0xC0;
constexpr uint32_t kEventRelease = 0xE0;
constexpr uint32_t kEventDelay = 0xA0;
constexpr uint32_t kEventValueMask = 0x00FFFFFF;

constexpr uint32_t EventKind(uint32_t word) { return word >> 24; }
constexpr uint32_t EventValue(uint32_t word) { return word & kEventValueMask; }
constexpr uint32_t MakeEvent(uint32_t kind, uint32_t value) { return (kind << 24) | (value & kEventValueMask); }

struct MacroRecord {
    uint32_t size;
    uint32_t magic;
    uint32_t id;
    uint32_t reserved;
    uint32_t repeatCount;
    uint32_t eventCount;
    uint32_t events[kMacroMaxEvents];
    char16_t name[kMacroNameChars];
};

static_assert(sizeof(MacroRecord) == 4104);
static_assert(offsetof(MacroRecord, size) == 0);
static_assert(offsetof(MacroRecord, magic) == 4);
static_assert(offsetof(MacroRecord, id) == 8);
static_assert(offsetof(MacroRecord, reserved) == 12);
static_assert(offsetof(MacroRecord, repeatCount) == 16);
static_assert(offsetof(MacroRecord, eventCount) == 20);
static_assert(offsetof(MacroRecord, events) == 24);
static_assert(offsetof(MacroRecord, name) == 4024);
static_assert(std::is_trivially_copyable_v<MacroRecord> && std::is_standard_layout_v<MacroRecord>);

// A record is listed (a stored macro) when size >= 4104 or magic's upper half is 0xE8E8.
constexpr bool IsStoredMacro(const MacroRecord& r) {
    return r.size >= kMacroMinStoredSize || (r.magic >> 16) == kMacroMagicHigh;
}
// A record may receive a new macro when magic is 0.
constexpr bool IsFreeRecord(const MacroRecord& r) { return r.magic == 0; }

// Category (1..21) in the top byte of a macro id.
constexpr uint32_t MacroCategory(uint32_t id) { return id >> 24; }

} // namespace n640
