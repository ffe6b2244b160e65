#include "functions/KeyboardLayout.h"

#include <gtest/gtest.h>

namespace n640 {
namespace {

// Letters and digits read the same on the portable rule and on common Windows layouts.
TEST(KeyboardLayout, LettersAndDigitsOnThePlatformLayout) {
    const IKeyboardLayout& layout = PlatformKeyboardLayout();
    EXPECT_EQ(layout.CharacterOf(0x41), u"A");
    EXPECT_EQ(layout.CharacterOf(0x5A), u"Z");
    EXPECT_EQ(layout.CharacterOf(0x31), u"1");
}

TEST(KeyboardLayout, PortableRuleGivesNothingOutsideLettersAndDigits) {
    const CPortableKeyboardLayout layout;
    EXPECT_EQ(layout.CharacterOf(0xBA), u"");
    EXPECT_EQ(layout.CharacterOf(0x70), u"");
    EXPECT_EQ(layout.CharacterOf(0x39), u"9");
}

#ifdef _WIN32
// The layout translates punctuation too (US layout under Wine: VK_OEM_2 is '/').
TEST(KeyboardLayout, WindowsLayoutTranslatesPunctuation) {
    EXPECT_EQ(PlatformKeyboardLayout().CharacterOf(0xBF), u"/");
    EXPECT_EQ(PlatformKeyboardLayout().CharacterOf(0x70), u"");  // F1 has no character
}
#endif

} // namespace
} // namespace n640
