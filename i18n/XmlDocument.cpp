#include "i18n/XmlDocument.h"

#include <algorithm>
#include <array>
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

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

bool IsNameEnd(char16_t c) {
    switch (c) {
    case u' ': case u'\t': case u'\n': case u'\r': case u'<': case u'>': case u'=': case u'\\':
    case u'/': case u'?': case u'!': case u'"': case u'\'': case u';':
        return true;
    default:
        return false;
    }
}

bool IsNameStart(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' || c == u':' || c >= u'{';
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
    size_t j = i;
    while (j < text.size() && !IsNameEnd(text[j])) ++j;
    return text.substr(i, j - i);
}

}  // namespace

namespace xml {

Node NextNode(std::u16string_view text, size_t pos) {
    Node n;
    n.start = pos;
    const size_t size = text.size();
    if (pos >= size) {
        n.kind = kEndOfText;
        n.start = size;
        return n;
    }
    if (text[pos] != u'<') {
        size_t end = text.find(u'<', pos);
        if (end == std::u16string_view::npos) end = size;
        n.kind = kWhitespace;
        for (size_t i = pos; i < end; ++i) {
            if (!IsSpace(text[i])) {
                n.kind = kText;
                break;
            }
        }
        n.length = end - pos;
        return n;
    }
    auto unterminated = [&](std::string_view what) {
        n.kind = kError;
        n.length = size - pos;
        AppendAscii(n.error, what);
        AppendAscii(n.error, " at offset ");
        AppendNumber(n.error, pos);
        AppendAscii(n.error, " unterminated");
        return n;
    };
    auto incorrect = [&](std::string_view what) {
        n.kind = kError;
        n.length = 1;
        AppendAscii(n.error, "Incorrect ");
        AppendAscii(n.error, what);
        AppendAscii(n.error, " at offset ");
        AppendNumber(n.error, pos);
        return n;
    };
    auto endAt = [&](std::u16string_view marker, size_t from, int kind, std::string_view what) {
        const size_t at = from <= size ? text.find(marker, from) : std::u16string_view::npos;
        if (at == std::u16string_view::npos) return unterminated(what);
        n.kind = kind;
        n.length = at + marker.size() - pos;
        return n;
    };

    const size_t i = pos + 1;
    if (i >= size) return unterminated("tag");
    const char16_t c = text[i];
    if (c == u'/') {
        size_t j = i + 1;
        while (j < size && IsSpace(text[j])) ++j;
        n.nameStart = j;
        while (j < size && !IsNameEnd(text[j])) ++j;
        n.nameLength = j - n.nameStart;
        return endAt(u">", j, kEndTag, "Element end tag");
    }
    if (c == u'?') {
        n.nameStart = i + 1;
        size_t j = n.nameStart;
        while (j < size && !IsNameEnd(text[j])) ++j;
        n.nameLength = j - n.nameStart;
        return endAt(u"?>", i + 1, kProcessingInstruction, "Processing instruction");
    }
    if (c == u'!') {
        if (i + 1 >= size) return unterminated("tag");
        const char16_t c2 = text[i + 1];
        if (c2 == u'-') {
            if (i + 2 >= size) return unterminated("Comment");
            if (text[i + 2] != u'-') return incorrect("comment tag");
            return endAt(u"-->", i + 3, kComment, "Comment");
        }
        if (c2 == u'[') {
            if (i + 2 >= size) return unterminated("tag");
            if (text[i + 2] != u'C') return incorrect("tag");
            // The section's content begins after "<![CDATA[".
            return endAt(u"]]>", pos + 9, kCData, "CDATA Section");
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
                    return n;
                }
            }
            return unterminated("Doctype");
        }
        if (c2 == u'E' || c2 == u'A' || c2 == u'N') return endAt(u">", i + 2, kDocType, "Doctype");
        return incorrect("! tag");
    }
    if (!IsNameStart(c)) return incorrect("tag name character");

    n.nameStart = i;
    size_t j = i;
    while (j < size && !IsNameEnd(text[j])) ++j;
    n.nameLength = j - i;
    const size_t nameEnd = j;
    char16_t quote = 0;
    size_t closingQuote = std::u16string_view::npos;
    for (; j < size; ++j) {
        const char16_t d = text[j];
        if (quote) {
            if (d == quote) {
                quote = 0;
                closingQuote = j;
            }
        } else if (d == u'"' || d == u'\'') {
            quote = d;
        } else if (d == u'>') {
            break;
        }
    }
    if (j >= size) return unterminated("Element tag");
    n.kind = kElement;
    n.length = j + 1 - pos;
    const size_t slash = j - 1;
    if (slash >= nameEnd && text[slash] == u'/') {
        n.empty = slash == nameEnd || IsSpace(text[slash - 1]) || slash - 1 == closingQuote;
    }
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

