#include "functions/KeyboardLayout.h"

namespace n640 {

const IKeyboardLayout& PlatformKeyboardLayout() {
    static const CPortableKeyboardLayout layout;
    return layout;
}

} // namespace n640
