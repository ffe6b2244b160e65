#pragma once
// The byte layouts of the mouse's commands: pure encoders used by CUSBDriver's report
// operations, by the apply worker (to build the data it passes) and by the simulated mouse.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "macro/MacroRecord.h"

namespace n640 {

// Command codes of the vendor feature report.
namespace cmd {
constexpr uint8_t ReportInterval = 0x01;
constexpr uint8_t CycleColours = 0x09;
constexpr uint8_t DpiLevelValue = 0x0B;
constexpr uint8_t LedColour = 0x0C;
constexpr uint8_t LightEffect = 0x0D;
constexpr uint8_t DpiTable = 0x11;
constexpr uint8_t KeyMatrix = 0x12;
constexpr uint8_t DownloadMacro = 0x13;
constexpr uint8_t FirmwareVersion = 0x80;
} // namespace cmd

constexpr size_t kFeatureBufferSize = 255;
constexpr size_t kOutputReportSize = 33;   // report id + 32 data bytes
constexpr size_t kOutputDataSize = 32;
constexpr size_t kCycleColoursSize = 32;
constexpr size_t kDpiTableSize = 16;
constexpr size_t kKeyMatrixSize = 64;
constexpr size_t kKeyMatrixSlots = 16;
constexpr size_t kMacroBlockSize = 512;
constexpr size_t kMacroBlockEntries = 256;
constexpr int kMacroSlotCount = 7;
constexpr uint8_t kDpiUnused = 0x80;
constexpr uint32_t kKeyMatrixSlot3 = 0x00030007;  // fixed content of key-matrix slot 3

// Report interval as sent: 1, 2, 4 or 8 ms; anything else is sent as 2.
uint8_t ReportIntervalByte(int32_t interval);

// DPI code of a value: 250·k (k = 1..14) gives k, 4000/5000/6000/7000 give 40/42/44/46,
// anything else 0x80 (level not used).
uint8_t DpiCode(int32_t dpi);
// The value a code stands for; 0 for 0x80 and for codes that are not used.
int32_t DpiOfCode(uint8_t code);

// The 8-byte DPI group (codes of the seven levels and 0x02) and the number of levels that got a
// code.
struct DpiGroup {
    std::array<uint8_t, 8> bytes{};
    int usedLevels = 0;
};
DpiGroup MakeDpiGroup(const int32_t (&dpiLevels)[7]);
// The 16 data bytes of SetDpiTable: the group twice.
std::array<uint8_t, kDpiTableSize> DpiTableData(const DpiGroup& group);
// The value SetDpiLevelValue is given after the table: the used levels, at most 3.
inline uint8_t DpiLevelValueOf(const DpiGroup& group) {
    return static_cast<uint8_t>(group.usedLevels < 3 ? group.usedLevels : 3);
}

// The three bytes of SetLightEffect.
struct LightEffect {
    uint8_t mode = 0;
    uint8_t p = 0;
    uint8_t q = 0;
    friend bool operator==(const LightEffect&, const LightEffect&) = default;
};
LightEffect LightEffectOf(int32_t lightMode, int32_t brightness, int32_t breathSpeed, int32_t cycleSpeed,
                          int32_t ownColours);

// The LED colour bytes (green, red, blue) of a 0x00BBGGRR colour.
std::array<uint8_t, 3> LedColourBytes(uint32_t colour);
// The 32 data bytes of SetCycleColours: three colours as red, green, blue, then zeros.
std::array<uint8_t, kCycleColoursSize> CycleColoursData(const uint32_t (&colours)[3]);

// The 64 data bytes of SetKeyMatrix: 16 little-endian device codes.
std::array<uint8_t, kKeyMatrixSize> KeyMatrixData(const uint32_t (&matrix)[kKeyMatrixSlots]);

// Layout of a macro block's entries (after the two-byte repeat count): a key entry is a flag
// byte (0x01 press, 0x81 release; the low seven bits also count the 10 ms steps of a short
// pause after it, plus one) and the key's usage; a long pause is {0x00, unit} followed by a
// 16-bit count of that unit.
constexpr uint8_t kMacroPress = 0x01;
constexpr uint8_t kMacroReleaseBit = 0x80;
constexpr uint8_t kMacroStepMask = 0x7F;
constexpr uint32_t kMacroStepMs = 10;
constexpr uint32_t kMacroDelayUnits[] = {0, 20, 50, 100};  // ms per count of units 1..3

// A macro as the mouse takes it: 256 two-byte entries and the number of entries used
// (header included, at most 256).
struct MacroBlock {
    std::array<uint8_t, kMacroBlockSize> bytes{};
    uint32_t entries = 1;
};
MacroBlock EncodeMacroBlock(const MacroRecord& record);

// Version number of a firmware answer (reportId, 0x80, a, b, ...): a·10 + b; nullopt when
// byte 1 is not 0x80 or the answer is shorter than 4 bytes.
std::optional<int> FirmwareVersionOf(const uint8_t* answer, size_t len);

} // namespace n640
