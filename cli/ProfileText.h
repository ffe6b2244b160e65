#pragma once
// Readable text of a profile for the terminal, and the parsers of the `set` command's values.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "config/ProfileImage.h"
#include "macro/MacroRecord.h"
#include "ui/pages/MainSetModel.h"

namespace n640::cli {

// A 32-bit value as 0x%08X (macro ids, device codes).
std::string Hex32(uint32_t v);

// "left", "middle", "right", "forward", "back", "wheel-up", "wheel-down".
std::string InputName(int input);
// Input by number 0..6 or by name.
std::optional<int> ParseInput(const std::string& text);

// What an input does, e.g. "Click", "key Shift + Ctrl + C", "macro 0x15000042 \"Reload\"",
// "program C:\\Games\\run.exe".
std::string DescribeInput(const ButtonRecord& record, uint32_t assignedMacro);

// The whole profile, one setting per line.
std::string DescribeProfile(const ProfileImage& image, const MacroAssignments& assignments);

// Colour as #RRGGBB from a 0x00BBGGRR value, and back.
std::string ColourText(uint32_t bgr);
std::optional<uint32_t> ParseColour(const std::string& text);

// Lighting modes by name: steady, breathing, effect3, effect4, cycle, off (1..6).
std::string LightModeName(int mode);
std::optional<int> ParseLightMode(const std::string& text);

// A FUNCTION operand of `set … button`: a basic-list name ("Volume up", "volume-up"), a
// combination ("Ctrl+Shift+C"), "macro:ID", "disable", "sound:PATH", "program:PATH", "file:PATH",
// "folder:PATH" or "default" (the input's default). Returns the chooser result it stands for, or
// an error text.
struct FunctionChoice {
    ChooserResult result;
    std::string error;
};
FunctionChoice ParseFunction(int input, const std::string& text);

// A whole number in [min, max] written in decimal (or 0x hex when hex is allowed).
std::optional<long long> ParseNumber(const std::string& text, long long min, long long max, bool allowHex = false);

} // namespace n640::cli
