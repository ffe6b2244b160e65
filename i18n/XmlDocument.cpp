#include "i18n/XmlDocument.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <unordered_map>

#include "i18n/CodePage.h"
#include "i18n/FileBytes.h"
#include "platform/Text.h"

namespace n640 {

namespace xml {

namespace {

struct EntityRow {
    std::string_view name;
    uint32_t codePoint;
};

// The named character references of HTML 4.01, and apos.
constexpr EntityRow kEntities[] = {
    {"quot", 34}, {"amp", 38}, {"lt", 60}, {"gt", 62}, {"nbsp", 160}, {"iexcl", 161},
    {"cent", 162}, {"pound", 163}, {"curren", 164}, {"yen", 165}, {"brvbar", 166}, {"sect", 167},
    {"uml", 168}, {"copy", 169}, {"ordf", 170}, {"laquo", 171}, {"not", 172}, {"shy", 173},
    {"reg", 174}, {"macr", 175}, {"deg", 176}, {"plusmn", 177}, {"sup2", 178}, {"sup3", 179},
    {"acute", 180}, {"micro", 181}, {"para", 182}, {"middot", 183}, {"cedil", 184}, {"sup1", 185},
    {"ordm", 186}, {"raquo", 187}, {"frac14", 188}, {"frac12", 189}, {"frac34", 190},
    {"iquest", 191}, {"Agrave", 192}, {"Aacute", 193}, {"Acirc", 194}, {"Atilde", 195},
    {"Auml", 196}, {"Aring", 197}, {"AElig", 198}, {"Ccedil", 199}, {"Egrave", 200},
    {"Eacute", 201}, {"Ecirc", 202}, {"Euml", 203}, {"Igrave", 204}, {"Iacute", 205},
    {"Icirc", 206}, {"Iuml", 207}, {"ETH", 208}, {"Ntilde", 209}, {"Ograve", 210}, {"Oacute", 211},
    {"Ocirc", 212}, {"Otilde", 213}, {"Ouml", 214}, {"times", 215}, {"Oslash", 216},
    {"Ugrave", 217}, {"Uacute", 218}, {"Ucirc", 219}, {"Uuml", 220}, {"Yacute", 221},
    {"THORN", 222}, {"szlig", 223}, {"agrave", 224}, {"aacute", 225}, {"acirc", 226},
    {"atilde", 227}, {"auml", 228}, {"aring", 229}, {"aelig", 230}, {"ccedil", 231},
    {"egrave", 232}, {"eacute", 233}, {"ecirc", 234}, {"euml", 235}, {"igrave", 236},
    {"iacute", 237}, {"icirc", 238}, {"iuml", 239}, {"eth", 240}, {"ntilde", 241}, {"ograve", 242},
    {"oacute", 243}, {"ocirc", 244}, {"otilde", 245}, {"ouml", 246}, {"divide", 247},
    {"oslash", 248}, {"ugrave", 249}, {"uacute", 250}, {"ucirc", 251}, {"uuml", 252},
    {"yacute", 253}, {"thorn", 254}, {"yuml", 255}, {"OElig", 338}, {"oelig", 339},
    {"Scaron", 352}, {"scaron", 353}, {"Yuml", 376}, {"fnof", 402}, {"circ", 710}, {"tilde", 732},
    {"Alpha", 913}, {"Beta", 914}, {"Gamma", 915}, {"Delta", 916}, {"Epsilon", 917}, {"Zeta", 918},
    {"Eta", 919}, {"Theta", 920}, {"Iota", 921}, {"Kappa", 922}, {"Lambda", 923}, {"Mu", 924},
    {"Nu", 925}, {"Xi", 926}, {"Omicron", 927}, {"Pi", 928}, {"Rho", 929}, {"Sigma", 931},
    {"Tau", 932}, {"Upsilon", 933}, {"Phi", 934}, {"Chi", 935}, {"Psi", 936}, {"Omega", 937},
    {"alpha", 945}, {"beta", 946}, {"gamma", 947}, {"delta", 948}, {"epsilon", 949}, {"zeta", 950},
    {"eta", 951}, {"theta", 952}, {"iota", 953}, {"kappa", 954}, {"lambda", 955}, {"mu", 956},
    {"nu", 957}, {"xi", 958}, {"omicron", 959}, {"pi", 960}, {"rho", 961}, {"sigmaf", 962},
    {"sigma", 963}, {"tau", 964}, {"upsilon", 965}, {"phi", 966}, {"chi", 967}, {"psi", 968},
    {"omega", 969}, {"thetasym", 977}, {"upsih", 978}, {"piv", 982}, {"ensp", 8194},
    {"emsp", 8195}, {"thinsp", 8201}, {"zwnj", 8204}, {"zwj", 8205}, {"lrm", 8206}, {"rlm", 8207},
    {"ndash", 8211}, {"mdash", 8212}, {"lsquo", 8216}, {"rsquo", 8217}, {"sbquo", 8218},
    {"ldquo", 8220}, {"rdquo", 8221}, {"bdquo", 8222}, {"dagger", 8224}, {"Dagger", 8225},
    {"bull", 8226}, {"hellip", 8230}, {"permil", 8240}, {"prime", 8242}, {"Prime", 8243},
    {"lsaquo", 8249}, {"rsaquo", 8250}, {"oline", 8254}, {"frasl", 8260}, {"euro", 8364},
    {"image", 8465}, {"weierp", 8472}, {"real", 8476}, {"trade", 8482}, {"alefsym", 8501},
    {"larr", 8592}, {"uarr", 8593}, {"rarr", 8594}, {"darr", 8595}, {"harr", 8596},
    {"crarr", 8629}, {"lArr", 8656}, {"uArr", 8657}, {"rArr", 8658}, {"dArr", 8659},
    {"hArr", 8660}, {"forall", 8704}, {"part", 8706}, {"exist", 8707}, {"empty", 8709},
    {"nabla", 8711}, {"isin", 8712}, {"notin", 8713}, {"ni", 8715}, {"prod", 8719}, {"sum", 8721},
    {"minus", 8722}, {"lowast", 8727}, {"radic", 8730}, {"prop", 8733}, {"infin", 8734},
    {"ang", 8736}, {"and", 8743}, {"or", 8744}, {"cap", 8745}, {"cup", 8746}, {"int", 8747},
    {"there4", 8756}, {"sim", 8764}, {"cong", 8773}, {"asymp", 8776}, {"ne", 8800},
    {"equiv", 8801}, {"le", 8804}, {"ge", 8805}, {"sub", 8834}, {"sup", 8835}, {"nsub", 8836},
    {"sube", 8838}, {"supe", 8839}, {"oplus", 8853}, {"otimes", 8855}, {"perp", 8869},
    {"sdot", 8901}, {"lceil", 8968}, {"rceil", 8969}, {"lfloor", 8970}, {"rfloor", 8971},
    {"lang", 9001}, {"rang", 9002}, {"loz", 9674}, {"spades", 9824}, {"clubs", 9827},
    {"hearts", 9829}, {"diams", 9830},
    {"apos", 39},
};

constexpr size_t kEntityBuckets = 130;

size_t EntityBucket(std::u16string_view name) {
    size_t sum = 0;
    for (char16_t c : name) sum += c;
    return sum % kEntityBuckets;
}

// 130 hash buckets, each one string of entries: the name length plus 48 in one unit, four decimal
// digits of the code point, then the name.
const std::array<std::u16string, kEntityBuckets>& EntityBuckets() {
    static const std::array<std::u16string, kEntityBuckets> buckets = [] {
        std::array<std::u16string, kEntityBuckets> b;
        for (const auto& row : kEntities) {
            const std::u16string name(row.name.begin(), row.name.end());
            auto& bucket = b[EntityBucket(name)];
            bucket.push_back(static_cast<char16_t>(name.size() + 48));
            const std::string digits = std::to_string(10000 + row.codePoint).substr(1);
            bucket.append(digits.begin(), digits.end());
            bucket += name;
        }
        return b;
    }();
    return buckets;
}

}  // namespace

uint32_t EntityCodePoint(std::u16string_view name) {
    if (name.empty()) return 0;
    const std::u16string& bucket = EntityBuckets()[EntityBucket(name)];
    size_t pos = 0;
    while (pos + 5 <= bucket.size()) {
        const size_t len = bucket[pos] - 48u;
        uint32_t code = 0;
        for (size_t i = 1; i < 5; ++i) code = code * 10 + (bucket[pos + i] - u'0');
        if (std::u16string_view(bucket).substr(pos + 5, len) == name) return code;
        pos += 5 + len;
    }
    return 0;
}

size_t EntityCount() { return std::size(kEntities); }

}  // namespace xml

namespace {

constexpr size_t npos = std::u16string_view::npos;

// Character classes of the units below 128; every unit from 128 up is a name character.
constexpr uint8_t kSpace = 1;
constexpr uint8_t kNameEnd = 2;
constexpr uint8_t kNameStart = 4;
constexpr uint8_t kTagStop = 8;  // what a start tag's scan stops at: a quote or '>'

constexpr std::array<uint8_t, 128> kClass = [] {
    std::array<uint8_t, 128> t{};
    for (char c : std::string_view(" \t\r\n")) t[static_cast<uint8_t>(c)] |= kSpace;
    for (char c : std::string_view(" \t\n\r<>=\\/?!\"';")) t[static_cast<uint8_t>(c)] |= kNameEnd;
    for (int c = 'A'; c <= 'Z'; ++c) t[c] |= kNameStart;
    for (int c = 'a'; c <= 'z'; ++c) t[c] |= kNameStart;
    for (int c = '{'; c < 128; ++c) t[c] |= kNameStart;
    t['_'] |= kNameStart;
    t[':'] |= kNameStart;
    t['"'] |= kTagStop;
    t['\''] |= kTagStop;
    t['>'] |= kTagStop;
    return t;
}();

bool Is(char16_t c, uint8_t cls) { return c < 128 && (kClass[c] & cls); }

bool IsSpace(char16_t c) { return Is(c, kSpace); }

bool IsNameEnd(char16_t c) { return Is(c, kNameEnd); }

bool IsNameStart(char16_t c) { return c >= 128 || (kClass[c] & kNameStart); }

// The end of the name that runs from j: the first unit at or after j that ends a name, or size.
// Four units a step while all of them belong to the name.
inline size_t NameEnd(std::u16string_view text, size_t j) {
    const size_t size = text.size();
    const char16_t* p = text.data();
    while (j + 4 <= size && !IsNameEnd(p[j]) && !IsNameEnd(p[j + 1]) && !IsNameEnd(p[j + 2]) &&
           !IsNameEnd(p[j + 3]))
        j += 4;
    while (j < size && !IsNameEnd(p[j])) ++j;
    return j;
}

// Offset of the first unit c at or after from, npos without one. Tests eight units a step: a
// lane of the word XOR the pattern is zero where the unit matches.
size_t FindUnit(std::u16string_view text, size_t from, char16_t c) {
    constexpr uint64_t kLanes = 0x0001000100010001ull;
    constexpr uint64_t kHigh = 0x8000800080008000ull;
    const char16_t* p = text.data();
    const size_t size = text.size();
    size_t i = from;
    const uint64_t pattern = kLanes * c;
    for (; i + 8 <= size; i += 8) {
        uint64_t a, b;
        std::memcpy(&a, p + i, sizeof a);
        std::memcpy(&b, p + i + 4, sizeof b);
        a ^= pattern;
        b ^= pattern;
        const uint64_t ma = (a - kLanes) & ~a & kHigh;
        const uint64_t mb = (b - kLanes) & ~b & kHigh;
        if (ma | mb) {
            if constexpr (std::endian::native == std::endian::little) {
                // The lowest marked lane is the first match (a borrow only marks lanes above one).
                return ma ? i + std::countr_zero(ma) / 16 : i + 4 + std::countr_zero(mb) / 16;
            }
            break;
        }
    }
    for (; i < size; ++i) {
        if (p[i] == c) return i;
    }
    return npos;
}

// Offset of the first marker at or after from, npos without one: finds its last unit, then
// checks the units before it.
size_t FindMarker(std::u16string_view text, size_t from, std::u16string_view marker) {
    const size_t m = marker.size();
    if (m == 1) return FindUnit(text, from, marker[0]);
    size_t at = from + m - 1;
    while ((at = FindUnit(text, at, marker[m - 1])) != npos) {
        if (text.compare(at + 1 - m, m - 1, marker.substr(0, m - 1)) == 0) return at + 1 - m;
        ++at;
    }
    return npos;
}

void AppendAscii(std::u16string& out, std::string_view ascii) { out.append(ascii.begin(), ascii.end()); }

void AppendNumber(std::u16string& out, uint64_t n) { AppendAscii(out, std::to_string(n)); }

void AppendCodePoint(std::u16string& out, uint32_t code) {
    if (code >= 0x10000) {
        code -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(code));
    }
}

// The name of a tag starting at its '<' (or "</"): skip white space, then up to a delimiter.
std::u16string_view TagName(std::u16string_view text, size_t from) {
    size_t i = from;
    while (i < text.size() && IsSpace(text[i])) ++i;
    const size_t j = NameEnd(text, i);
    return text.substr(i, j - i);
}

// One node as the parser sees it: positions only; an error keeps what its message names.
struct Token {
    int kind = xml::kEndOfText;
    size_t start = 0;
    size_t length = 0;
    size_t nameStart = 0;
    size_t nameLength = 0;
    bool empty = false;
    bool incorrect = false;  // kError: "Incorrect <what>" rather than "<what> ... unterminated"
    const char* what = "";
};

// The message of an error token.
std::u16string ErrorText(const Token& n) {
    std::u16string error;
    if (n.incorrect) {
        AppendAscii(error, "Incorrect ");
        AppendAscii(error, n.what);
        AppendAscii(error, " at offset ");
        AppendNumber(error, n.start);
    } else {
        AppendAscii(error, n.what);
        AppendAscii(error, " at offset ");
        AppendNumber(error, n.start);
        AppendAscii(error, " unterminated");
    }
    return error;
}

// The tokenizer: the node of text at offset pos.
inline void Scan(std::u16string_view text, size_t pos, Token& n) {
    using namespace xml;
    n = Token{};
    n.start = pos;
    const size_t size = text.size();
    if (pos >= size) {
        n.kind = kEndOfText;
        n.start = size;
        return;
    }
    if (text[pos] != u'<') {
        // White space up to the next tag, or text: the run ends at the next '<'.
        size_t i = pos;
        while (i < size && IsSpace(text[i])) ++i;
        size_t end = i;
        if (i < size && text[i] != u'<') {
            n.kind = kText;
            end = FindUnit(text, i + 1, u'<');
            if (end == npos) end = size;
        } else {
            n.kind = kWhitespace;
        }
        n.length = end - pos;
        return;
    }
    auto unterminated = [&](const char* what) {
        n.kind = kError;
        n.length = size - pos;
        n.what = what;
    };
    auto incorrect = [&](const char* what) {
        n.kind = kError;
        n.length = 1;
        n.incorrect = true;
        n.what = what;
    };
    auto endAt = [&](std::u16string_view marker, size_t from, int kind, const char* what) {
        const size_t at = FindMarker(text, from, marker);
        if (at == npos) {
            unterminated(what);
        } else {
            n.kind = kind;
            n.length = at + marker.size() - pos;
        }
    };

    const size_t i = pos + 1;
    if (i >= size) {
        unterminated("tag");
        return;
    }
    const char16_t c = text[i];
    if (c == u'/') {
        size_t j = i + 1;
        while (j < size && IsSpace(text[j])) ++j;
        n.nameStart = j;
        j = NameEnd(text, j);
        n.nameLength = j - n.nameStart;
        endAt(u">", j, kEndTag, "Element end tag");
        return;
    }
    if (c == u'?') {
        n.nameStart = i + 1;
        n.nameLength = NameEnd(text, n.nameStart) - n.nameStart;
        endAt(u"?>", i + 1, kProcessingInstruction, "Processing instruction");
        return;
    }
    if (c == u'!') {
        if (i + 1 >= size) {
            unterminated("tag");
            return;
        }
        const char16_t c2 = text[i + 1];
        if (c2 == u'-') {
            if (i + 2 >= size) {
                unterminated("Comment");
            } else if (text[i + 2] != u'-') {
                incorrect("comment tag");
            } else {
                endAt(u"-->", i + 3, kComment, "Comment");
            }
            return;
        }
        if (c2 == u'[') {
            if (i + 2 >= size) {
                unterminated("tag");
            } else if (text[i + 2] != u'C') {
                incorrect("tag");
            } else {
                // The section's content begins after "<![CDATA[".
                endAt(u"]]>", pos + 9, kCData, "CDATA Section");
            }
            return;
        }
        if (c2 == u'D') {
            char16_t quote = 0;
            size_t depth = 0;
            for (size_t j = i + 2; j < size; ++j) {
                const char16_t d = text[j];
                if (quote) {
                    if (d == quote) quote = 0;
                } else if (d == u'"' || d == u'\'') {
                    quote = d;
                } else if (d == u'[') {
                    ++depth;
                } else if (d == u']') {
                    if (depth) --depth;
                } else if (d == u'>' && depth == 0) {
                    n.kind = kDocType;
                    n.length = j + 1 - pos;
                    return;
                }
            }
            unterminated("Doctype");
            return;
        }
        if (c2 == u'E' || c2 == u'A' || c2 == u'N') {
            endAt(u">", i + 2, kDocType, "Doctype");
        } else {
            incorrect("! tag");
        }
        return;
    }
    if (!IsNameStart(c)) {
        incorrect("tag name character");
        return;
    }

    n.nameStart = i;
    size_t j = NameEnd(text, i);
    n.nameLength = j - i;
    const size_t nameEnd = j;
    // Up to the '>' outside quotes; a quoted value is skipped in one search.
    size_t closingQuote = npos;
    for (; j < size; ++j) {
        const char16_t d = text[j];
        if (!Is(d, kTagStop)) continue;
        if (d == u'>') break;
        const size_t q = FindUnit(text, j + 1, d);
        if (q == npos) {
            j = size;
            break;
        }
        closingQuote = j = q;
    }
    if (j >= size) {
        unterminated("Element tag");
        return;
    }
    n.kind = kElement;
    n.length = j + 1 - pos;
    const size_t slash = j - 1;
    if (slash >= nameEnd && text[slash] == u'/') {
        n.empty = slash == nameEnd || IsSpace(text[slash - 1]) || slash - 1 == closingQuote;
    }
    return;
}

// Whether n units at a and at b are the same, four a step (names are short: no library call).
inline bool SameUnits(const char16_t* a, const char16_t* b, size_t n) {
    size_t k = 0;
    for (; k + 4 <= n; k += 4) {
        uint64_t x, y;
        std::memcpy(&x, a + k, sizeof x);
        std::memcpy(&y, b + k, sizeof y);
        if (x != y) return false;
    }
    for (; k < n; ++k) {
        if (a[k] != b[k]) return false;
    }
    return true;
}

// The end tag at pos when it closes an element named expected: the token Scan gives for it,
// found without scanning the name. False when the tag is anything else.
inline bool ScanExpectedEndTag(std::u16string_view text, size_t pos, std::u16string_view expected, Token& n) {
    const size_t nameStart = pos + 2;
    const size_t nameEnd = nameStart + expected.size();
    if (nameEnd >= text.size() || !IsNameEnd(text[nameEnd]) ||
        !SameUnits(text.data() + nameStart, expected.data(), expected.size()))
        return false;
    const size_t close = text[nameEnd] == u'>' ? nameEnd : FindUnit(text, nameEnd, u'>');
    if (close == npos) return false;
    n = Token{};
    n.kind = xml::kEndTag;
    n.start = pos;
    n.length = close + 1 - pos;
    n.nameStart = nameStart;
    n.nameLength = expected.size();
    return true;
}

// The start tag at pos when it is a letter-led name and its '>' (no attributes, not empty): the
// token Scan gives for it, without Scan's other cases. False when the tag is anything else.
inline bool ScanPlainStartTag(std::u16string_view text, size_t pos, Token& n) {
    const size_t size = text.size();
    const size_t i = pos + 1;
    if (i >= size || text[pos] != u'<') return false;
    const char16_t c = text[i];
    if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))) return false;
    const size_t j = NameEnd(text, i + 1);
    if (j >= size || text[j] != u'>') return false;
    n = Token{};
    n.kind = xml::kElement;
    n.start = pos;
    n.length = j + 1 - pos;
    n.nameStart = i;
    n.nameLength = j - i;
    return true;
}

}  // namespace

