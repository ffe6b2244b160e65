#pragma once
// Function types of an input and the 32-bit device codes the mouse receives for them.

#include <array>
#include <cstdint>
#include <string_view>

#include "config/ProfileImage.h"

namespace n640 {

// Function type codes kept in ButtonRecord::type.
enum FunctionType : int {
    kTypeClick = 1,
    kTypeMenu = 2,
    kTypeMiddle = 4,
    kTypeCombination = 5,
    kTypeMacro = 6,
    kTypeForward = 8,
    kTypeScrollUp = 11,
    kTypeBack = 16,
    kTypeSoftware = 19,
    kTypeScrollDown = 22,
    kTypePlayPause = 32,
    kTypeStop = 33,
    kTypePrevious = 34,
    kTypeNext = 35,
    kTypeVolumeUp = 37,
    kTypeVolumeDown = 38,
    kTypeMute = 39,
    kTypeMusic = 40,
    kTypeCloseWindow = 81,
    kTypeLockPc = 82,
    kTypeRun = 84,
    kTypeShowDesktop = 85,
    kTypeDisable = 121,
    kTypeClassicDesktop = 123,
    kTypeSwitchApps = 124,
    kTypeSearch = 125,
    kTypeZoomIn = 126,
    kTypeZoomOut = 127,
    kTypeSnipe = 142,
    kTypeFire = 143,
};

// One item of the chooser's basic list: its language key and function type.
struct BasicListItem {
    std::string_view languageKey;
    int type;
};
extern const std::array<BasicListItem, 24> kBasicList;

// Per input: default device code, native event (as the hook reports it) and key-matrix slot.
struct InputInfo {
    int defaultType;
    uint32_t defaultCode;
    uint32_t nativeEvent;
    int matrixSlot;
};
extern const std::array<InputInfo, kInputCount> kInputs;

// Device code of a fixed function type; 0 for types that have none of their own (5, 6, 19, and
// every code that is not valid).
uint32_t FixedDeviceCode(int type);
bool IsValidType(int type);
// The other way: the function type whose fixed device code this is; 0 when none has it.
int FunctionTypeOfCode(uint32_t code);

// Device code of an input: for a macro, slot and entry count are supplied by the apply loop.
uint32_t DeviceCodeOf(int input, const ButtonRecord& record, int macroSlot = 0, uint32_t macroEntries = 0);

// Key-combination code from the four modifier boxes and a captured virtual key (0 = none).
uint32_t EncodeCombination(bool ctrl, bool shift, bool alt, bool win, uint32_t vk);

// True when the input's type differs from its default type.
bool IsChanged(int input, const ProfileImage& image);

} // namespace n640
