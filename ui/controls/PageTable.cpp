#include "ui/controls/PageTable.h"

namespace n640 {

Rect LayoutRect(const ControlSpec& spec, bool chinese) {
    const bool hasZh = spec.zh.right > spec.zh.left && spec.zh.bottom > spec.zh.top;
    return chinese && hasZh ? spec.zh : spec.en;
}

std::vector<int> HintsAt(std::span<const HintArea> areas, Point p) {
    std::vector<int> hints;
    for (const HintArea& a : areas) {
        if (a.hint != 0 && a.rect.Inflated(1).Contains(p)) hints.push_back(a.hint);
    }
    return hints;
}

bool IsDroppedPageKey(uint32_t message, uint32_t virtualKey) {
    constexpr uint32_t kKeyDown = 0x0100, kKeyUp = 0x0101;
    if (message != kKeyDown && message != kKeyUp) return false;
    return virtualKey == 13 || virtualKey == 27 || virtualKey == 32;
}

} // namespace n640