namespace xml {

Node NextNode(std::u16string_view text, size_t pos) {
    Token t;
    Scan(text, pos, t);
    Node n;
    n.kind = t.kind;
    n.start = t.start;
    n.length = t.length;
    n.nameStart = t.nameStart;
    n.nameLength = t.nameLength;
    n.empty = t.empty;
    if (t.kind == kError) n.error = ErrorText(t);
    return n;
}

std::u16string DecodeReferences(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const char16_t c = text[i];
        if (c != u'&') {
            out.push_back(c);
            ++i;
            continue;
        }
        // Up to 9 units after '&' for the ';'; a unit of 0x80 or more ends the attempt.
        size_t semi = 0;
        for (size_t k = 1; k <= 9 && i + k < text.size(); ++k) {
            const char16_t u = text[i + k];
            if (u >= 0x80) break;
            if (u == u';') {
                semi = i + k;
                break;
            }
        }
        uint32_t code = 0;
        if (semi) {
            const std::u16string_view body = text.substr(i + 1, semi - i - 1);
            if (body.size() >= 2 && body[0] == u'#') {
                const bool hex = body[1] == u'x' || body[1] == u'X';
                const std::u16string_view digits = body.substr(hex ? 2 : 1);
                bool ok = !digits.empty();
                for (char16_t d : digits) {
                    uint32_t v = 0;
                    if (d >= u'0' && d <= u'9') v = d - u'0';
                    else if (hex && d >= u'a' && d <= u'f') v = d - u'a' + 10;
                    else if (hex && d >= u'A' && d <= u'F') v = d - u'A' + 10;
                    else { ok = false; break; }
                    code = code * (hex ? 16 : 10) + v;
                }
                if (!ok) code = 0;
            } else {
                code = EntityCodePoint(body);
            }
        }
        // A code point of 0, an unknown name, no ';' in reach, or a value beyond Unicode: the '&'
        // stays an ordinary character.
        if (code == 0 || code > 0x10FFFF) {
            out.push_back(c);
            ++i;
            continue;
        }
        AppendCodePoint(out, code);
        i = semi + 1;
    }
    return out;
}

}  // namespace xml

