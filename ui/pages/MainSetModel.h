#pragma once
// The rules of the main settings page and of the function chooser's write-back, over the active
// profile. The Win32 views and the command-line tool both edit a profile through these.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "config/ProfileImage.h"
#include "macro/MacroRecord.h"

namespace n640 {

using MacroAssignments = std::array<uint32_t, kInputCount>;

// The 14 selectable DPI values, in table order.
inline constexpr std::array<int, 14> kDpiTable = {500, 750, 1000, 1250, 1500, 2000, 2500,
                                                  3000, 3250, 3500, 4000, 5000, 6000, 7000};
// Report rates (reports per second) and their stored report intervals (milliseconds).
inline constexpr std::array<int, 4> kReportRates = {125, 250, 500, 1000};
inline constexpr std::array<int, 4> kReportIntervals = {8, 4, 2, 1};

constexpr int kMaxWheelLines = 30;
constexpr int kWheelScreen = -1;

// Whether DPI table entry `index` is one of the profile's levels.
bool IsDpiSelected(const ProfileImage& image, int index);

// A click on DPI button `index` (0..13): with seven levels selected only deselecting is possible,
// the only selected level cannot be deselected. The levels are rebuilt in table order. Returns
// whether the selection changed.
bool ClickDpi(ProfileImage& image, int index);

// Sets the levels to the given values (each a table value, 1..7 of them, no repeats); they are
// stored in table order. False, and the profile unchanged, for any other list.
bool SetDpiLevels(ProfileImage& image, std::span<const int> values);

// Report rate in reports per second (125, 250, 500, 1000); false for any other rate.
bool SetReportRate(ProfileImage& image, int reportsPerSecond);
// Reports per second of the stored interval; 0 when the interval is not one of the four.
int ReportRateOf(const ProfileImage& image);

// The scroll-lines entry's check: leading zeros dropped, empty -> 1, the leading number capped
// at 30. Returns the number the entry then shows.
int CheckScrollLines(std::u16string_view entryText);

// Brings an input's label into the interface language (chinese: Simplified Chinese, else
// English) when it is one of the seven default names of the other language. Returns whether the
// label changed.
bool TranslateDefaultLabel(ButtonRecord& record, bool chinese);

// What the chooser chose. The values are the function types the input's record then keeps.
enum class ChoiceKind : int {
    Function = 0,       // a basic function or the default setting: value is its function type
    Combination = 5,    // value is the combination code
    Macro = 6,          // value is the macro id
    Software = 19,      // value is the software function's code
    Disable = 121,
};

// The chooser's result.
struct ChooserResult {
    int input = 0;
    uint32_t value = 0;        // 0 = nothing chosen
    ChoiceKind kind = ChoiceKind::Function;
    int advChoice = 0;         // software function: 0 sound, 1 program, 2 file, 3 folder
    std::u16string advPath;
};

enum class WriteBackOutcome {
    Written,
    NothingChosen,             // value 0: OK acts as Cancel
    LeftClickRequired,         // the last left click would be lost
    NoSniperOnWheel,           // the sniper on wheel up or down
};

// The message a refused choice shows, in the interface language ("" when nothing was refused).
std::u16string WriteBackMessage(WriteBackOutcome outcome, bool chinese);

// Writes an accepted chooser result into the input's record and MacroAssignments; a refused one
// changes nothing. Labels are in the interface language; a macro's label is the name of the
// first library record with the chosen id.
WriteBackOutcome WriteBackChoice(ProfileImage& image, MacroAssignments& assignments,
                                 const ChooserResult& result, std::span<const MacroRecord> library, bool chinese);

// softCode of a software-function choice for an input.
constexpr uint32_t SoftwareCode(int choice, int input) {
    return 0x06u + ((0xC0u + 0x10u * static_cast<uint32_t>(choice) + static_cast<uint32_t>(input)) << 16);
}

} // namespace n640
