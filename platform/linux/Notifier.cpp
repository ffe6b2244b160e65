#include "platform/Notifier.h"

#include <cstdio>

#include "platform/Text.h"

namespace n640 {

void ShowSystemMessageBox(std::u16string_view text, WindowRef) {
    std::fprintf(stderr, "Info: %s\n", Utf16ToUtf8(text).c_str());
}

} // namespace n640
