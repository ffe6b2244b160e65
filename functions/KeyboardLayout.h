#pragma once
#include <cstdint>
#include <string>

namespace n640 {

// The keyboard-layout rule of KeyName: the character a virtual key produces with no other key
// held, or "" when it produces none. Windows asks the current keyboard layout; elsewhere the
// portable rule maps 0x30..0x39 and 0x41..0x5A to their characters.
class IKeyboardLayout {
public:
    virtual ~IKeyboardLayout() = default;
    virtual std::u16string CharacterOf(uint32_t vk) const = 0;
};

// The portable rule.
class CPortableKeyboardLayout final : public IKeyboardLayout {
public:
    std::u16string CharacterOf(uint32_t vk) const override;
};

// The platform's layout (Windows: the current keyboard layout; Linux: the portable rule).
const IKeyboardLayout& PlatformKeyboardLayout();

} // namespace n640
