#include "device/MemoryText.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "functions/FunctionModel.h"
#include "macro/MacroRecord.h"

namespace n640 {
namespace {

TEST(MemoryText, DeviceCodesAndMacros) {
    const struct { uint32_t code; const char* text; } codes[] = {
        {0x00F40001, "button forward"}, {0x00CD0003, "media Play/Pause"}, {0x01830003, "media Music"},
        {0x00010004, "wheel up"}, {0x00000007, "disabled"}, {0x08040007, "sniper"},
        {0x000F0800, "key Win+L"}, {0x00E10000, "key LShift"}, {0x00E80000, "key usage 0xE8"},
        {0x12345678, "code 0x12345678"},
    };
    for (const auto& c : codes) EXPECT_EQ(DescribeDeviceCode(c.code), c.text);

    uint8_t block[kMacroBlockSize] = {0x00, 0x02, 0x01, 0x04, 0x00, 0x01, 0x00, 0x64, 0x81, 0x04, 0x01, 0xF0, 0x01, 0xE8};
    EXPECT_EQ(DescribeMacroBlock(block), "repeat 2: press A, 2000 ms, release A, press Left Button, press usage 0xE8");
}

// Every code the encoders give decodes to a name, and a macro's pauses come back as encoded.
TEST(MemoryText, WhatTheEncodersWriteReadsBack) {
    for (int type = 1; type < 256; ++type) {
        const uint32_t code = FixedDeviceCode(type);
        if (code == 0) continue;
        SCOPED_TRACE(type);
        EXPECT_EQ(FunctionTypeOfCode(code), type);
        EXPECT_NE(DescribeDeviceCode(code).rfind("code ", 0), 0u) << DescribeDeviceCode(code);
    }
    EXPECT_EQ(FunctionTypeOfCode(0), 0);
    EXPECT_EQ(FunctionTypeOfCode(kKeyMatrixSlot3), 0);

    struct Case {
        uint32_t ms;
        const char* text;
    };
    const Case pauses[] = {
        {30, "repeat 1: press A, 30 ms, release A"},            // a short pause rides on the press
        {1300, "repeat 1: press A, 1300 ms, release A"},        // 65 counts of 20 ms
        {1310720, "repeat 1: press A, 1310700 ms, release A"},  // too long for 20 ms units: 50 ms
        {6553500, "repeat 1: press A, 6553500 ms, release A"},  // the longest: 65535 × 100 ms
    };
    for (const Case& c : pauses) {
        MacroRecord record{};
        record.repeatCount = 1;
        record.events[0] = MakeEvent(kEventPress, 0x41);
        record.events[1] = MakeEvent(kEventDelay, c.ms);
        record.events[2] = MakeEvent(kEventRelease, 0x41);
        record.eventCount = 3;
        const MacroBlock encoded = EncodeMacroBlock(record);
        uint8_t block[kMacroBlockSize];
        std::copy(encoded.bytes.begin(), encoded.bytes.end(), block);
        EXPECT_EQ(DescribeMacroBlock(block), c.text) << c.ms;
    }
}

} // namespace
} // namespace n640