using namespace xml;

CXmlDocument::CXmlDocument() { SetDoc(std::u16string()); }

inline uint32_t CXmlDocument::NewRecord() {
    if (used_ == capacity_) capacity_ = std::max<uint32_t>(used_ + used_ / 2, used_ + 1);
    const uint32_t index = used_++;
    while (pages_.size() * kPageRecords <= index) {
        pages_.emplace_back(new ElementRecord[kPageRecords]);
    }
    Rec(index) = ElementRecord{};
    return index;
}

const ElementRecord& CXmlDocument::Element(uint32_t index) const {
    static const ElementRecord none{};
    return index < used_ ? Rec(index) : none;
}

std::u16string_view CXmlDocument::ElementName(uint32_t index) const {
    if (index == 0 || index >= used_) return {};
    return TagName(text_, Rec(index).start + 1);
}

void CXmlDocument::Note(std::u16string message) {
    if (parseError_.empty()) parseError_ = std::move(message);
}

bool CXmlDocument::WellFormed() const {
    const uint32_t root = Rec(0).firstChild;
    return root != 0 && Rec(root).nextSibling == 0 && !(Rec(0).levelFlags & kIllFormed);
}

// Closes stack[from..] as not ended, outermost first: each keeps only its start tag, its children
// follow it as siblings under its own parent, and the parent learns of the error.
void CXmlDocument::CloseNotEnded(const std::vector<uint32_t>& stack, size_t from) {
    Rec(0).levelFlags |= kIllFormed;
    for (size_t k = from; k < stack.size(); ++k) {
        const uint32_t x = stack[k];
        ElementRecord& rx = Rec(x);
        const uint32_t startLength = rx.tagLengths & kStartTagMask;
        rx.levelFlags |= kNotEnded;
        rx.length = startLength;
        rx.tagLengths = startLength;
        const uint32_t p = rx.parent;
        Rec(p).levelFlags |= kErrorInside;
        const uint32_t first = rx.firstChild;
        if (first == 0) continue;
        const uint32_t last = Rec(first).prevSibling;
        const uint32_t level = p == 0 ? 0 : ((Rec(p).levelFlags & kLevelMask) + 1) & kLevelMask;
        for (uint32_t c = first; c != 0; c = Rec(c).nextSibling) {
            ElementRecord& rc = Rec(c);
            rc.parent = p;
            rc.levelFlags = (rc.levelFlags & ~kLevelMask & ~kFirstChild) | level;
        }
        const uint32_t after = rx.nextSibling;
        rx.nextSibling = first;
        Rec(first).prevSibling = x;
        Rec(last).nextSibling = after;
        if (after) {
            Rec(after).prevSibling = last;
        } else {
            Rec(Rec(p).firstChild).prevSibling = last;
        }
        rx.firstChild = 0;
    }
}

