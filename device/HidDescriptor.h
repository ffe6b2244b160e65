#pragma once
// Parser of USB HID report descriptors: turns the items into the value capabilities of the
// input, output and feature reports, as the platform HID parser lists them. Used by the Linux
// backend (hidraw hands out the raw descriptor) and by the simulated mouse.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/HidPort.h"

namespace n640 {

struct HidDescriptorInfo {
    bool ok = false;                        // false: malformed; the lists hold what came before
    std::vector<HidValueCap> inputValueCaps;
    std::vector<HidValueCap> outputValueCaps;
    std::vector<HidValueCap> featureValueCaps;
    bool usesReportIds = false;
};

// Limits that keep a hostile descriptor from using unbounded memory.
constexpr size_t kHidMaxPushDepth = 32;
constexpr size_t kHidMaxLocalUsages = 1024;
constexpr size_t kHidMaxValueCaps = 4096;

// Never reads outside data[0..size).
HidDescriptorInfo ParseReportDescriptor(const uint8_t* data, size_t size);

} // namespace n640