uint32_t CXmlDocument::NewRecord() {
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
    auto sameName = [&](std::u16string_view a, std::u16string_view b) {
        return ignoreCase ? AsciiEqualNoCase(a, b) : a == b;
    };
    auto nameAt = [&](uint32_t index) { return TagName(text_, Rec(index).start + 1); };
    auto markError = [&](const std::vector<uint32_t>& stack) {
        Rec(0).levelFlags |= kIllFormed;
        if (!stack.empty()) Rec(stack.back()).levelFlags |= kErrorInside;
    };

    std::vector<uint32_t> stack;
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
            for (size_t k = size; k < stack.size(); ++k) --openNames[nameAt(stack[k])];
        }
        stack.resize(size);
    };
    const std::u16string_view text(text_);
    size_t pos = 0;
    for (;;) {
        const Node n = NextNode(text, pos);
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
            ElementRecord& rp = Rec(parent);
            if (rp.firstChild == 0) {
                rp.firstChild = index;
                r.prevSibling = index;
                r.levelFlags |= kFirstChild;
            } else {
                ElementRecord& first = Rec(rp.firstChild);
                const uint32_t last = first.prevSibling;
                Rec(last).nextSibling = index;
                r.prevSibling = last;
                first.prevSibling = index;
            }
            if (n.empty) {
                r.length = static_cast<uint32_t>(n.length);
                r.levelFlags |= kEmptyElement;
            } else {
                if (stack.size() == stack.capacity()) stack.reserve(stack.capacity() * 2 + 6);
                stack.push_back(index);
                if (counting) ++openNames[text.substr(n.nameStart, n.nameLength)];
            }
        } else if (n.kind == kEndTag) {
            const std::u16string_view name = text.substr(n.nameStart, n.nameLength);
            size_t k = stack.size();
            if (counting) {
                const auto open = openNames.find(name);
                if (open == openNames.end() || open->second == 0) k = 0;
            }
            while (k > 0 && !sameName(nameAt(stack[k - 1]), name)) --k;
            if (k == 0 && !counting && !ignoreCase && stack.size() > kShallow) {
                counting = true;
                for (uint32_t open : stack) ++openNames[nameAt(open)];
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
            Note(n.error);
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
    text_.clear();
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
        encoding = DeclaredEncoding(DecodeUtf8(data.substr(0, 1024)));
        if (encoding.empty() && !data.empty() && data[0] == '<') encoding = u"UTF-8";
    }

    // Notes of what was done; the encoding name (known only after detection) goes in front.
    std::u16string notes;
    if (marked) AppendAscii(notes, " BOM +");
    AppendAscii(notes, "length ");
    AppendNumber(notes, data.size());
    notes += u' ';

    size_t nulls = 0;
    std::u16string text;
    if (flags_ & (kUtf16LeMark | kUtf16BeMark)) {
        const bool swap = flags_ & kUtf16BeMark;
        text.reserve(data.size() / 2);
        for (size_t i = 0; i + 1 < data.size(); i += 2) {
            const auto lo = static_cast<uint8_t>(data[swap ? i + 1 : i]);
            const auto hi = static_cast<uint8_t>(data[swap ? i : i + 1]);
            const auto unit = static_cast<char16_t>(hi << 8 | lo);
            if (unit == 0) {
                ++nulls;
                continue;
            }
            text.push_back(unit);
        }
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
        text = BytesToUtf16(codePage, bytes, &notes);
        AppendAscii(notes, "to ");
        AppendNumber(notes, text.size());
        AppendAscii(notes, " wide chars ");
    }
    flags_ &= ~kReadMode;
    text_ = std::move(text);
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