void CXmlDocument::Parse() {
    used_ = 0;
    capacity_ = static_cast<uint32_t>(std::min<size_t>(text_.size() / 64 + 8, 0xFFFFFFF0u));
    parseError_.clear();
    NewRecord();  // the document
    ResetPosition();

    const bool ignoreCase = flags_ & kIgnoreCase;
    auto nameAt = [&](uint32_t index) { return TagName(text_, Rec(index).start + 1); };
    auto markError = [&](const std::vector<uint32_t>& stack) {
        Rec(0).levelFlags |= kIllFormed;
        if (!stack.empty()) Rec(stack.back()).levelFlags |= kErrorInside;
    };

    // The open elements, innermost last. Beside them, one level for the document and one for each
    // open element: its name and its first and last child so far, so that appending a child
    // needs no walk through the records.
    struct Level {
        std::u16string_view name;
        uint32_t first = 0;
        uint32_t last = 0;
    };
    std::vector<uint32_t> stack;
    std::vector<Level> levels(1);
    stack.reserve(6);
    // How many open elements carry each name, kept once an end tag without a start tag has had to
    // walk a deep stack: further stray end tags are then known at once, so a file of them inside
    // deep nesting does not take quadratic time. Ordinary files never pay for it; names compared
    // without case always take the walk.
    constexpr size_t kShallow = 64;
    std::unordered_map<std::u16string_view, uint32_t> openNames;
    bool counting = false;
    auto popTo = [&](size_t size) {
        if (counting) {
            for (size_t k = size; k < stack.size(); ++k) --openNames[levels[k + 1].name];
        }
        if (size + 1 == stack.size()) {
            stack.pop_back();
            levels.pop_back();
        } else {
            stack.resize(size);
            levels.resize(size + 1);
        }
    };
    const std::u16string_view text(text_);
    size_t pos = 0;
    Token n;
    for (;;) {
        // Text and white space between tags leave no trace in the index: straight to the next tag.
        if (pos < text.size() && text[pos] != u'<') {
            pos = FindUnit(text, pos, u'<');
            if (pos == npos) break;
        }
        // Most end tags close the innermost element: that one is checked by name directly.
        const bool closesInner = !stack.empty() && pos + 1 < text.size() && text[pos] == u'<' &&
                                 text[pos + 1] == u'/' && ScanExpectedEndTag(text, pos, levels.back().name, n);
        if (!closesInner && !ScanPlainStartTag(text, pos, n)) Scan(text, pos, n);
        if (n.kind == kEndOfText) break;
        pos = n.start + n.length;
        if (n.kind == kElement) {
            if (used_ == 0xFFFFFFFFu) break;  // the index is full
            const uint32_t index = NewRecord();
            const uint32_t parent = stack.empty() ? 0 : stack.back();
            ElementRecord& r = Rec(index);
            r.start = static_cast<uint32_t>(n.start);
            r.tagLengths = static_cast<uint32_t>(std::min<size_t>(n.length, kStartTagMask));
            r.levelFlags = static_cast<uint32_t>(stack.size()) & kLevelMask;
            r.parent = parent;
            Level& siblings = levels.back();
            if (siblings.first == 0) {
                Rec(parent).firstChild = index;
                r.prevSibling = index;
                r.levelFlags |= kFirstChild;
                siblings.first = index;
            } else {
                Rec(siblings.last).nextSibling = index;
                r.prevSibling = siblings.last;
                Rec(siblings.first).prevSibling = index;
            }
            siblings.last = index;
            if (n.empty) {
                r.length = static_cast<uint32_t>(n.length);
                r.levelFlags |= kEmptyElement;
            } else {
                if (stack.size() == stack.capacity()) stack.reserve(stack.capacity() * 2 + 6);
                stack.push_back(index);
                levels.push_back(Level{text.substr(n.nameStart, n.nameLength)});
                if (counting) ++openNames[levels.back().name];
            }
        } else if (n.kind == kEndTag) {
            const std::u16string_view name = text.substr(n.nameStart, n.nameLength);
            size_t k = stack.size();
            if (!closesInner) {
                if (counting) {
                    const auto open = openNames.find(name);
                    if (open == openNames.end() || open->second == 0) k = 0;
                }
                if (ignoreCase) {
                    while (k > 0 && !AsciiEqualNoCase(levels[k].name, name)) --k;
                } else {
                    while (k > 0 && levels[k].name != name) --k;
                }
            }
            if (k == 0 && !counting && !ignoreCase && stack.size() > kShallow) {
                counting = true;
                for (size_t open = 1; open < levels.size(); ++open) ++openNames[levels[open].name];
            }
            if (k == 0) {
                markError(stack);
                std::u16string m = u"No start tag for end tag '";
                m += name;
                AppendAscii(m, "' at offset ");
                AppendNumber(m, n.start);
                Note(std::move(m));
                continue;
            }
            const uint32_t match = stack[k - 1];
            if (k < stack.size()) {
                const uint32_t inner = stack.back();
                std::u16string m = u"End tag '";
                m += name;
                AppendAscii(m, "' at offset ");
                AppendNumber(m, n.start + 1);
                AppendAscii(m, " does not match start tag '");
                m += nameAt(inner);
                AppendAscii(m, "' at offset ");
                AppendNumber(m, Rec(inner).start);
                Note(std::move(m));
                CloseNotEnded(stack, k);
            }
            ElementRecord& r = Rec(match);
            r.length = static_cast<uint32_t>(n.start + n.length - r.start);
            const uint32_t endLength = static_cast<uint32_t>(std::min<size_t>(n.length, kEndTagMax));
            r.tagLengths = (r.tagLengths & kStartTagMask) | (endLength << 22);
            popTo(k - 1);
        } else if (n.kind == kError) {
            markError(stack);
            if (parseError_.empty()) Note(ErrorText(n));
        }
    }
    if (!stack.empty()) {
        const uint32_t inner = stack.back();
        std::u16string m = u"Element '";
        m += nameAt(inner);
        AppendAscii(m, "' at offset ");
        AppendNumber(m, Rec(inner).start);
        AppendAscii(m, " not ended");
        Note(std::move(m));
        CloseNotEnded(stack, 0);
    }
    const uint32_t root = Rec(0).firstChild;
    if (text_.empty()) {
        Note(u"Empty document");
    } else if (root == 0) {
        Note(u"No root element");
    } else if (Rec(root).nextSibling != 0) {
        Note(u"Root element has sibling");
    }
}

