#include "ui/controls/ListModel.h"

namespace n640 {

uint32_t ListDataWord(uint32_t kind, uint32_t value) {
    if (kind == 0) return value;
    return ((kind & 0xFF) << 24) | (value & 0xFFFFFF);
}

std::u16string_view ListKindPicture(uint32_t kind, bool selected) {
    switch (kind) {
    case 2: return selected ? u"up_select.png" : u"up_normal.png";
    case 3: return selected ? u"down_select.png" : u"down_normal.png";
    case 4: return selected ? u"delay_select.png" : u"delay_normal.png";
    default: return {};
    }
}

int ListTextLeft(uint32_t dataWord, bool iconsOn, int iconWidth) {
    return (iconsOn && ListKindOf(dataWord) != 0) ? iconWidth + 10 : 5;
}

} // namespace n640
