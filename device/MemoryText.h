#pragma once
// What the mouse holds, as readable text: its key-matrix codes, macro blocks and whole memory,
// decoded through the same tables the encoders use (FunctionModel's device codes, the macro
// block layout of ReportSet). The command-line tool shows the simulated mouse's memory with it.

#include <cstdint>
#include <string>

#include "device/ReportSet.h"
#include "device/sim/SimulatedMouse.h"

namespace n640 {

// "0x" and the value in upper-case hex, at least digits wide: HexText(0x2B, 4) is "0x002B".
std::string HexText(uint32_t value, int digits);

// One key-matrix code: "key Ctrl+C", "button left", "media Mute", "macro slot 2, 3 entries",
// "code 0x12345678" for a code nothing encodes.
std::string DescribeDeviceCode(uint32_t code);
// One macro block: "repeat 1: press A, 50 ms, release A", or "empty".
std::string DescribeMacroBlock(const uint8_t (&block)[kMacroBlockSize]);
// The whole memory, one line per item, e.g. "slot 5: key Ctrl+C".
std::string DescribeMemory(const SimMemory& memory);

} // namespace n640
