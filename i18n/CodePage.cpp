#include "i18n/CodePage.h"

#include <array>
#include <cstring>
#include <set>
#include <vector>

namespace n640 {

namespace {

struct NameRow {
    std::string_view name;
    uint32_t codePage;
};

// Encoding names as Windows registers them, lower case.
constexpr NameRow kNames[] = {
    // Unicode
    {"utf-8", 65001}, {"unicode-1-1-utf-8", 65001}, {"unicode-2-0-utf-8", 65001},
    {"x-unicode11utf8", 65001}, {"x-unicode20utf8", 65001},
    {"utf-16", 1200}, {"unicode", 1200}, {"utf-16le", 1200}, {"ucs-2", 1200},
    {"iso-10646-ucs-2", 1200}, {"unicodefffe", 1201}, {"utf-16be", 1201},
    {"utf-32", 12000}, {"utf-32le", 12000}, {"utf-32be", 12001},
    {"utf-7", 65000}, {"csunicode11utf7", 65000}, {"unicode-1-1-utf-7", 65000},
    {"unicode-2-0-utf-7", 65000}, {"x-unicode11utf7", 65000}, {"x-unicode20utf7", 65000},
    // ASCII and ISO 8859
    {"us-ascii", 20127}, {"ascii", 20127}, {"ansi_x3.4-1968", 20127}, {"ansi_x3.4-1986", 20127},
    {"cp367", 20127}, {"csascii", 20127}, {"ibm367", 20127}, {"iso-ir-6", 20127},
    {"iso646-us", 20127}, {"iso_646.irv:1991", 20127}, {"us", 20127},
    {"iso-8859-1", 28591}, {"cp819", 28591}, {"csisolatin1", 28591}, {"ibm819", 28591},
    {"iso-ir-100", 28591}, {"iso8859-1", 28591}, {"iso_8859-1", 28591},
    {"iso_8859-1:1987", 28591}, {"l1", 28591}, {"latin1", 28591},
    {"iso-8859-2", 28592}, {"csisolatin2", 28592}, {"iso-ir-101", 28592}, {"iso8859-2", 28592},
    {"iso_8859-2", 28592}, {"iso_8859-2:1987", 28592}, {"l2", 28592}, {"latin2", 28592},
    {"iso-8859-3", 28593}, {"csisolatin3", 28593}, {"iso-ir-109", 28593}, {"iso_8859-3", 28593},
    {"iso_8859-3:1988", 28593}, {"l3", 28593}, {"latin3", 28593},
    {"iso-8859-4", 28594}, {"csisolatin4", 28594}, {"iso-ir-110", 28594}, {"iso_8859-4", 28594},
    {"iso_8859-4:1988", 28594}, {"l4", 28594}, {"latin4", 28594},
    {"iso-8859-5", 28595}, {"csisolatincyrillic", 28595}, {"cyrillic", 28595},
    {"iso-ir-144", 28595}, {"iso_8859-5", 28595}, {"iso_8859-5:1988", 28595},
    {"iso-8859-6", 28596}, {"arabic", 28596}, {"csisolatinarabic", 28596}, {"ecma-114", 28596},
    {"iso-ir-127", 28596}, {"iso_8859-6", 28596}, {"iso_8859-6:1987", 28596},
    {"iso-8859-7", 28597}, {"csisolatingreek", 28597}, {"ecma-118", 28597}, {"elot_928", 28597},
    {"greek", 28597}, {"greek8", 28597}, {"iso-ir-126", 28597}, {"iso_8859-7", 28597},
    {"iso_8859-7:1987", 28597},
    {"iso-8859-8", 28598}, {"csisolatinhebrew", 28598}, {"hebrew", 28598}, {"iso-ir-138", 28598},
    {"iso_8859-8", 28598}, {"iso_8859-8:1988", 28598}, {"visual", 28598},
    {"iso-8859-8-i", 38598}, {"logical", 38598},
    {"iso-8859-9", 28599}, {"csisolatin5", 28599}, {"iso-ir-148", 28599}, {"iso_8859-9", 28599},
    {"iso_8859-9:1989", 28599}, {"l5", 28599}, {"latin5", 28599},
    {"iso-8859-13", 28603},
    {"iso-8859-15", 28605}, {"csisolatin9", 28605}, {"iso_8859-15", 28605}, {"l9", 28605},
    {"latin9", 28605}, {"latin-9", 28605},
    // Windows
    {"windows-1250", 1250}, {"x-cp1250", 1250},
    {"windows-1251", 1251}, {"x-cp1251", 1251},
    {"windows-1252", 1252}, {"x-ansi", 1252},
    {"windows-1253", 1253}, {"windows-1254", 1254}, {"windows-1255", 1255},
    {"windows-1256", 1256}, {"cp1256", 1256}, {"windows-1257", 1257}, {"windows-1258", 1258},
    {"windows-874", 874}, {"dos-874", 874}, {"iso-8859-11", 874}, {"tis-620", 874},
    // DOS
    {"ibm437", 437}, {"cp437", 437}, {"437", 437}, {"cspc8codepage437", 437},
    {"asmo-708", 708}, {"dos-720", 720}, {"ibm737", 737}, {"ibm775", 775},
    {"ibm850", 850}, {"cp850", 850}, {"ibm852", 852}, {"cp852", 852},
    {"ibm855", 855}, {"cp855", 855}, {"ibm857", 857}, {"cp857", 857},
    {"ibm00858", 858}, {"ccsid00858", 858}, {"cp00858", 858}, {"pc-multilingual-850+euro", 858},
    {"ibm860", 860}, {"cp860", 860}, {"ibm861", 861}, {"cp861", 861},
    {"dos-862", 862}, {"cp862", 862}, {"ibm862", 862},
    {"ibm863", 863}, {"cp863", 863}, {"ibm864", 864}, {"cp864", 864},
    {"ibm865", 865}, {"cp865", 865}, {"cp866", 866}, {"ibm866", 866},
    {"ibm869", 869}, {"cp869", 869},
    // Cyrillic
    {"koi8-r", 20866}, {"cskoi8r", 20866}, {"koi", 20866}, {"koi8", 20866}, {"koi8r", 20866},
    {"koi8-u", 21866}, {"koi8-ru", 21866},
    // Chinese
    {"gb2312", 936}, {"gbk", 936}, {"chinese", 936}, {"cn-gb", 936}, {"csgb2312", 936},
    {"csgb231280", 936}, {"csiso58gb231280", 936}, {"gb_2312-80", 936}, {"gb231280", 936},
    {"gb2312-80", 936}, {"iso-ir-58", 936}, {"x-cp936", 936},
    {"gb18030", 54936}, {"hz-gb-2312", 52936}, {"euc-cn", 51936}, {"x-euc-cn", 51936},
    {"big5", 950}, {"cn-big5", 950}, {"csbig5", 950}, {"x-x-big5", 950}, {"big5-hkscs", 950},
    {"x-chinese-cns", 20000}, {"x-chinese-eten", 20002}, {"x-cp20936", 20936},
    // Japanese
    {"shift_jis", 932}, {"shift-jis", 932}, {"csshiftjis", 932}, {"cswindows31j", 932},
    {"ms_kanji", 932}, {"x-ms-cp932", 932}, {"x-sjis", 932}, {"sjis", 932}, {"windows-31j", 932},
    {"euc-jp", 51932}, {"cseucpkdfmtjapanese", 51932},
    {"extended_unix_code_packed_format_for_japanese", 51932}, {"x-euc", 51932},
    {"x-euc-jp", 51932},
    {"iso-2022-jp", 50220}, {"csiso2022jp", 50221}, {"_iso-2022-jp", 50221},
    {"_iso-2022-jp$sio", 50222}, {"x-mac-japanese", 10001},
    // Korean
    {"euc-kr", 949}, {"ks_c_5601-1987", 949}, {"ks_c_5601", 949}, {"ks_c_5601-1989", 949},
    {"ks_c_5601_1987", 949}, {"ksc5601", 949}, {"ksc_5601", 949}, {"korean", 949},
    {"iso-ir-149", 949}, {"csksc56011987", 949}, {"cseuckr", 949},
    {"iso-2022-kr", 50225}, {"csiso2022kr", 50225}, {"johab", 1361}, {"x-cp20949", 20949},
    // Macintosh
    {"macintosh", 10000}, {"x-mac-chinesetrad", 10002}, {"x-mac-korean", 10003},
    {"x-mac-arabic", 10004}, {"x-mac-hebrew", 10005}, {"x-mac-greek", 10006},
    {"x-mac-cyrillic", 10007}, {"x-mac-chinesesimp", 10008}, {"x-mac-romanian", 10010},
    {"x-mac-ukrainian", 10017}, {"x-mac-thai", 10021}, {"x-mac-ce", 10029},
    {"x-mac-icelandic", 10079}, {"x-mac-turkish", 10081}, {"x-mac-croatian", 10082},
    // Indian scripts
    {"x-iscii-de", 57002}, {"x-iscii-be", 57003}, {"x-iscii-ta", 57004}, {"x-iscii-te", 57005},
    {"x-iscii-as", 57006}, {"x-iscii-or", 57007}, {"x-iscii-ka", 57008}, {"x-iscii-ma", 57009},
    {"x-iscii-gu", 57010}, {"x-iscii-pa", 57011},
    // IA5
    {"x-ia5", 20105}, {"din_66003", 20106}, {"german", 20106}, {"x-ia5-german", 20106},
    {"sen_850200_b", 20107}, {"x-ia5-swedish", 20107}, {"ns_4551-1", 20108},
    {"x-ia5-norwegian", 20108}, {"x-europa", 29001},
    // EBCDIC
    {"ibm037", 37}, {"cp037", 37}, {"csibm037", 37}, {"ebcdic-cp-us", 37}, {"ebcdic-cp-ca", 37},
    {"ebcdic-cp-wt", 37}, {"ebcdic-cp-nl", 37},
    {"ibm500", 500}, {"cp500", 500}, {"csibm500", 500}, {"ebcdic-cp-be", 500},
    {"ebcdic-cp-ch", 500},
    {"ibm870", 870}, {"cp870", 870}, {"csibm870", 870}, {"ebcdic-cp-roece", 870},
    {"ebcdic-cp-yu", 870}, {"cp875", 875},
    {"ibm1026", 1026}, {"cp1026", 1026}, {"csibm1026", 1026}, {"ibm01047", 1047},
    {"ibm01140", 1140}, {"ccsid01140", 1140}, {"cp01140", 1140}, {"ebcdic-us-37+euro", 1140},
    {"ibm01141", 1141}, {"ibm01142", 1142}, {"ibm01143", 1143}, {"ibm01144", 1144},
    {"ibm01145", 1145}, {"ibm01146", 1146}, {"ibm01147", 1147}, {"ibm01148", 1148},
    {"ibm01149", 1149},
    {"ibm273", 20273}, {"cp273", 20273}, {"csibm273", 20273},
    {"ibm277", 20277}, {"ebcdic-cp-dk", 20277}, {"ebcdic-cp-no", 20277},
    {"ibm278", 20278}, {"cp278", 20278}, {"ebcdic-cp-fi", 20278}, {"ebcdic-cp-se", 20278},
    {"ibm280", 20280}, {"cp280", 20280}, {"ebcdic-cp-it", 20280},
    {"ibm284", 20284}, {"cp284", 20284}, {"ebcdic-cp-es", 20284},
    {"ibm285", 20285}, {"cp285", 20285}, {"ebcdic-cp-gb", 20285},
    {"ibm290", 20290}, {"cp290", 20290}, {"ebcdic-jp-kana", 20290},
    {"ibm297", 20297}, {"cp297", 20297}, {"ebcdic-cp-fr", 20297},
    {"ibm420", 20420}, {"cp420", 20420}, {"ebcdic-cp-ar1", 20420},
    {"ibm423", 20423}, {"cp423", 20423}, {"ebcdic-cp-gr", 20423},
    {"ibm424", 20424}, {"cp424", 20424}, {"ebcdic-cp-he", 20424},
    {"x-ebcdic-koreanextended", 20833}, {"ibm-thai", 20838},
    {"ibm871", 20871}, {"cp871", 20871}, {"ebcdic-cp-is", 20871},
    {"ibm880", 20880}, {"cp880", 20880}, {"ebcdic-cyrillic", 20880},
    {"ibm905", 20905}, {"cp905", 20905}, {"ebcdic-cp-tr", 20905},
    {"ibm00924", 20924}, {"ccsid00924", 20924}, {"cp00924", 20924}, {"ebcdic-latin9--euro", 20924},
};

constexpr size_t kBuckets = 150;
constexpr size_t kMaxName = 100;

size_t BucketOf(std::u16string_view lowerName) {
    size_t sum = 0;
    for (char16_t c : lowerName) sum += c;
    return sum % kBuckets;
}

// The table as 150 hash buckets, each one string of entries: two decimal digits of name length,
// five decimal digits of code page, then the name.
const std::array<std::u16string, kBuckets>& Buckets() {
    static const std::array<std::u16string, kBuckets> buckets = [] {
        std::array<std::u16string, kBuckets> b;
        for (const auto& row : kNames) {
            const std::u16string name(row.name.begin(), row.name.end());
            std::string head = std::to_string(100 + name.size()).substr(1) +
                               std::to_string(100000 + row.codePage).substr(1);
            auto& bucket = b[BucketOf(name)];
            bucket.append(head.begin(), head.end());
            bucket += name;
        }
        return b;
    }();
    return buckets;
}

}  // namespace

uint32_t CodePageOfName(std::u16string_view name) {
    if (name.substr(0, 6) == u"UTF-32") return cp::kUtf32;
    if (name.empty() || name.size() >= kMaxName) return cp::kAnsi;
    std::u16string lower(name);
    for (auto& c : lower) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    }
    const std::u16string& bucket = Buckets()[BucketOf(lower)];
    size_t pos = 0;
    while (pos + 7 <= bucket.size()) {
        const size_t len = (bucket[pos] - u'0') * 10 + (bucket[pos + 1] - u'0');
        uint32_t codePage = 0;
        for (size_t i = 2; i < 7; ++i) codePage = codePage * 10 + (bucket[pos + i] - u'0');
        if (std::u16string_view(bucket).substr(pos + 7, len) == lower) return codePage;
        pos += 7 + len;
    }
    return cp::kAnsi;
}

