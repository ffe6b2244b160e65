#pragma once
// Encoding names and code pages: the names Windows registers for its code pages (IANA charset
// names with their Microsoft aliases) and the conversion of bytes in a code page to UTF-16.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace n640 {

namespace cp {
constexpr uint32_t kAnsi = 0;  // the system's ANSI code page
constexpr uint32_t kWindows1251 = 1251;
constexpr uint32_t kWindows1252 = 1252;
constexpr uint32_t kUtf16Le = 1200;
constexpr uint32_t kUtf16Be = 1201;
constexpr uint32_t kUtf32Le = 12000;
constexpr uint32_t kUtf32Be = 12001;
constexpr uint32_t kUsAscii = 20127;
constexpr uint32_t kIso8859_1 = 28591;
constexpr uint32_t kUtf32 = 65005;  // any name beginning with "UTF-32"
constexpr uint32_t kUtf7 = 65000;
constexpr uint32_t kUtf8 = 65001;
}  // namespace cp

// Code page of an encoding name: a name beginning with exactly "UTF-32" is 65005; otherwise the
// name is lower-cased (A to Z) and looked up in the name table. Empty, unknown and names of 100
// or more units give 0.
uint32_t CodePageOfName(std::u16string_view name);

// Size of the name table and the number of distinct code pages in it.
size_t CodePageNameCount();
size_t CodePageCount();

// UTF-8 to UTF-16; a sequence that does not decode becomes '?'.
std::u16string DecodeUtf8(std::string_view bytes);
// The same into out, reusing its storage.
void DecodeUtf8Into(std::string_view bytes, std::u16string& out);

// Bytes in a code page to UTF-16. UTF-8, UTF-16 and UTF-32 (both byte orders) are converted here
// on every platform; the rest by the platform: MultiByteToWideChar on Windows; elsewhere
// US-ASCII, ISO-8859-1, Windows-1252 and Windows-1251 by tables, with Windows-1252 standing for the
// ANSI code page 0, and every other code page through the C library's iconv (a byte that does not
// decode becomes '?'); a code page the C library lacks is read as ISO-8859-1. When the platform can
// only approximate the code page, a remark for the load notes is put into note (when given).
std::u16string BytesToUtf16(uint32_t codePage, std::string_view bytes, std::u16string* note = nullptr);

// The platform's part of BytesToUtf16 (i18n/win, i18n/linux).
std::u16string PlatformBytesToUtf16(uint32_t codePage, std::string_view bytes, std::u16string* note);

}  // namespace n640
