#include "config/ProfileImage.h"

#include <algorithm>
#include <cstring>

namespace n640 {

std::u16string ReadField(const char16_t (&field)[kPathChars]) {
    const char16_t* end = std::find(field, field + kPathChars, u'\0');
    return std::u16string(field, end);
}

void WriteField(char16_t (&field)[kPathChars], std::u16string_view text) {
    const size_t n = std::min(text.size(), kMaxPathLength);
    std::fill(std::begin(field), std::end(field), u'\0');
    std::copy_n(text.data(), n, field);
}

ProfileImage ZeroProfileImage() {
    ProfileImage image;
    std::memset(&image, 0, sizeof image);
    return image;
}

} // namespace n640
