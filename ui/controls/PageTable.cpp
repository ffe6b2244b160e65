#include "ui/controls/PageTable.h"

namespace n640 {

Rect LayoutRect(const ControlRow& row, bool chinese) {
    const bool hasZh = row.zh.right > row.zh.left && row.zh.bottom > row.zh.top;
    return chinese && hasZh ? row.zh : row.en;
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
