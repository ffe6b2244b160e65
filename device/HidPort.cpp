#include "device/HidPort.h"

namespace n640 {

std::string HexId(uint16_t id) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(4, '0');
    for (int i = 3; i >= 0; --i, id = static_cast<uint16_t>(id >> 4)) text[static_cast<size_t>(i)] = kDigits[id & 0xF];
    return text;
}

std::string IdsText(HidIds ids) {
    return HexId(ids.vendorId) + ":" + HexId(ids.productId);
}

} // namespace n640
