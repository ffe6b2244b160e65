#pragma once
// ConfigInfo.cfg: the index of the five profiles, five 1600-byte ProfileSlots. Bytes this program
// does not interpret are kept and written back exactly as read.

#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "config/ProfileImage.h"

namespace n640 {

constexpr uint32_t kSlotMagic = 48830;  // 0xBEBE marks a valid slot; only tested, never written
constexpr int kSlotCount = 5;

// The macro ids of the seven inputs of a profile; 0 = none.
using MacroAssignments = std::array<uint32_t, kInputCount>;

struct ProfileSlot {
    uint32_t magic;
    uint32_t active;
    uint8_t opaque0[524];
    char16_t path[kPathChars];
    uint8_t opaque1[520];
    uint32_t macroIds[kInputCount];
};

struct ConfigInfo {
    ProfileSlot slots[kSlotCount];
};

static_assert(sizeof(ProfileSlot) == 1600);
static_assert(offsetof(ProfileSlot, magic) == 0);
static_assert(offsetof(ProfileSlot, active) == 4);
static_assert(offsetof(ProfileSlot, opaque0) == 8);
static_assert(offsetof(ProfileSlot, path) == 532);
static_assert(offsetof(ProfileSlot, opaque1) == 1052);
static_assert(offsetof(ProfileSlot, macroIds) == 1572);
static_assert(sizeof(ConfigInfo) == 8000);
static_assert(std::is_trivially_copyable_v<ConfigInfo> && std::is_standard_layout_v<ConfigInfo>);

// A slot counts as the chosen profile (its button shows the selected look) when it is valid and active.
constexpr bool IsSelectedSlot(const ProfileSlot& slot) { return slot.magic == kSlotMagic && slot.active != 0; }

} // namespace n640
