#pragma once
// What the main window does with a mouse event the input hook reports (message 2027): hand a copy
// to the statistics page, then perform the software function of the input the event belongs to.
//
// The decision is portable; playing a sound and opening a path go through IShellActions, whose
// Windows implementation is in win/SoftwareFunctions.h.

#include <cstdint>
#include <string>
#include <string_view>

#include "config/ProfileImage.h"
#include "platform/Poster.h"

namespace n640 {

// The input whose native event code is `code` (0x207 middle, 0x204 right, 0x2020B forward,
// 0x1020B back, 0x20A01 wheel up, 0x20A00 wheel down), or -1. The left button's 0x201 gives -1:
// a software function on the left button swallows the button and performs nothing.
int InputOfEvent(uint32_t code);

enum class SoftActionKind { None, PlaySound, Open };

struct SoftAction {
    SoftActionKind kind = SoftActionKind::None;
    std::u16string path;  // what to play or open, already quoted where needed
};

// A file or folder path as the shell receives it: wrapped in one pair of double quotes when it
// contains a blank, unchanged otherwise.
std::u16string QuoteIfBlank(std::u16string_view path);

// The action for a reported event under the given profile: nothing unless the event belongs to an
// input of type 19 with a non-empty softPath and a known softKind.
SoftAction SoftwareActionFor(uint32_t code, const ProfileImage& image);

// Playing a sound file and opening a program, file or folder. Failures are not reported.
class IShellActions {
public:
    virtual ~IShellActions() = default;
    // Plays the file asynchronously.
    virtual void PlaySoundFile(const std::u16string& path) = 0;
    // Opens the path with the shell verb "open": no parameters, no working directory, shown
    // normally. Never through a command interpreter.
    virtual void Open(const std::u16string& path) = 0;
};

// The main window's handler of message 2027, whole: posts 1225 with the same wParam and lParam to
// statsPage (nothing when it is null, i.e. until the statistics page exists), then performs the
// software function of the input concerned through shell.
void OnHookEvent(uintptr_t wParam, intptr_t lParam, const ProfileImage& image, IPoster& poster, WindowRef statsPage,
                 IShellActions& shell);

} // namespace n640