bool CXmlDocument::SetDoc(std::u16string text) {
    text_ = std::move(text);
    Parse();
    result_ = parseError_;
    return WellFormed();
}

bool CXmlDocument::LoadFile(const std::u16string& path) {
    text_.clear();
    std::string bytes;
    std::u16string error;
    flags_ |= kReadMode;
    const bool read = ReadFileBytes(path, bytes, error);
    flags_ &= ~kReadMode;
    if (!read) {
        Parse();
        result_ = error;
        return false;
    }
    return LoadBytes(bytes);
}

namespace {

struct Bom {
    std::string_view bytes;
    std::u16string_view name;
    uint32_t flag;
};
constexpr Bom kBomTable[] = {
    {"\xEF\xBB\xBF", u"UTF-8", kUtf8Mark},
    {"\xFF\xFE", u"UTF-16LE", kUtf16LeMark},
    {"\xFE\xFF", u"UTF-16BE", kUtf16BeMark},
};

// The value of attribute name inside the tag (from its '<' to its '>'), or "" without it.
std::u16string AttributeValue(std::u16string_view tag, size_t nameEnd, std::u16string_view name) {
    size_t i = nameEnd;
    while (i < tag.size()) {
        while (i < tag.size() && (IsSpace(tag[i]) || tag[i] == u'/' || tag[i] == u'?')) ++i;
        if (i >= tag.size() || tag[i] == u'>') break;
        const size_t a = i;
        while (i < tag.size() && !IsSpace(tag[i]) && tag[i] != u'=' && tag[i] != u'>') ++i;
        const std::u16string_view attr = tag.substr(a, i - a);
        while (i < tag.size() && IsSpace(tag[i])) ++i;
        if (i >= tag.size() || tag[i] != u'=') continue;
        ++i;
        while (i < tag.size() && IsSpace(tag[i])) ++i;
        size_t v = i, e = i;
        if (i < tag.size() && (tag[i] == u'"' || tag[i] == u'\'')) {
            const char16_t q = tag[i];
            v = i + 1;
            e = tag.find(q, v);
            if (e == std::u16string_view::npos) e = tag.size();
            i = e + 1;
        } else {
            while (e < tag.size() && !IsSpace(tag[e]) && tag[e] != u'>') ++e;
            i = e;
        }
        if (AsciiEqualNoCase(attr, name)) return std::u16string(tag.substr(v, e - v));
    }
    return {};
}

// The encoding a document's head declares: the xml declaration, or an HTML meta charset.
std::u16string DeclaredEncoding(std::u16string_view head) {
    bool seenEndTag = false;
    bool html = false;
    size_t pos = 0;
    for (;;) {
        const Node n = NextNode(head, pos);
        if (n.kind == kEndOfText || n.kind == kError) return {};
        pos = n.start + n.length;
        const std::u16string_view tag = head.substr(n.start, n.length);
        const std::u16string_view name = head.substr(n.nameStart, n.nameLength);
        const size_t nameEnd = n.nameStart + n.nameLength - n.start;
        if (n.kind == kProcessingInstruction) {
            if (!seenEndTag && name == u"xml") {
                std::u16string value = AttributeValue(tag, nameEnd, u"encoding");
                if (!value.empty()) return value;
            }
        } else if (n.kind == kEndTag) {
            seenEndTag = true;
            if (AsciiEqualNoCase(name, u"head")) return {};
        } else if (n.kind == kElement) {
            if (!html) {
                if (!AsciiEqualNoCase(name, u"html")) return {};
                html = true;
            } else if (AsciiEqualNoCase(name, u"meta") &&
                       AsciiEqualNoCase(AttributeValue(tag, nameEnd, u"http-equiv"), u"Content-Type")) {
                const std::u16string content = AttributeValue(tag, nameEnd, u"content");
                size_t c = 0;
                while ((c = content.find(u"charset", c)) != std::u16string::npos) {
                    size_t k = c + 7;
                    c = k;
                    while (k < content.size() && IsSpace(content[k])) ++k;
                    if (k >= content.size() || content[k] != u'=') continue;
                    ++k;
                    while (k < content.size() && IsSpace(content[k])) ++k;
                    size_t e = k;
                    while (e < content.size() && !IsSpace(content[e]) && content[e] != u';' &&
                           content[e] != u'"' && content[e] != u'\'')
                        ++e;
                    if (e > k) return content.substr(k, e - k);
                }
            }
        }
    }
}

// The loose UTF-8 test: lead bytes announce 1 to 3 continuation bytes, each of which only needs
// its top bit; a lead with bits 5, 4 and 3 set fails.
bool LooksLikeUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        constexpr uint64_t kOnes = 0x0101010101010101ull;
        constexpr uint64_t kHigh = 0x8080808080808080ull;
        if (i + 32 <= bytes.size()) {
            // Thirty-two ASCII bytes, none of them zero, pass at once.
            uint64_t w[4];
            std::memcpy(w, bytes.data() + i, sizeof w);
            const uint64_t high = (w[0] | w[1] | w[2] | w[3]) & kHigh;
            const uint64_t zero = ((w[0] - kOnes) & ~w[0]) | ((w[1] - kOnes) & ~w[1]) |
                                  ((w[2] - kOnes) & ~w[2]) | ((w[3] - kOnes) & ~w[3]);
            if (high == 0 && (zero & kHigh) == 0) {
                i += 32;
                continue;
            }
        }
        if (i + 8 <= bytes.size()) {
            // Eight ASCII bytes, none of them zero, pass at once.
            uint64_t word;
            std::memcpy(&word, bytes.data() + i, sizeof word);
            if ((word & kHigh) == 0 && ((word - kOnes) & ~word & kHigh) == 0) {
                i += 8;
                continue;
            }
        }
        const auto b = static_cast<uint8_t>(bytes[i]);
        if (b == 0) break;
        ++i;
        if (b < 0x80) continue;
        int follow = 0;
        if (!(b & 0x20)) follow = 1;
        else if (!(b & 0x10)) follow = 2;
        else if (!(b & 0x08)) follow = 3;
        else return false;
        for (int k = 0; k < follow; ++k, ++i) {
            if (i >= bytes.size()) return true;  // the test stops at the end
            const auto c = static_cast<uint8_t>(bytes[i]);
            if (c == 0) return true;
            if (!(c & 0x80)) return false;
        }
    }
    return true;
}

}  // namespace

