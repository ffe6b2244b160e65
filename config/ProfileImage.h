#pragma once
// The profile record: the whole configuration of one profile as the 22252-byte little-endian
// image that is kept in memory, written whole to ProfileN.cfg and read by the apply worker.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace n640 {

static_assert(std::endian::native == std::endian::little, "the data files are little-endian images");

constexpr uint32_t kProfileMagic = 0x80800302;
constexpr int kInputCount = 7;
constexpr int kDpiLevelCount = 7;
constexpr size_t kPathChars = 260;            // wchar[260] fields: 259 characters and a NUL
constexpr size_t kMaxPathLength = kPathChars - 1;

// Input indices, the same everywhere in the program.
enum Input : int {
    kInputLeft = 0,
    kInputMiddle = 1,
    kInputRight = 2,
    kInputForward = 3,
    kInputBack = 4,
    kInputWheelUp = 5,
    kInputWheelDown = 6,
};

// Default function type of each input, in input order.
inline constexpr std::array<int, kInputCount> kDefaultTypes = {1, 4, 2, 8, 16, 11, 22};

// softKind values of a software function (type 19).
enum SoftKind : uint32_t {
    kSoftSound = 0xC0,
    kSoftProgram = 0xD0,
    kSoftFile = 0xE0,
    kSoftFolder = 0xF0,
};

struct ButtonRecord {
    int32_t type;
    uint32_t macroId;
    uint32_t softKind;
    uint8_t reserved0[4];
    uint32_t comboCode;
    uint32_t softCode;
    char16_t softPath[kPathChars];
    uint8_t reserved1[4];
    char16_t label[kPathChars];
    uint8_t reserved2[2080];
};

struct ProfileSettingsTail {
    int32_t dpiLevels[kDpiLevelCount];
    uint8_t reserved0[92];
    int32_t sheightValue;
    int32_t reportInterval;
    int32_t lightMode;
    int32_t ownColours;
    uint32_t colours[4];
    int32_t colourFromSliders[4];
    int32_t swatchIndex[4];
    uint8_t reserved1[4];
    int32_t enhancePrecision;
    int32_t pointerSpeed;
    int32_t brightness;
    int32_t breathSpeed;
    int32_t cycleSpeed;
    int32_t wheelLines;
};

struct ProfileImage {
    uint32_t magic;
    ButtonRecord buttons[kInputCount];
    ProfileSettingsTail settings;
};

// The layout is the file format: every offset is checked.
static_assert(sizeof(ButtonRecord) == 3148);
static_assert(offsetof(ButtonRecord, type) == 0);
static_assert(offsetof(ButtonRecord, macroId) == 4);
static_assert(offsetof(ButtonRecord, softKind) == 8);
static_assert(offsetof(ButtonRecord, comboCode) == 16);
static_assert(offsetof(ButtonRecord, softCode) == 20);
static_assert(offsetof(ButtonRecord, softPath) == 24);
static_assert(offsetof(ButtonRecord, label) == 548);
static_assert(offsetof(ButtonRecord, reserved2) == 1068);

static_assert(sizeof(ProfileSettingsTail) == 212);
static_assert(offsetof(ProfileSettingsTail, dpiLevels) == 0);
static_assert(offsetof(ProfileSettingsTail, sheightValue) == 120);
static_assert(offsetof(ProfileSettingsTail, reportInterval) == 124);
static_assert(offsetof(ProfileSettingsTail, lightMode) == 128);
static_assert(offsetof(ProfileSettingsTail, ownColours) == 132);
static_assert(offsetof(ProfileSettingsTail, colours) == 136);
static_assert(offsetof(ProfileSettingsTail, colourFromSliders) == 152);
static_assert(offsetof(ProfileSettingsTail, swatchIndex) == 168);
static_assert(offsetof(ProfileSettingsTail, enhancePrecision) == 188);
static_assert(offsetof(ProfileSettingsTail, pointerSpeed) == 192);
static_assert(offsetof(ProfileSettingsTail, brightness) == 196);
static_assert(offsetof(ProfileSettingsTail, breathSpeed) == 200);
static_assert(offsetof(ProfileSettingsTail, cycleSpeed) == 204);
static_assert(offsetof(ProfileSettingsTail, wheelLines) == 208);

static_assert(sizeof(ProfileImage) == 22252);
static_assert(offsetof(ProfileImage, magic) == 0);
static_assert(offsetof(ProfileImage, buttons) == 4);
static_assert(offsetof(ProfileImage, settings) == 22040);

// Records are plain bytes: copyable with memcpy, zero-initialisable.
static_assert(std::is_trivially_copyable_v<ProfileImage> && std::is_standard_layout_v<ProfileImage>);

// Safe access to the wchar[260] fields. Reading stops at the first NUL or at the field's end, so a
// file whose string has no terminator is never read past the field; writing cuts at 259 units and
// always terminates.
std::u16string ReadField(const char16_t (&field)[kPathChars]);
void WriteField(char16_t (&field)[kPathChars], std::u16string_view text);

inline std::u16string GetLabel(const ButtonRecord& b) { return ReadField(b.label); }
inline std::u16string GetSoftPath(const ButtonRecord& b) { return ReadField(b.softPath); }
inline void SetLabel(ButtonRecord& b, std::u16string_view text) { WriteField(b.label, text); }
inline void SetSoftPath(ButtonRecord& b, std::u16string_view text) { WriteField(b.softPath, text); }

// A zero-filled image (every reserved byte zero); the default-profile builder fills it in.
ProfileImage ZeroProfileImage();

} // namespace n640
