// Code pages without the Windows conversion tables: US-ASCII, ISO-8859-1, Windows-1252 and
// Windows-1251 are converted here; the system's ANSI code page is taken to be Windows-1252, and
// any other code page is read as ISO-8859-1 with a remark in the load notes.

#include <array>
#include <string>

#include "i18n/CodePage.h"

namespace n640 {

namespace {

// 0x80..0x9F of Windows-1252 (the rest is ISO-8859-1); unassigned bytes map to themselves.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// 0x80..0xBF of Windows-1251; 0xC0..0xFF are U+0410..U+044F.
constexpr std::array<char16_t, 64> kWindows1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

char16_t FromWindows1252(uint8_t b) { return (b >= 0x80 && b < 0xA0) ? kWindows1252High[b - 0x80] : b; }
char16_t FromWindows1251(uint8_t b) {
    if (b < 0x80) return b;
    if (b < 0xC0) return kWindows1251High[b - 0x80];
    return static_cast<char16_t>(0x0410 + (b - 0xC0));
}

}  // namespace

std::u16string PlatformBytesToUtf16(uint32_t codePage, std::string_view bytes, std::u16string* note) {
    std::u16string out;
    out.reserve(bytes.size());
    switch (codePage) {
    case cp::kUsAscii:
        for (char c : bytes) out.push_back(static_cast<uint8_t>(c) < 0x80 ? static_cast<char16_t>(c) : u'?');
        break;
    case cp::kAnsi:
    case cp::kWindows1252:
        for (char c : bytes) out.push_back(FromWindows1252(static_cast<uint8_t>(c)));
        break;
    case cp::kWindows1251:
        for (char c : bytes) out.push_back(FromWindows1251(static_cast<uint8_t>(c)));
        break;
    default:
        if (codePage != cp::kIso8859_1 && note) {
            const std::string text = "(code page " + std::to_string(codePage) + " read as ISO-8859-1) ";
            note->append(text.begin(), text.end());
        }
        for (char c : bytes) out.push_back(static_cast<uint8_t>(c));
        break;
    }
    return out;
}

}  // namespace n640
