#include "config/ProfileImage.h"

#include <gtest/gtest.h>

#include <cstring>

namespace n640 {
namespace {

TEST(ProfileImage, TextFieldsAreCutAndAlwaysTerminated) {
    ButtonRecord b{};
    const std::u16string exact(259, u'x');
    SetSoftPath(b, exact);
    EXPECT_EQ(GetSoftPath(b), exact);
    SetSoftPath(b, exact + u"yz");
    EXPECT_EQ(GetSoftPath(b), exact);
    EXPECT_EQ(b.softPath[259], u'\0');
    SetLabel(b, u"Ctrl + C");
    EXPECT_EQ(GetLabel(b), u"Ctrl + C");
}

TEST(ProfileImage, UnterminatedFieldIsReadOnlyToItsEnd) {
    ButtonRecord b{};
    std::fill(std::begin(b.label), std::end(b.label), u'L');
    std::fill(std::begin(b.reserved2), std::end(b.reserved2), 0x41);  // would read as more text
    EXPECT_EQ(GetLabel(b), std::u16string(260, u'L'));
}

TEST(ProfileImage, ZeroImageHasNoSetByte) {
    const ProfileImage image = ZeroProfileImage();
    const auto* bytes = reinterpret_cast<const unsigned char*>(&image);
    for (size_t i = 0; i < sizeof image; ++i) ASSERT_EQ(bytes[i], 0u) << i;
}

} // namespace
} // namespace n640
