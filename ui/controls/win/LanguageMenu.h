#pragma once
// The language menu the main window opens from its language button: a CMenuExA owned by the main
// window, with PNG 129 as background, message 1025, and its top-left corner 4 pixels left of the
// button and 287 pixels above the button's bottom. Choosing a language sends 1025 (0, index) to
// the owner; closing without a choice sends 1025 (0, 0).

#include <windows.h>

#include <memory>

#include "ui/controls/win/WndPopup.h"

namespace n640::win {

constexpr int kLanguageMenuBackground = 129;

// The menu's top-left corner for the language button's screen rectangle.
inline POINT LanguageMenuOrigin(const RECT& button) { return {button.left - 4, button.bottom - 287}; }

class CLanguageMenu {
public:
    bool Open(HWND owner, const RECT& buttonOnScreen);
    // A menu window is open (forgotten as soon as it closes).
    bool IsOpen() const { return menu_ && menu_->Hwnd(); }
    // The close request after a switch.
    void Close();
    HWND Hwnd() const { return menu_ ? menu_->Hwnd() : nullptr; }

private:
    std::unique_ptr<CMenuExA> menu_;
};

} // namespace n640::win