bool CXmlDocument::LoadBytes(std::string_view data) {
    // text_ keeps the previous text until the decoding below overwrites it: resizing it then fills
    // only what it grows by.
    flags_ = (flags_ & kIgnoreCase) | kReadMode;
    std::u16string encoding;
    bool marked = false;
    for (const auto& bom : kBomTable) {
        if (data.substr(0, bom.bytes.size()) == bom.bytes) {
            encoding = bom.name;
            flags_ |= bom.flag;
            data.remove_prefix(bom.bytes.size());
            marked = true;
            break;
        }
    }
    if (!marked) {
        // The declaration usually ends the first node: the head up to its "?>" tells the same as
        // the whole first kilobyte then, and the rest need not be decoded.
        const std::string_view first = data.substr(0, 1024);
        std::u16string head;
        const size_t close = first.find("?>");
        if (close != std::string_view::npos) {
            DecodeUtf8Into(first.substr(0, close + 2), head);
            encoding = DeclaredEncoding(head);
        }
        if (encoding.empty()) {
            DecodeUtf8Into(first, head);
            encoding = DeclaredEncoding(head);
        }
        if (encoding.empty() && !data.empty() && data[0] == '<') encoding = u"UTF-8";
    }

    // Notes of what was done; the encoding name (known only after detection) goes in front.
    std::u16string notes;
    if (marked) AppendAscii(notes, " BOM +");
    AppendAscii(notes, "length ");
    AppendNumber(notes, data.size());
    notes += u' ';

    // The text is decoded into text_ itself, so a document loaded again reuses its storage.
    size_t nulls = 0;
    std::u16string& text = text_;
    if (flags_ & (kUtf16LeMark | kUtf16BeMark)) {
        const bool swap = flags_ & kUtf16BeMark;
        text.resize(data.size() / 2);
        char16_t* out = text.data();
        const auto* in = reinterpret_cast<const uint8_t*>(data.data());
        const size_t lo = swap ? 1 : 0;
        const size_t units = data.size() / 2;
        // The usual case has no null unit: plain loops the compiler can vectorise convert the
        // units and then look for a null among them; with one, the units are compacted one by one.
        if (swap) {
            for (size_t k = 0; k < units; ++k) out[k] = static_cast<char16_t>(in[2 * k] << 8 | in[2 * k + 1]);
        } else {
            for (size_t k = 0; k < units; ++k) out[k] = static_cast<char16_t>(in[2 * k + 1] << 8 | in[2 * k]);
        }
        unsigned nullSeen = 0;
        for (size_t k = 0; k < units; ++k) nullSeen |= out[k] == 0;
        if (!nullSeen) {
            out += units;
        } else {
            for (size_t i = 0; i + 1 < data.size(); i += 2) {
                const auto unit = static_cast<char16_t>(in[i + 1 - lo] << 8 | in[i + lo]);
                *out = unit;
                out += unit != 0;
            }
        }
        nulls = data.size() / 2 - static_cast<size_t>(out - text.data());
        text.resize(static_cast<size_t>(out - text.data()));
        if (nulls) {
            AppendAscii(notes, "(");
            AppendNumber(notes, nulls);
            AppendAscii(notes, " nulls removed) ");
        }
        if (swap) AppendAscii(notes, "endian swap ");
    } else {
        std::string stripped;
        std::string_view bytes = data;
        if (data.find('\0') != std::string_view::npos) {
            stripped.resize(data.size());
            stripped.resize(static_cast<size_t>(std::remove_copy(data.begin(), data.end(), stripped.begin(), '\0') -
                                                stripped.begin()));
            nulls = data.size() - stripped.size();
            bytes = stripped;
        }
        if (nulls) {
            AppendAscii(notes, "(");
            AppendNumber(notes, nulls);
            AppendAscii(notes, " nulls removed) ");
        }
        if (encoding.empty() && LooksLikeUtf8(bytes)) {
            encoding = u"UTF-8";
            AppendAscii(notes, "(used UTF-8 detection) ");
        }
        uint32_t codePage = CodePageOfName(encoding);
        if (codePage == cp::kUtf16Le || codePage == cp::kUtf16Be || codePage == cp::kUtf32Le ||
            codePage == cp::kUtf32Be || codePage == cp::kUtf32) {
            // A 16- or 32-bit encoding declared without a mark: the head was readable as 8-bit
            // text and the zero bytes are gone, so the rest is 8-bit text too.
            AppendAscii(notes, "(declared ");
            notes += encoding;
            AppendAscii(notes, " without mark: read as UTF-8) ");
            codePage = cp::kUtf8;
        }
        if (codePage == cp::kUtf8) {
            DecodeUtf8Into(bytes, text);
        } else {
            text = BytesToUtf16(codePage, bytes, &notes);
        }
        AppendAscii(notes, "to ");
        AppendNumber(notes, text.size());
        AppendAscii(notes, " wide chars ");
    }
    flags_ &= ~kReadMode;
    Parse();
    result_ = encoding.empty() ? std::u16string(u"ANSI") : encoding;
    result_ += u' ';
    result_ += notes;
    if (!parseError_.empty()) {
        result_ += u' ';
        result_ += parseError_;
    }
    return WellFormed();
}

