#include "functions/win/SoftwareFunctions.h"

#include <mmsystem.h>
#include <shellapi.h>

namespace n640 {

namespace {

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

class CWindowPoster final : public IPoster {
public:
    bool Post(WindowRef target, uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        return PostMessageW(static_cast<HWND>(target), message, wParam, lParam) != FALSE;
    }
};

} // namespace

void CShellActions::PlaySoundFile(const std::u16string& path) {
    PlaySoundW(W(path), nullptr, SND_FILENAME | SND_ASYNC);
}

void CShellActions::Open(const std::u16string& path) {
    // The path is the file to open, never a command line: no interpreter sees it.
    ShellExecuteW(nullptr, L"open", W(path), nullptr, nullptr, SW_SHOWNORMAL);
}

void OnHookEvent(WPARAM wParam, LPARAM lParam, const ProfileImage& image, HWND statsPage) {
    CWindowPoster poster;
    CShellActions shell;
    OnHookEvent(static_cast<uintptr_t>(wParam), static_cast<intptr_t>(lParam), image, poster, statsPage, shell);
}

} // namespace n640