size_t CodePageNameCount() { return std::size(kNames); }

size_t CodePageCount() {
    std::set<uint32_t> pages;
    for (const auto& row : kNames) pages.insert(row.codePage);
    return pages.size();
}

// Runs of ASCII are copied sixteen or eight bytes a step, two- and three-byte sequences taken at
// once; everything else goes through the general path.
void DecodeUtf8Into(std::string_view in, std::u16string& out) {
    out.resize(in.size());  // never more units than bytes
    char16_t* o = out.data();
    const auto* p = reinterpret_cast<const uint8_t*>(in.data());
    const size_t n = in.size();
    size_t i = 0;
    while (i < n) {
        const uint8_t b = p[i];
        if (b < 0x80) {
            if (i + 16 <= n) {
                // Through a local copy: the stores cannot change it, so the widening vectorises.
                uint8_t chunk[16];
                std::memcpy(chunk, p + i, sizeof chunk);
                uint64_t lo, hi;
                std::memcpy(&lo, chunk, sizeof lo);
                std::memcpy(&hi, chunk + 8, sizeof hi);
                if (((lo | hi) & 0x8080808080808080ull) == 0) {
                    for (size_t k = 0; k < 16; ++k) o[k] = chunk[k];
                    o += 16;
                    i += 16;
                    continue;
                }
            }
            if (i + 8 <= n) {
                uint8_t chunk[8];
                std::memcpy(chunk, p + i, sizeof chunk);
                uint64_t word;
                std::memcpy(&word, chunk, sizeof word);
                if ((word & 0x8080808080808080ull) == 0) {
                    for (size_t k = 0; k < 8; ++k) o[k] = chunk[k];
                    o += 8;
                    i += 8;
                    continue;
                }
            }
            *o++ = b;
            ++i;
            continue;
        }
        if ((b & 0xE0) == 0xC0 && i + 1 < n && (p[i + 1] & 0xC0) == 0x80 && b >= 0xC2) {
            *o++ = static_cast<char16_t>((b & 0x1F) << 6 | (p[i + 1] & 0x3F));
            i += 2;
            continue;
        }
        if ((b & 0xF0) == 0xE0 && i + 2 < n && (p[i + 1] & 0xC0) == 0x80 && (p[i + 2] & 0xC0) == 0x80) {
            // Three bytes: what the general path below gives when they decode.
            const uint32_t code = (b & 0x0Fu) << 12 | (p[i + 1] & 0x3Fu) << 6 | (p[i + 2] & 0x3Fu);
            if (code >= 0x800 && (code < 0xD800 || code > 0xDFFF)) {
                *o++ = static_cast<char16_t>(code);
                i += 3;
                continue;
            }
        }
        int extra = 0;
        uint32_t code = 0;
        uint32_t min = 0;
        if ((b & 0xE0) == 0xC0) { code = b & 0x1F; extra = 1; min = 0x80; }
        else if ((b & 0xF0) == 0xE0) { code = b & 0x0F; extra = 2; min = 0x800; }
        else if ((b & 0xF8) == 0xF0) { code = b & 0x07; extra = 3; min = 0x10000; }
        else { *o++ = u'?'; ++i; continue; }
        size_t j = 1;
        for (; j <= static_cast<size_t>(extra); ++j) {
            if (i + j >= n || (p[i + j] & 0xC0) != 0x80) break;
            code = (code << 6) | (p[i + j] & 0x3F);
        }
        i += j;
        if (j <= static_cast<size_t>(extra)) {
            *o++ = u'?';  // truncated: one '?' for the lead and the continuation bytes seen
        } else if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            *o++ = u'?';
        } else if (code >= 0x10000) {
            code -= 0x10000;
            *o++ = static_cast<char16_t>(0xD800 + (code >> 10));
            *o++ = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            *o++ = static_cast<char16_t>(code);
        }
    }
    out.resize(static_cast<size_t>(o - out.data()));
}

