#include "platform/Text.h"

#include <gtest/gtest.h>

namespace n640 {
namespace {

TEST(Text, RoundTripsAllPlanes) {
    const std::string utf8 = "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80";  // A é 中 😀
    const std::u16string utf16 = u"A\u00E9\u4E2D\U0001F600";
    EXPECT_EQ(Utf8ToUtf16(utf8), utf16);
    EXPECT_EQ(Utf16ToUtf8(utf16), utf8);
}

TEST(Text, InvalidInputBecomesReplacementCharacter) {
    struct Case { std::string in; std::u16string out; };
    const Case cases[] = {
        {"\xFF", u"\uFFFD"},
        {"a\xC3", u"a\uFFFD"},                 // truncated sequence
        {"\xC0\x80", u"\uFFFD"},               // overlong NUL
        {"\xED\xA0\x80x", u"\uFFFDx"},         // encoded surrogate
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8ToUtf16(c.in), c.out) << c.in;
    EXPECT_EQ(Utf16ToUtf8(u"\xD800z"), "\xEF\xBF\xBDz");  // lone surrogate
}

} // namespace
} // namespace n640
