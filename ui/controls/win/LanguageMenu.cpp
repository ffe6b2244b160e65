#include "ui/controls/win/LanguageMenu.h"

#include "platform/Poster.h"

namespace n640::win {

bool CLanguageMenu::Open(HWND owner, const RECT& buttonOnScreen) {
    if (IsOpen()) menu_->Close();
    menu_ = std::make_unique<CMenuExA>();  // a closed menu's object goes here
    if (menu_->CreatePopup(owner, LanguageMenuOrigin(buttonOnScreen), msg::SwitchLanguage, kLanguageMenuBackground)) {
        return true;
    }
    menu_.reset();
    return false;
}

void CLanguageMenu::Close() {
    if (IsOpen()) PostMessageW(menu_->Hwnd(), WM_CLOSE, 0, 0);
}

} // namespace n640::win