void CXmlDocument::ResetPosition() {
    parent_ = current_ = child_ = 0;
    nodeKind_ = 0;
    nodeOffset_ = nodeLength_ = 0;
}

namespace {
// A requested name counts up to its first space, '=', '/', '[' or ']'.
std::u16string_view RequestedName(std::u16string_view name) {
    const size_t cut = name.find_first_of(u" =/[]");
    return cut == std::u16string_view::npos ? name : name.substr(0, cut);
}
}  // namespace

bool CXmlDocument::NameMatches(uint32_t index, std::u16string_view name) const {
    if (name.empty()) return true;
    const std::u16string_view own = ElementName(index);
    return (flags_ & kIgnoreCase) ? AsciiEqualNoCase(own, name) : own == name;
}

bool CXmlDocument::FindElement(std::u16string_view name) {
    name = RequestedName(name);
    uint32_t i = current_ ? Rec(current_).nextSibling : Rec(parent_).firstChild;
    for (; i != 0; i = Rec(i).nextSibling) {
        if (NameMatches(i, name)) {
            current_ = i;
            child_ = 0;
            nodeKind_ = kElement;
            nodeOffset_ = nodeLength_ = 0;
            return true;
        }
    }
    return false;
}

bool CXmlDocument::FindChildElement(std::u16string_view name) {
    if (current_ == 0 && !FindElement()) return false;
    name = RequestedName(name);
    uint32_t i = child_ ? Rec(child_).nextSibling : Rec(current_).firstChild;
    for (; i != 0; i = Rec(i).nextSibling) {
        if (NameMatches(i, name)) {
            child_ = i;
            parent_ = Rec(current_).parent;
            nodeKind_ = kElement;
            nodeOffset_ = nodeLength_ = 0;
            return true;
        }
    }
    return false;
}