std::u16string DecodeUtf8(std::string_view in) {
    std::u16string out;
    DecodeUtf8Into(in, out);
    return out;
}

namespace {

std::u16string DecodeUtf16(std::string_view in, bool bigEndian) {
    std::u16string out;
    out.reserve(in.size() / 2);
    for (size_t i = 0; i + 1 < in.size(); i += 2) {
        const auto a = static_cast<uint8_t>(in[i]);
        const auto b = static_cast<uint8_t>(in[i + 1]);
        out.push_back(static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a)));
    }
    return out;
}

std::u16string DecodeUtf32(std::string_view in, bool bigEndian) {
    std::u16string out;
    out.reserve(in.size() / 4);
    for (size_t i = 0; i + 3 < in.size(); i += 4) {
        uint32_t code = 0;
        for (size_t k = 0; k < 4; ++k) {
            const uint32_t byte = static_cast<uint8_t>(in[i + (bigEndian ? k : 3 - k)]);
            code = code << 8 | byte;
        }
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            out.push_back(u'?');
        } else if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
    }
    return out;
}

}  // namespace

std::u16string BytesToUtf16(uint32_t codePage, std::string_view bytes, std::u16string* note) {
    switch (codePage) {
    case cp::kUtf8: return DecodeUtf8(bytes);
    case cp::kUtf16Le: return DecodeUtf16(bytes, false);
    case cp::kUtf16Be: return DecodeUtf16(bytes, true);
    case cp::kUtf32Le:
    case cp::kUtf32: return DecodeUtf32(bytes, false);
    case cp::kUtf32Be: return DecodeUtf32(bytes, true);
    default: return PlatformBytesToUtf16(codePage, bytes, note);
    }
}

}  // namespace n640
