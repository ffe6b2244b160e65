#include "functions/FunctionModel.h"

#include "functions/KeyNames.h"

namespace n640 {

const std::array<BasicListItem, 24> kBasicList = {{
    {"str_close", kTypeCloseWindow},
    {"str_lock", kTypeLockPc},
    {"str_run", kTypeRun},
    {"str_show", kTypeShowDesktop},
    {"str_win8_classic", kTypeClassicDesktop},
    {"str_win8_switch", kTypeSwitchApps},
    {"str_win8_winp", kTypeZoomIn},
    {"str_win8_winm", kTypeZoomOut},
    {"str_find", kTypeSearch},
    {"str_mouseleft", kTypeClick},
    {"str_mouseright", kTypeMenu},
    {"str_mousemiddle", kTypeMiddle},
    {"str_pre", kTypeForward},
    {"str_back", kTypeBack},
    {"str_player", kTypeMusic},
    {"str_PL", kTypePlayPause},
    {"str_stop", kTypeStop},
    {"str_pre_media", kTypePrevious},
    {"str_next_media", kTypeNext},
    {"str_vol_dw", kTypeVolumeDown},
    {"str_vol_up", kTypeVolumeUp},
    {"str_mute", kTypeMute},
    {"str_snipe", kTypeSnipe},
    {"str_fire", kTypeFire},
}};

// Native events as the mouse hook reports them: the message number, and for the extra buttons
// and the wheel the button number or wheel direction in the bits above it.
const std::array<InputInfo, kInputCount> kInputs = {{
    {kTypeClick, 0x00F00001, 0x201, 0},
    {kTypeMiddle, 0x00F20001, 0x207, 2},
    {kTypeMenu, 0x00F10001, 0x204, 1},
    {kTypeForward, 0x00F40001, 0x2020B, 5},
    {kTypeBack, 0x00F30001, 0x1020B, 4},
    {kTypeScrollUp, 0x00010004, 0x20A01, 14},
    {kTypeScrollDown, 0x00020004, 0x20A00, 15},
}};

namespace {

struct TypeCode {
    int type;
    uint32_t code;
};

// Every valid function type; 0 marks the types whose code depends on the record or the input.
constexpr TypeCode kTypeCodes[] = {
    {kTypeClick, 0x00F00001},
    {kTypeMenu, 0x00F10001},
    {kTypeMiddle, 0x00F20001},
    {kTypeCombination, 0},
    {kTypeMacro, 0},
    {kTypeForward, 0x00F40001},
    {kTypeScrollUp, 0x00010004},
    {kTypeBack, 0x00F30001},
    {kTypeSoftware, 0},
    {kTypeScrollDown, 0x00020004},
    {kTypePlayPause, 0x00CD0003},
    {kTypeStop, 0x00B70003},
    {kTypePrevious, 0x00B60003},
    {kTypeNext, 0x00B50003},
    {kTypeVolumeUp, 0x00E90003},
    {kTypeVolumeDown, 0x00EA0003},
    {kTypeMute, 0x00E20003},
    {kTypeMusic, 0x01830003},
    {kTypeCloseWindow, 0x003D0400},
    {kTypeLockPc, 0x000F0800},
    {kTypeRun, 0x00150800},
    {kTypeShowDesktop, 0x00070800},
    {kTypeDisable, 0x00000007},
    {kTypeClassicDesktop, 0x00100800},
    {kTypeSwitchApps, 0x002B0400},
    {kTypeSearch, 0x00140800},
    {kTypeZoomIn, 0x00570800},
    {kTypeZoomOut, 0x00560800},
    {kTypeSnipe, 0x08040007},
    {kTypeFire, 0x0218F00A},
};

const TypeCode* FindType(int type) {
    for (const TypeCode& row : kTypeCodes) {
        if (row.type == type) return &row;
    }
    return nullptr;
}

bool IsValidInput(int input) { return input >= 0 && input < kInputCount; }

} // namespace

uint32_t FixedDeviceCode(int type) {
    const TypeCode* row = FindType(type);
    return row ? row->code : 0;
}

bool IsValidType(int type) { return FindType(type) != nullptr; }

int FunctionTypeOfCode(uint32_t code) {
    if (code == 0) return 0;
    for (const TypeCode& row : kTypeCodes) {
        if (row.code == code) return row.type;
    }
    return 0;
}

uint32_t DeviceCodeOf(int input, const ButtonRecord& record, int macroSlot, uint32_t macroEntries) {
    if (!IsValidInput(input)) return 0;
    switch (record.type) {
    case kTypeCombination:
        return record.comboCode;
    case kTypeMacro:
        // Slot and count each own one byte; neither may spill into the other's.
        return 0x09u + (static_cast<uint32_t>(macroSlot) & 0xFFu) * 0x10000u + (macroEntries & 0xFFu) * 0x1000000u;
    case kTypeSoftware:
        // The mouse keeps reporting the input's native event; the hook performs the function.
        return kInputs[input].defaultCode;
    default:
        return FixedDeviceCode(record.type);
    }
}

uint32_t EncodeCombination(bool ctrl, bool shift, bool alt, bool win, uint32_t vk) {
    const uint32_t mods = (ctrl ? 1u : 0u) | (shift ? 2u : 0u) | (alt ? 4u : 0u) | (win ? 8u : 0u);
    // A code above 0xFF is no virtual key; it must not alias one by truncation.
    const uint32_t usage = vk <= 0xFF ? VkToUsage(static_cast<uint8_t>(vk)) : 0;
    if (mods != 0 && usage != 0) return usage * 0x10000u + mods * 0x100u;
    if (mods != 0 && usage == 0) {
        switch (mods) {
        case 1: return 0xE0u * 0x10000u;
        case 2: return 0xE1u * 0x10000u;
        case 4: return 0xE2u * 0x10000u;
        case 8: return 0xE3u * 0x10000u;
        default: return 0;
        }
    }
    if (usage != 0) return usage * 0x10000u;
    return 0;
}

bool IsChanged(int input, const ProfileImage& image) {
    if (!IsValidInput(input)) return false;
    return image.buttons[input].type != kInputs[input].defaultType;
}

} // namespace n640
