#include "functions/KeyboardLayout.h"

namespace n640 {

std::u16string CPortableKeyboardLayout::CharacterOf(uint32_t vk) const {
    if ((vk >= 0x30 && vk <= 0x39) || (vk >= 0x41 && vk <= 0x5A)) return std::u16string(1, static_cast<char16_t>(vk));
    return {};
}

} // namespace n640
