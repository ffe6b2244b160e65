// Fuzz target of the report-descriptor parser: any bytes must parse without reading outside
// them, and every capability must come from a field the descriptor declared.
#include <cstdlib>
#include <vector>

#include "device/HidDescriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy so that any read past the end is caught by AddressSanitizer.
    std::vector<uint8_t> bytes(data, data + size);
    const n640::HidDescriptorInfo info = n640::ParseReportDescriptor(bytes.data(), bytes.size());
    for (const auto* caps : {&info.inputValueCaps, &info.outputValueCaps, &info.featureValueCaps}) {
        if (caps->size() > n640::kHidMaxValueCaps) std::abort();
        for (const n640::HidValueCap& cap : *caps)
            if (cap.reportCount == 0 || cap.bitSize <= 1 || cap.usageMax < cap.usage) std::abort();
    }
    return 0;
}
