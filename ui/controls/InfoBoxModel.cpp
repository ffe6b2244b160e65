#include "ui/controls/InfoBoxModel.h"

#include <algorithm>

namespace n640 {

std::u16string InfoCaption(bool chinese) { return chinese ? u"提示" : u"Tips"; }
std::u16string InfoOkText(bool chinese) { return chinese ? u"确定" : u"OK"; }
std::u16string InfoCancelText(bool chinese) { return chinese ? u"取消" : u"Cancel"; }

std::u16string InfoCountdownText(bool chinese, int seconds) {
    std::u16string digits;
    const bool negative = seconds < 0;
    unsigned v = negative ? 0u - static_cast<unsigned>(seconds) : static_cast<unsigned>(seconds);
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
        v /= 10;
    } while (v != 0);
    if (negative) {
        digits.insert(digits.begin(), u'-');
    }
    return (chinese ? u"确定 (" : u"OK (") + digits + u"s)";
}

InfoSkinIds InfoSkinFor(bool twoButtons) {
    return twoButtons ? InfoSkinIds{1006, 1008, 1004} : InfoSkinIds{1007, 1009, 1005};
}

Point InfoCornerPosition(int screenWidth, int screenHeight, int width, int height, const Rect* workArea) {
    Point p{screenWidth - width - 10, screenHeight - height};
    if (workArea) {
        // Never past the bottom or right edge of the work area, so the whole box stays visible.
        p.x = std::min(p.x, workArea->right - width);
        p.y = std::min(p.y, workArea->bottom - height);
        p.x = std::max(p.x, workArea->left);
        p.y = std::max(p.y, workArea->top);
    }
    return p;
}

} // namespace n640
