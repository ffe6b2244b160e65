#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace n640 {

// UTF-8 <-> UTF-16 for the terminal and for file names. Invalid input is replaced by U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// A path as text for messages. Never fails: bytes of a name that are not UTF-8 (possible on
// Linux) become U+FFFD.
std::u16string PathText(const std::filesystem::path& path);

// Equality ignoring the case of the ASCII letters only.
bool AsciiEqualNoCase(std::u16string_view a, std::u16string_view b);

// The u16 literal helper for tests and tables: ASCII only.
std::u16string Ascii16(std::string_view ascii);

} // namespace n640
