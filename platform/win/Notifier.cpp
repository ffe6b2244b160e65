#include "platform/Notifier.h"

#include <windows.h>

namespace n640 {

void ShowSystemMessageBox(std::u16string_view text, WindowRef owner) {
    const std::wstring wide(text.begin(), text.end());
    MessageBoxW(static_cast<HWND>(owner), wide.c_str(), L"Info", MB_OK);
}

} // namespace n640
