#pragma once
// Windows side of the software functions: the sound and shell actions, and the main window's
// handler of message 2027 in one call.

#include <windows.h>

#include "functions/SoftwareFunctions.h"

namespace n640 {

// PlaySoundW (asynchronous, from a file) and ShellExecuteW "open".
class CShellActions final : public IShellActions {
public:
    void PlaySoundFile(const std::u16string& path) override;
    void Open(const std::u16string& path) override;
};

// The main window's handler of 2027: 1225 to statsPage (none while it is null), then the software
// function of the input, with the system's sound and shell.
void OnHookEvent(WPARAM wParam, LPARAM lParam, const ProfileImage& image, HWND statsPage);

} // namespace n640
