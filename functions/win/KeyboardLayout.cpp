#include "functions/KeyboardLayout.h"

#include <windows.h>

namespace n640 {

namespace {

// Virtual key -> scan code -> character with an all-zero keyboard state; the low 8 bits of the
// first character, lower-case letters turned to upper case.
class CWindowsKeyboardLayout final : public IKeyboardLayout {
public:
    std::u16string CharacterOf(uint32_t vk) const override {
        if (vk == 0 || vk > 0xFF) return {};  // not a virtual key
        const HKL layout = GetKeyboardLayout(0);
        const UINT scan = MapVirtualKeyExW(vk, MAPVK_VK_TO_VSC, layout);
        BYTE state[256] = {};
        wchar_t buffer[8] = {};
        const int n = ToUnicodeEx(vk, scan, state, buffer, 8, 0, layout);
        if (n == 0) return {};
        if (n < 0) {
            // A dead key: clear it from the layout's state so later translations are unaffected.
            ToUnicodeEx(vk, scan, state, buffer, 8, 0, layout);
        }
        char16_t c = static_cast<char16_t>(buffer[0] & 0xFF);
        if (c == 0) return {};
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
        return std::u16string(1, c);
    }
};

} // namespace

const IKeyboardLayout& PlatformKeyboardLayout() {
    static const CWindowsKeyboardLayout layout;
    return layout;
}

} // namespace n640