bool CXmlDocument::EnterElement() {
    if (current_ == 0 || nodeKind_ != kElement) return false;
    parent_ = current_;
    current_ = child_;
    child_ = 0;
    nodeKind_ = current_ ? kElement : 0;
    nodeOffset_ = nodeLength_ = 0;
    return true;
}

std::u16string CXmlDocument::ChildText() const { return child_ ? TextOf(child_) : std::u16string(); }

std::u16string CXmlDocument::TextOf(uint32_t index) const {
    const ElementRecord& r = Rec(index);
    if (r.firstChild != 0 || (r.levelFlags & kEmptyElement)) return {};
    const std::u16string_view text(text_);
    size_t startLength = r.tagLengths & kStartTagMask;
    if (startLength == kStartTagMask) startLength = NextNode(text, r.start).length;  // saturated
    const size_t begin = r.start + startLength;
    const size_t elementEnd = static_cast<size_t>(r.start) + r.length;
    if (elementEnd <= begin) return {};
    size_t end = elementEnd - (r.tagLengths >> 22);
    if ((r.tagLengths >> 22) == kEndTagMax) {
        // A longer end tag than the record holds: it begins at the last '<'.
        end = text.substr(0, elementEnd).rfind(u'<');
    }
    if (end == std::u16string_view::npos || end <= begin) return {};
    const std::u16string_view run = text.substr(begin, end - begin);
    if (run.find(u'<') == std::u16string_view::npos) return DecodeReferences(run);
    std::u16string out;
    size_t pos = 0;
    for (;;) {
        const Node n = NextNode(run, pos);
        if (n.kind == kEndOfText) break;
        pos = n.start + n.length;
        if (n.kind == kText || n.kind == kWhitespace) {
            out += DecodeReferences(run.substr(n.start, n.length));
        } else if (n.kind == kCData) {
            out += run.substr(n.start + 9, n.length - 12);
        }
    }
    return out;
}

std::u16string LookupText(CXmlDocument& doc, std::u16string_view outer, std::u16string_view inner) {
    doc.ResetPosition();
    for (;;) {
        if (!doc.FindChildElement(outer)) return {};
        doc.EnterElement();
        if (doc.FindChildElement(inner)) return doc.ChildText();
    }
}

}  // namespace n640
