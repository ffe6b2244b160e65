// Code pages without the Windows conversion tables: US-ASCII, ISO-8859-1, Windows-1252 and
// Windows-1251 are converted here; the system's ANSI code page is taken to be Windows-1252 (what an
// English Windows uses); every other code page goes through the C library's iconv under its name
// there, and one the C library does not know is read as ISO-8859-1 with a remark in the load notes.

#include <iconv.h>

#include <array>
#include <cerrno>
#include <string>
#include <vector>

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

constexpr char16_t FromUsAscii(uint8_t b) { return b < 0x80 ? b : u'?'; }
constexpr char16_t FromIso8859_1(uint8_t b) { return b; }
constexpr char16_t FromWindows1252(uint8_t b) { return (b >= 0x80 && b < 0xA0) ? kWindows1252High[b - 0x80] : b; }
constexpr char16_t FromWindows1251(uint8_t b) {
    if (b < 0x80) return b;
    if (b < 0xC0) return kWindows1251High[b - 0x80];
    return static_cast<char16_t>(0x0410 + (b - 0xC0));
}

// A single-byte code page as a table of its 256 characters.
using ByteTable = std::array<char16_t, 256>;
template <char16_t (*From)(uint8_t)>
constexpr ByteTable MakeByteTable() {
    ByteTable table{};
    for (int b = 0; b < 256; ++b) table[static_cast<size_t>(b)] = From(static_cast<uint8_t>(b));
    return table;
}
constexpr ByteTable kUsAsciiTable = MakeByteTable<FromUsAscii>();
constexpr ByteTable kIso8859_1Table = MakeByteTable<FromIso8859_1>();
constexpr ByteTable kWindows1252Table = MakeByteTable<FromWindows1252>();
constexpr ByteTable kWindows1251Table = MakeByteTable<FromWindows1251>();

// One character a byte, written in place: language files are read at every switch.
void DecodeSingleByte(const ByteTable& table, std::string_view bytes, std::u16string& out) {
    out.resize(bytes.size());
    char16_t* to = out.data();
    for (const char c : bytes) *to++ = table[static_cast<uint8_t>(c)];
}

// The C library's names for the code pages whose iconv name is not simply CP<number> or
// IBM<number>.
struct IconvName {
    uint32_t codePage;
    const char* name;
};
constexpr IconvName kIconvNames[] = {
    {708, "ISO-8859-6"},     {874, "CP874"},          {932, "CP932"},          {936, "CP936"},
    {949, "CP949"},          {950, "BIG5"},           {1361, "JOHAB"},         {10000, "MACINTOSH"},
    {10004, "MAC-ARABIC"},   {10006, "MAC-GREEK"},    {10007, "MAC-CYRILLIC"}, {10017, "MAC-UK"},
    {10029, "MAC-CENTRALEUROPE"}, {10079, "MAC-IS"},  {10081, "MAC-TURKISH"},  {10082, "MACCROATIAN"},
    {20866, "KOI8-R"},       {20936, "GB2312"},       {21866, "KOI8-U"},       {20838, "IBM-THAI"},
    {20924, "IBM924"},       {28592, "ISO-8859-2"},   {28593, "ISO-8859-3"},   {28594, "ISO-8859-4"},
    {28595, "ISO-8859-5"},   {28596, "ISO-8859-6"},   {28597, "ISO-8859-7"},   {28598, "ISO-8859-8"},
    {28599, "ISO-8859-9"},   {28603, "ISO-8859-13"},  {28605, "ISO-8859-15"},  {38598, "ISO-8859-8"},
    {50220, "ISO-2022-JP"},  {50221, "ISO-2022-JP"},  {50222, "ISO-2022-JP"},  {50225, "ISO-2022-KR"},
    {51932, "EUC-JP"},       {51936, "EUC-CN"},       {51949, "EUC-KR"},       {54936, "GB18030"},
    {65000, "UTF-7"},
};

// A conversion to UTF-16LE from the code page, or (iconv_t)-1 when the C library has none.
iconv_t OpenIconv(uint32_t codePage) {
    std::vector<std::string> names;
    for (const IconvName& n : kIconvNames)
        if (n.codePage == codePage) names.emplace_back(n.name);
    names.push_back("CP" + std::to_string(codePage));
    names.push_back("IBM" + std::to_string(codePage));
    for (const std::string& name : names) {
        const iconv_t cd = ::iconv_open("UTF-16LE", name.c_str());
        if (cd != reinterpret_cast<iconv_t>(-1)) return cd;
    }
    return reinterpret_cast<iconv_t>(-1);
}

// Converts through iconv; a byte that does not decode becomes '?' and the conversion goes on after
// it. False when the C library does not know the code page.
bool IconvToUtf16(uint32_t codePage, std::string_view bytes, std::u16string& out) {
    const iconv_t cd = OpenIconv(codePage);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out.clear();
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    std::array<char, 8192> buffer;
    auto flush = [&](const char* end) {
        for (const char* p = buffer.data(); p + 1 < end; p += 2)
            out.push_back(static_cast<char16_t>(static_cast<uint8_t>(p[0]) | static_cast<uint8_t>(p[1]) << 8));
    };
    while (inLeft > 0) {
        char* o = buffer.data();
        size_t oLeft = buffer.size();
        const size_t r = ::iconv(cd, &in, &inLeft, &o, &oLeft);
        flush(o);
        if (r != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        // An invalid or cut-off sequence: one '?' for its first byte.
        out.push_back(u'?');
        ++in;
        --inLeft;
        ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // The end of a stateful encoding (a final shift back) may still produce units.
    char* o = buffer.data();
    size_t oLeft = buffer.size();
    ::iconv(cd, nullptr, nullptr, &o, &oLeft);
    flush(o);
    ::iconv_close(cd);
    return true;
}

}  // namespace

std::u16string PlatformBytesToUtf16(uint32_t codePage, std::string_view bytes, std::u16string* note) {
    std::u16string out;
    switch (codePage) {
    case cp::kUsAscii:
        DecodeSingleByte(kUsAsciiTable, bytes, out);
        break;
    case cp::kAnsi:
    case cp::kWindows1252:
        DecodeSingleByte(kWindows1252Table, bytes, out);
        break;
    case cp::kWindows1251:
        DecodeSingleByte(kWindows1251Table, bytes, out);
        break;
    case cp::kIso8859_1:
        DecodeSingleByte(kIso8859_1Table, bytes, out);
        break;
    default:
        out.reserve(bytes.size());
        if (IconvToUtf16(codePage, bytes, out)) break;
        out.clear();
        if (note) {
            const std::string text = "(code page " + std::to_string(codePage) + " read as ISO-8859-1) ";
            note->append(text.begin(), text.end());
        }
        DecodeSingleByte(kIso8859_1Table, bytes, out);
        break;
    }
    return out;
}

}  // namespace n640
