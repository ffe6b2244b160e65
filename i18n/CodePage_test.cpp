// Code pages the language files and update descriptions may declare, converted on every platform.

#include "i18n/CodePage.h"

#include <gtest/gtest.h>

#include "i18n/XmlDocument.h"
#include "platform/Text.h"

namespace n640 {
namespace {

TEST(CodePage, TheTablesCodePagesConvertToTheirOwnScripts) {
    struct Case {
        uint32_t codePage;
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {936, "\xC4\xE3\xBA\xC3", u"\u4F60\u597D"},               // gb2312
        {950, "\xA4\xA4\xA4\xE5", u"\u4E2D\u6587"},               // big5
        {932, "\x93\xFA\x96\x7B", u"\u65E5\u672C"},               // shift_jis
        {949, "\xC7\xD1\xB1\xB9", u"\uD55C\uAD6D"},               // euc-kr
        {20866, "\xF0\xD2\xC9\xD7\xC5\xD4", u"\u041F\u0440\u0438\u0432\u0435\u0442"},  // koi8-r
        {28592, "\xB1\xE6", u"\u0105\u0107"},                     // iso-8859-2
        {1250, "\x8A\xB9", u"\u0160\u0105"},                      // windows-1250
    };
    for (const auto& c : cases) {
        std::u16string note;
        EXPECT_EQ(BytesToUtf16(c.codePage, c.bytes, &note), c.text) << c.codePage;
        EXPECT_EQ(note, u"") << c.codePage << ": " << Utf16ToUtf8(note);
    }
}

TEST(CodePage, DeclaredEncodingReachesTheText) {
    CXmlDocument doc;
    doc.LoadBytes("<?xml version=\"1.0\" encoding=\"GB2312\"?><r><config><a>\xD6\xD0\xCE\xC4</a></config></r>");
    EXPECT_EQ(LookupText(doc, u"config", u"a"), u"\u4E2D\u6587") << Utf16ToUtf8(doc.ResultText());
}

#ifndef _WIN32
// Without Windows: the ANSI code page is Windows-1252, and bytes that do not decode become '?'.
TEST(CodePage, AnsiIsWindows1252AndBadBytesBecomeQuestionMarks) {
    CXmlDocument doc;
    doc.LoadBytes("\n<r><config><a>caf\xE9 \x80</a></config></r>");
    EXPECT_EQ(LookupText(doc, u"config", u"a"), u"caf\u00E9 \u20AC") << Utf16ToUtf8(doc.ResultText());
    EXPECT_EQ(BytesToUtf16(936, "a\xFF\xD6\xD0z\xD6"), u"a?\u4E2Dz?");
    EXPECT_EQ(BytesToUtf16(54936, "\x81\x30\x81\x30"), u"\u0080");  // gb18030's four-byte form
}
#endif

} // namespace
} // namespace n640
