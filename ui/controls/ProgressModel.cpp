#include "ui/controls/ProgressModel.h"

#include <algorithm>

namespace n640 {

int CProgressModel::FilledWidth(int width) const {
    if (max_ <= min_) {
        return 0;
    }
    return static_cast<int>(static_cast<long long>(width) * (pos_ - min_) / (max_ - min_));
}

int CProgressModel::PosAt(int x, int left, int right) const {
    if (right <= left) {
        return min_;
    }
    x = std::max(x, left);
    const long long v = min_ + static_cast<long long>(max_ - min_) * (x - left) / (right - left);
    return static_cast<int>(std::clamp<long long>(v, min_, max_));
}

std::u16string ProgressText(bool chinese) {
    return chinese ? u"更新进行中，请稍候..." : u"Updating is in progress, please wait…";
}

ProgressStep OnProgressMessage(CProgressModel& bar, long long wParam) {
    const bool inRange = wParam >= bar.Min() && wParam <= bar.Max();
    bar.SetPos(inRange ? static_cast<int>(wParam) : bar.Min());
    return {bar.Pos(), wParam == 100};
}

KeyAction FilterKey(unsigned message, unsigned key, bool altF4Hides) {
    constexpr unsigned kKeyDown = 0x0100, kKeyUp = 0x0101, kSysKeyDown = 0x0104;
    constexpr unsigned kReturn = 0x0D, kEscape = 0x1B, kSpace = 0x20, kF4 = 0x73;
    if ((message == kKeyDown || message == kKeyUp) && (key == kReturn || key == kEscape || key == kSpace)) {
        return KeyAction::Drop;
    }
    if (message == kSysKeyDown && key == kF4) {
        return altF4Hides ? KeyAction::Hide : KeyAction::Drop;
    }
    return KeyAction::Pass;
}

} // namespace n640
