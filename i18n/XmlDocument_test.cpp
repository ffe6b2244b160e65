#include "i18n/XmlDocument.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "i18n/CodePage.h"
#include "platform/Text.h"

namespace n640 {
namespace {

using namespace std::string_literals;

std::u16string Lookup(CXmlDocument& doc, std::u16string_view outer, std::u16string_view inner) {
    return LookupText(doc, outer, inner);
}

std::string Utf16Le(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

std::string Utf16Be(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c >> 8));
        out.push_back(static_cast<char>(c & 0xFF));
    }
    return out;
}

// A file in the temporary folder, removed again at the end of the test.
class TempFile {
public:
    TempFile(const std::string& name, const std::string& bytes)
        : path_(std::filesystem::temp_directory_path() / ("n640_i18n_" + name)) {
        std::ofstream(path_, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~TempFile() {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    std::u16string Path() const { return path_.u16string(); }

private:
    std::filesystem::path path_;
};

// Every way a file's bytes become text: the mark, the declaration, the first byte, detection.
TEST(XmlDocument, DecodesEveryEncodingForm) {
    struct Case {
        const char* what;
        std::string bytes;
        std::u16string text;         // of (config, a)
        std::u16string notesPrefix;  // the start of ResultText
        uint32_t flags;
    };
    const std::string body = "<r><config><a>caf\xC3\xA9</a></config></r>";
    const std::u16string wide = u"<r><config><a>caf\u00E9</a></config></r>";
    const Case cases[] = {
        {"UTF-8 with mark", "\xEF\xBB\xBF" + body, u"caf\u00E9", u"UTF-8  BOM +length 36 ", xml::kUtf8Mark},
        {"UTF-8 starting with <", body, u"caf\u00E9", u"UTF-8 length 36 to 35 wide chars ", 0},
        {"UTF-8 after a blank line", "\r\n" + body, u"caf\u00E9",
         u"UTF-8 length 38 (used UTF-8 detection) to 37 wide chars ", 0},
        {"Latin-1 without declaration", "\r\n<r><config><a>caf\xE9</a></config></r>", u"caf\u00E9",
         u"ANSI length 37 to 37 wide chars ", 0},
        {"Latin-1 starting with < is taken for UTF-8", "<r><config><a>caf\xE9</a></config></r>", u"caf?",
         u"UTF-8 length 35 ", 0},
        {"zero bytes vanish", "<r><config><a>c\0af\xC3\xA9</a></config></r>"s, u"caf\u00E9",
         u"UTF-8 length 37 (1 nulls removed) to 35 wide chars ", 0},
        {"UTF-16 LE with mark, zero units removed", "\xFF\xFE" + Utf16Le(u"<r><config><a>ca\0f\u00E9</a></config></r>"s),
         u"caf\u00E9", u"UTF-16LE  BOM +length 72 (1 nulls removed) ", xml::kUtf16LeMark},
        {"UTF-16 BE with mark", "\xFE\xFF" + Utf16Be(wide), u"caf\u00E9", u"UTF-16BE  BOM +length 70 endian swap ",
         xml::kUtf16BeMark},
        {"declared windows-1251", "<?xml version=\"1.0\" encoding=\"windows-1251\"?><r><config><a>\xCF\xF0\xE8</a></config></r>",
         u"\u041F\u0440\u0438", u"windows-1251 length", 0},
        {"declared in single quotes, unquoted after", "<?xml encoding='windows-1251' version=1.0?><r><config><a>\xFF</a></config></r>",
         u"\u044F", u"windows-1251 length", 0},
        {"HTML meta charset", "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\"></head>"
                              "<config><a>\xE0</a></config></html>",
         u"\u0430", u"windows-1251 length", 0},
        {"UTF-16 declared without mark is 8-bit text", "<?xml version=\"1.0\" encoding=\"utf-16\"?><r><config><a>caf\xC3\xA9</a></config></r>",
         u"caf\u00E9", u"utf-16 length", 0},
    };
    for (const auto& c : cases) {
        CXmlDocument doc;
        doc.LoadBytes(c.bytes);
        EXPECT_EQ(Lookup(doc, u"config", u"a"), c.text) << c.what;
        EXPECT_EQ(doc.ResultText().substr(0, c.notesPrefix.size()), c.notesPrefix)
            << c.what << ": " << Utf16ToUtf8(doc.ResultText());
        EXPECT_EQ(doc.Flags(), c.flags) << c.what;
    }
}

TEST(XmlDocument, EncodingNamesGiveWindowsCodePages) {
    struct Case {
        std::u16string name;
        uint32_t codePage;
    };
    const Case cases[] = {
        {u"utf-8", 65001}, {u"UTF-8", 65001}, {u"utf-16", 1200}, {u"unicode", 1200}, {u"utf-7", 65000},
        {u"us-ascii", 20127}, {u"ascii", 20127}, {u"ANSI_X3.4-1968", 20127}, {u"iso-8859-1", 28591},
        {u"windows-1252", 1252}, {u"windows-1251", 1251}, {u"gb2312", 936}, {u"GB2312", 936},
        {u"gbk", 936}, {u"chinese", 936}, {u"big5", 950}, {u"Shift_JIS", 932}, {u"euc-kr", 949},
        {u"ks_c_5601-1987", 949}, {u"koi8-r", 20866},
        {u"UTF-32", 65005}, {u"UTF-32BE", 65005}, {u"utf-32", 12000}, {u"utf-32be", 12001},
        {u"", 0}, {u"no-such-charset", 0}, {std::u16string(100, u'a'), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(CodePageOfName(c.name), c.codePage) << Utf16ToUtf8(c.name);
    EXPECT_GE(CodePageNameCount(), 254u);
    EXPECT_GE(CodePageCount(), 116u);
}

TEST(XmlDocument, ConvertsTheCodePagesItNeeds) {
    EXPECT_EQ(BytesToUtf16(cp::kWindows1251, "\xC0\xFF\xA8\xB8\xB2\xB3\xAA\xBA\xAF\xBF\xA5\xB4\x88"),
              u"\u0410\u044F\u0401\u0451\u0406\u0456\u0404\u0454\u0407\u0457\u0490\u0491\u20AC");
    EXPECT_EQ(BytesToUtf16(cp::kWindows1252, "\x80\x9F\xE9\x41"), u"\u20AC\u0178\u00E9A");
    EXPECT_EQ(BytesToUtf16(cp::kIso8859_1, "\x80\xE9"), u"\u0080\u00E9");
    EXPECT_EQ(BytesToUtf16(cp::kUsAscii, "plain"), u"plain");
    EXPECT_EQ(BytesToUtf16(cp::kUtf8, "a\xC3\xA9\xF0\x9F\x98\x80\xC3z\xFF"), u"a\u00E9\U0001F600?z?");
    EXPECT_EQ(BytesToUtf16(cp::kUtf16Le, "A\0\x3D\xD8\0\xDE"s), u"A\U0001F600");
    EXPECT_EQ(BytesToUtf16(cp::kUtf16Be, "\0A"s), u"A");
    EXPECT_EQ(BytesToUtf16(cp::kUtf32Le, "\0\xF6\x01\0A\0\0\0"s), u"\U0001F600A");
    EXPECT_EQ(BytesToUtf16(cp::kUtf32Be, "\0\0\0A"s), u"A");
    EXPECT_EQ(BytesToUtf16(936, "\xD6\xD0"), u"\u4E2D");
}

TEST(XmlDocument, LooksUpTextOfAnElementInsideAnother) {
    struct Case {
        std::u16string doc, outer, inner, text;
    };
    const Case cases[] = {
        {u"<r><config><a>x &amp; y</a></config></r>", u"config", u"a", u"x & y"},
        {u"<r><config><a>x &amp; y</a></config></r>", u"config", u"b", u""},
        {u"<r><config><a>x &amp; y</a></config></r>", u"other", u"a", u""},
        {u"<r><config><a>1<![CDATA[<b>&amp;]]>2</a></config></r>", u"config", u"a", u"1<b>&amp;2"},
        {u"<r><config><a><b>t</b></a></config></r>", u"config", u"a", u""},
        {u"<r><config><a/></config></r>", u"config", u"a", u""},
        {u"<r><config><a>x<!-- note -->y<?pi z?></a></config></r>", u"config", u"a", u"xy"},
        {u"<r><config><a> spaced </a><a>second</a></config></r>", u"config", u"a", u" spaced "},
        // The root's name is not checked; a later config is never searched, a nested one is.
        {u"<anything><config><b/><config><a>inner</a></config></config></anything>", u"config", u"a", u"inner"},
        {u"<r><config><b/></config><config><a>later</a></config></r>", u"config", u"a", u""},
        {u"<r><config ver=\"1\"><a x='>'>v</a></config></r>", u"config", u"a", u"v"},
        {u"<r><config><a>v</a ></config></r>", u"config", u"a", u"v"},
        // A requested name ends at a space, '=', '/', '[' or ']'.
        {u"<r><config><a>v</a></config></r>", u"config x=1", u"a/", u"v"},
        // Case matters.
        {u"<r><Config><a>v</a></Config></r>", u"config", u"a", u""},
    };
    for (const auto& c : cases) {
        CXmlDocument doc;
        doc.SetDoc(c.doc);
        EXPECT_EQ(Lookup(doc, c.outer, c.inner), c.text) << Utf16ToUtf8(c.doc);
    }
}

TEST(XmlDocument, DecodesReferences) {
    struct Case {
        std::u16string in, out;
    };
    const Case cases[] = {
        {u"&#65;&#x41;&#X41;", u"AAA"},
        {u"&#x1F600;", u"\U0001F600"},
        {u"&#128512;", u"\U0001F600"},
        {u"&unknown;", u"&unknown;"},
        {u"&#0;", u"&#0;"},
        {u"&#x110000;", u"&#x110000;"},
        {u"&#12a;", u"&#12a;"},
        {u"&amp", u"&amp"},
        {u"a & b; c", u"a & b; c"},
        {u"&Eacute;&eacute;&apos;&quot;&lt;&gt;&nbsp;", u"\u00C9\u00E9'\"<>\u00A0"},
        {u"&thetasym;&euro;&diams;&alefsym;", u"\u03D1\u20AC\u2666\u2135"},
        {u"&EACUTE;", u"&EACUTE;"},
        {u"&\u00E9;", u"&\u00E9;"},
        {u"&#0000065;", u"A"},     // 8 units before ';'
        {u"&#00000065;", u"&#00000065;"},  // 9: out of reach
        {u"&&amp;", u"&&"},
    };
    for (const auto& c : cases) EXPECT_EQ(xml::DecodeReferences(c.in), c.out) << Utf16ToUtf8(c.in);
    EXPECT_EQ(xml::EntityCount(), 253u);
    EXPECT_EQ(xml::EntityCodePoint(u"yuml"), 255u);
    EXPECT_EQ(xml::EntityCodePoint(u"Yuml"), 376u);
    EXPECT_EQ(xml::EntityCodePoint(u"rsaquo"), 8250u);
    EXPECT_EQ(xml::EntityCodePoint(u"lang"), 9001u);
}

TEST(XmlDocument, RecordsTheFirstErrorWithItsOffset) {
    struct Case {
        std::u16string doc, result;
    };
    const Case cases[] = {
        {u"<r><a></r>", u"End tag 'r' at offset 7 does not match start tag 'a' at offset 3"},
        {u"<r></a></r>", u"No start tag for end tag 'a' at offset 3"},
        {u"<r><a>", u"Element 'a' at offset 3 not ended"},
        {u"<r/><s/>", u"Root element has sibling"},
        {u"", u"Empty document"},
        {u"just text", u"No root element"},
        {u"<!-- only a comment -->", u"No root element"},
        {u"<r><1/></r>", u"Incorrect tag name character at offset 3"},
        {u"<r>< a/></r>", u"Incorrect tag name character at offset 3"},
        {u"<r><!x></r>", u"Incorrect ! tag at offset 3"},
        {u"<r><!-x--></r>", u"Incorrect comment tag at offset 3"},
        {u"<r><![x[y]]></r>", u"Incorrect tag at offset 3"},
        {u"<r></r", u"Element end tag at offset 3 unterminated"},
        {u"<r><a b=\">\"", u"Element tag at offset 3 unterminated"},
        {u"<r><![CDATA[x]]", u"CDATA Section at offset 3 unterminated"},
        {u"<r><?pi ?", u"Processing instruction at offset 3 unterminated"},
        {u"<r><!-- x --", u"Comment at offset 3 unterminated"},
        {u"<!DOCTYPE r [ <!ENTITY e \">\"> ]", u"Doctype at offset 0 unterminated"},
        {u"<r><", u"tag at offset 3 unterminated"},
        // Only the first message is kept.
        {u"<r></x></y></r>", u"No start tag for end tag 'x' at offset 3"},
    };
    for (const auto& c : cases) {
        CXmlDocument doc;
        EXPECT_FALSE(doc.SetDoc(c.doc)) << Utf16ToUtf8(c.doc);
        EXPECT_EQ(doc.ResultText(), c.result) << Utf16ToUtf8(c.doc);
    }
    const std::u16string fine[] = {
        u"<?xml version=\"1.0\"?>\n<!-- c --><r a='1' b=\"2\"><x/><y z=w/></y></r>\n<?after?>",
        u"<!DOCTYPE r [ <!ENTITY e \"v\"> <!ELEMENT r ANY> ]><r/>",
        u"<r><!ELEMENT x ANY><![CDATA[ <r> ]]></r>",
    };
    for (const auto& text : fine) {
        CXmlDocument doc;
        EXPECT_TRUE(doc.SetDoc(text)) << Utf16ToUtf8(text) << ": " << Utf16ToUtf8(doc.ResultText());
        EXPECT_EQ(doc.ResultText(), u"");
    }
}

TEST(XmlDocument, TokenizerNodes) {
    struct Case {
        std::u16string text;
        int kind;
        size_t length;
        bool empty;
    };
    const Case cases[] = {
        {u"<a>", xml::kElement, 3, false},
        {u"<a/>", xml::kElement, 4, true},
        {u"<a />", xml::kElement, 5, true},
        {u"<a b=\"c\"/>", xml::kElement, 10, true},
        {u"<a b=c/>", xml::kElement, 8, false},  // the slash belongs to the value
        {u"<a b=\">\">", xml::kElement, 9, false},
        {u"<_x>", xml::kElement, 4, false},
        {u"<\u4E2D>", xml::kElement, 3, false},
        {u"</a >", xml::kEndTag, 5, false},
        {u" \t\r\n<", xml::kWhitespace, 4, false},
        {u"text<", xml::kText, 4, false},
        {u"tail", xml::kText, 4, false},
        {u"<![CDATA[]]>", xml::kCData, 12, false},
        {u"<?x?>", xml::kProcessingInstruction, 5, false},
        {u"<!---->", xml::kComment, 7, false},
        {u"<!DOCTYPE a [<!ENTITY b '>'>]>", xml::kDocType, 30, false},
        {u"<!ENTITY b 'c'>", xml::kDocType, 15, false},
        {u"<5>", xml::kError, 1, false},
        {u"", xml::kEndOfText, 0, false},
    };
    for (const auto& c : cases) {
        const xml::Node n = xml::NextNode(c.text, 0);
        EXPECT_EQ(n.kind, c.kind) << Utf16ToUtf8(c.text);
        EXPECT_EQ(n.length, c.length) << Utf16ToUtf8(c.text);
        EXPECT_EQ(n.empty, c.empty) << Utf16ToUtf8(c.text);
    }
}

// Elements left open are cut back to their start tag and their children move up beside them;
// the lookup then still finds what was written.
TEST(XmlDocument, KeepsAnUsableTreeAfterErrors) {
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDoc(u"<r><config><x><a>1</a><b>2</b></config><config><c>3</c></config></r>"));
    EXPECT_EQ(doc.ResultText(), u"End tag 'config' at offset 31 does not match start tag 'x' at offset 11");
    EXPECT_EQ(Lookup(doc, u"config", u"a"), u"1");
    EXPECT_EQ(Lookup(doc, u"config", u"b"), u"2");
    EXPECT_EQ(Lookup(doc, u"config", u"x"), u"");
    EXPECT_EQ(Lookup(doc, u"config", u"c"), u"");
    // x: start tag only, flagged; config learns of the error.
    const uint32_t config = doc.Element(doc.Root()).firstChild;
    const uint32_t x = doc.Element(config).firstChild;
    EXPECT_EQ(doc.ElementName(x), u"x");
    EXPECT_EQ(doc.Element(x).length, 3u);
    EXPECT_TRUE(doc.Element(x).levelFlags & xml::kNotEnded);
    EXPECT_TRUE(doc.Element(config).levelFlags & xml::kErrorInside);
    EXPECT_TRUE(doc.Element(0).levelFlags & xml::kIllFormed);
    const uint32_t a = doc.Element(x).nextSibling;
    EXPECT_EQ(doc.ElementName(a), u"a");
    EXPECT_EQ(doc.Element(a).parent, config);
    // The sibling list stays circular backwards: the first child's previous is the last.
    const uint32_t b = doc.Element(a).nextSibling;
    EXPECT_EQ(doc.Element(b).nextSibling, 0u);
    EXPECT_EQ(doc.Element(x).prevSibling, b);
    EXPECT_EQ(doc.Element(b).prevSibling, a);

    CXmlDocument open;
    open.SetDoc(u"<r><config><a>1</a>");
    EXPECT_EQ(open.ResultText(), u"Element 'config' at offset 3 not ended");
    EXPECT_EQ(Lookup(open, u"config", u"a"), u"");  // a moved up beside config
}

TEST(XmlDocument, NavigationFollowsThePositions) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(u"<r><a>1</a><b>2</b><a>3</a></r>"));
    EXPECT_FALSE(doc.EnterElement());  // no current element yet
    EXPECT_TRUE(doc.FindElement());    // lands on the root
    EXPECT_EQ(doc.ElementName(doc.Root()), u"r");
    EXPECT_FALSE(doc.FindElement());   // the root has no sibling
    EXPECT_TRUE(doc.FindChildElement(u"a"));
    EXPECT_EQ(doc.ChildText(), u"1");
    EXPECT_TRUE(doc.FindChildElement(u"a"));
    EXPECT_EQ(doc.ChildText(), u"3");
    EXPECT_FALSE(doc.FindChildElement(u"a"));
    doc.ResetPosition();
    EXPECT_EQ(doc.ChildText(), u"");
    EXPECT_TRUE(doc.FindChildElement());
    EXPECT_EQ(doc.ChildText(), u"1");
    EXPECT_TRUE(doc.EnterElement());
    EXPECT_FALSE(doc.FindChildElement());  // a has no children
}

TEST(XmlDocument, LoadFileReadsAndAMissingFileLeavesNothing) {
    const TempFile file("load.xml", "\xEF\xBB\xBF<r><config><a>\xE4\xB8\xAD</a></config></r>");
    CXmlDocument doc;
    EXPECT_TRUE(doc.LoadFile(file.Path()));
    EXPECT_EQ(Lookup(doc, u"config", u"a"), u"\u4E2D");
    EXPECT_EQ(doc.ResultText(), u"UTF-8  BOM +length 34 to 32 wide chars ");

    const std::u16string missing =
        (std::filesystem::temp_directory_path() / "n640_i18n_no_such_file.xml").u16string();
    EXPECT_FALSE(doc.LoadFile(missing));
    EXPECT_FALSE(doc.ResultText().empty());
    EXPECT_EQ(doc.ResultText().find_first_of(u"\r\n"), std::u16string::npos);
    EXPECT_EQ(doc.ElementCount(), 1u);
    EXPECT_EQ(Lookup(doc, u"config", u"a"), u"");
    EXPECT_EQ(doc.Text(), u"");
}

TEST(XmlDocument, DeepNestingNeedsNoCallStack) {
    constexpr size_t kDepth = 100000;
    std::u16string text;
    for (size_t i = 0; i < kDepth; ++i) text += u"<config>";
    text += u"<k>deep</k>";
    for (size_t i = 0; i < kDepth; ++i) text += u"</config>";
    CXmlDocument doc;
    EXPECT_TRUE(doc.SetDoc(text));
    EXPECT_EQ(doc.ElementCount(), kDepth + 2);
    // The lookup walks down through every nested config to the innermost one.
    EXPECT_EQ(Lookup(doc, u"config", u"k"), u"deep");
    EXPECT_EQ(doc.Element(kDepth + 1).levelFlags & xml::kLevelMask, kDepth & xml::kLevelMask);

    // The same without end tags: every element is closed as not ended, in one pass.
    std::u16string open;
    for (size_t i = 0; i < kDepth; ++i) open += u"<a>";
    EXPECT_FALSE(doc.SetDoc(open));
    EXPECT_EQ(doc.ResultText(), u"Element 'a' at offset " + Ascii16(std::to_string(3 * (kDepth - 1))) + u" not ended");
    EXPECT_EQ(doc.Element(doc.Root()).nextSibling, 2u);  // all now siblings at the top

    // Stray end tags inside the deep nesting: each is reported missing without walking the stack.
    std::u16string stray = open;
    for (size_t i = 0; i < kDepth; ++i) stray += u"</b>";
    for (size_t i = 0; i < kDepth; ++i) stray += u"</a>";
    EXPECT_FALSE(doc.SetDoc(stray));
    EXPECT_EQ(doc.ResultText(), u"No start tag for end tag 'b' at offset " + Ascii16(std::to_string(3 * kDepth)));
    EXPECT_TRUE(doc.Element(kDepth).levelFlags & xml::kErrorInside);
    EXPECT_EQ(doc.Element(doc.Root()).length, 3 * kDepth + 8 * kDepth);  // the outermost a is ended
}

TEST(XmlDocument, ParsesATenMegabyteFile) {
    std::string bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>\n";
    size_t n = 0;
    while (bytes.size() < 10u * 1024 * 1024) {
        bytes += "  <item id=\"" + std::to_string(n) + "\"><name>caf\xC3\xA9 " + std::to_string(n) +
                 "</name><v>&lt;" + std::to_string(n * 7) + "&gt;</v></item>\n";
        ++n;
    }
    bytes += "  <config><last>done &amp; dusted</last></config>\n</root>\n";
    const TempFile file("big.xml", bytes);
    CXmlDocument doc;
    EXPECT_TRUE(doc.LoadFile(file.Path())) << Utf16ToUtf8(doc.ResultText());
    EXPECT_EQ(doc.ElementCount(), 3 * n + 4);
    EXPECT_GT(doc.ElementCount(), 2 * xml::kPageRecords);  // spans several pages
    EXPECT_EQ(Lookup(doc, u"config", u"last"), u"done & dusted");
    EXPECT_EQ(Lookup(doc, u"item", u"name"), u"caf\u00E9 0");
    const uint32_t lastItem = doc.ElementCount() - 5;
    EXPECT_EQ(doc.ElementName(lastItem), u"item");
    EXPECT_EQ(doc.ElementName(doc.Element(lastItem).firstChild), u"name");
}

// Lengths past what a record holds: the text between the tags is still found.
TEST(XmlDocument, LongTagsKeepTheirText) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDoc(u"<r><config><a>v</a><b>w</b" + std::u16string(1100, u' ') + u"></config></r>"));
    EXPECT_EQ(Lookup(doc, u"config", u"b"), u"w");
    const std::u16string startTag = u"<a x=\"" + std::u16string(0x400000, u'y') + u"\">";
    ASSERT_TRUE(doc.SetDoc(u"<r><config>" + startTag + u"long</a></config></r>"));
    EXPECT_EQ(Lookup(doc, u"config", u"a"), u"long");
}

// The reader decodes runs of ASCII several bytes at a time: sequences that decode, and ones that
// do not, read the same wherever they fall against those runs.
TEST(XmlDocument, Utf8TextIsTheSameAtEveryAlignment) {
    const char* sequences[] = {
        "\xC3\xA9",          // two bytes
        "\xE4\xB8\xAD",      // three
        "\xF0\x9F\x98\x80",  // four: a surrogate pair
        "\xC0\x80",          // overlong
        "\xC2z",             // truncated before an ASCII byte
        "\xED\xA0\x80",      // a surrogate's code
        "\xFF",              // no lead byte
        "\xC3",              // truncated at the end of the text
    };
    for (const char* sequence : sequences) {
        for (size_t lead = 0; lead < 10; ++lead) {
            const std::string bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>" + std::string(lead, 'x') +
                                      sequence + "abcdefghijkl</a>" + (lead % 2 ? "" : sequence);
            CXmlDocument doc;
            doc.LoadBytes(bytes);
            EXPECT_EQ(doc.Text(), DecodeUtf8(bytes)) << lead << " " << sequence;
        }
    }
}

}  // namespace
}  // namespace n640
