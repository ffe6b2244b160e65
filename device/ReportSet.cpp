#include "device/ReportSet.h"

#include <algorithm>

#include "functions/KeyNames.h"

namespace n640 {

uint8_t ReportIntervalByte(int32_t interval) {
    return (interval == 1 || interval == 2 || interval == 4 || interval == 8) ? static_cast<uint8_t>(interval) : 2;
}

uint8_t DpiCode(int32_t dpi) {
    if (dpi >= 250 && dpi <= 3500 && dpi % 250 == 0) return static_cast<uint8_t>(dpi / 250);
    switch (dpi) {
    case 4000: return 0x28;
    case 5000: return 0x2A;
    case 6000: return 0x2C;
    case 7000: return 0x2E;
    default: return kDpiUnused;
    }
}

int32_t DpiOfCode(uint8_t code) {
    if (code >= 1 && code <= 14) return code * 250;
    switch (code) {
    case 0x28: return 4000;
    case 0x2A: return 5000;
    case 0x2C: return 6000;
    case 0x2E: return 7000;
    default: return 0;
    }
}

DpiGroup MakeDpiGroup(const int32_t (&dpiLevels)[7]) {
    DpiGroup group;
    for (size_t i = 0; i < 7; ++i) {
        group.bytes[i] = DpiCode(dpiLevels[i]);
        if (group.bytes[i] != kDpiUnused) ++group.usedLevels;
    }
    group.bytes[7] = 0x02;
    return group;
}

std::array<uint8_t, kDpiTableSize> DpiTableData(const DpiGroup& group) {
    std::array<uint8_t, kDpiTableSize> data{};
    std::copy(group.bytes.begin(), group.bytes.end(), data.begin());
    std::copy(group.bytes.begin(), group.bytes.end(), data.begin() + 8);
    return data;
}

LightEffect LightEffectOf(int32_t lightMode, int32_t brightness, int32_t breathSpeed, int32_t cycleSpeed,
                          int32_t ownColours) {
    auto low = [](int32_t v) { return static_cast<uint8_t>(v & 0xFF); };
    switch (lightMode) {
    case 1: return {1, low(brightness), 1};
    case 2: return {2, low(breathSpeed), 1};
    case 3: return {3, 2, 3};
    case 4: return {4, 10, 2};
    case 5: return {5, low(cycleSpeed), low(ownColours)};
    default: return {0, 0, 0};
    }
}

std::array<uint8_t, 3> LedColourBytes(uint32_t colour) {
    return {static_cast<uint8_t>(colour >> 8), static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 16)};
}

std::array<uint8_t, kCycleColoursSize> CycleColoursData(const uint32_t (&colours)[3]) {
    std::array<uint8_t, kCycleColoursSize> data{};
    for (size_t i = 0; i < 3; ++i) {
        data[i * 3] = static_cast<uint8_t>(colours[i]);
        data[i * 3 + 1] = static_cast<uint8_t>(colours[i] >> 8);
        data[i * 3 + 2] = static_cast<uint8_t>(colours[i] >> 16);
    }
    return data;
}

std::array<uint8_t, kKeyMatrixSize> KeyMatrixData(const uint32_t (&matrix)[kKeyMatrixSlots]) {
    std::array<uint8_t, kKeyMatrixSize> data{};
    for (size_t i = 0; i < kKeyMatrixSlots; ++i)
        for (size_t b = 0; b < 4; ++b) data[i * 4 + b] = static_cast<uint8_t>(matrix[i] >> (8 * b));
    return data;
}

MacroBlock EncodeMacroBlock(const MacroRecord& record) {
    MacroBlock block;
    uint8_t* e = block.bytes.data();
    e[0] = static_cast<uint8_t>(record.repeatCount >> 8);
    e[1] = static_cast<uint8_t>(record.repeatCount);
    uint32_t n = 1;
    // A record never holds more than kMacroMaxEvents words, whatever its count says.
    const uint32_t count = std::min(record.eventCount, kMacroMaxEvents);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t kind = EventKind(record.events[i]);
        const uint32_t value = EventValue(record.events[i]);
        if (kind == kEventPress || kind == kEventRelease) {
            if (n >= kMacroBlockEntries) break;
            e[n * 2] = kind == kEventPress ? kMacroPress : kMacroPress | kMacroReleaseBit;
            e[n * 2 + 1] = value <= 0xFF ? VkToUsage(static_cast<uint8_t>(value)) : 0;
            ++n;
        } else if (kind == kEventDelay) {
            const uint32_t d = value;
            if (d <= kMacroStepMask * kMacroStepMs) {
                // A short pause rides in the low bits of the entry written last. Before the
                // first entry there is nothing to carry it (the header must stay intact).
                if (n > 1) {
                    e[(n - 1) * 2] = static_cast<uint8_t>(e[(n - 1) * 2] + (d / kMacroStepMs) % (kMacroStepMask + 1));
                }
            } else if (d <= 0xFFFFu * kMacroDelayUnits[3]) {
                if (n + 1 >= kMacroBlockEntries) break;
                // The finest unit whose 16-bit count reaches the pause.
                uint8_t unit = 1;
                while (d > 0xFFFFu * kMacroDelayUnits[unit]) ++unit;
                const uint32_t c = d / kMacroDelayUnits[unit];
                e[n * 2] = 0x00;
                e[n * 2 + 1] = unit;
                e[n * 2 + 2] = static_cast<uint8_t>(c >> 8);
                e[n * 2 + 3] = static_cast<uint8_t>(c);
                n += 2;
            } else {
                if (n >= kMacroBlockEntries) break;
                ++n;  // an empty entry
            }
        }
    }
    block.entries = n;
    return block;
}

std::optional<int> FirmwareVersionOf(const uint8_t* answer, size_t len) {
    if (answer == nullptr || len < 4 || answer[1] != cmd::FirmwareVersion) return std::nullopt;
    return answer[2] * 10 + answer[3];
}

} // namespace n640
