#pragma once
// The program's own skinned message box, with OK or OK and Cancel, a close button in its corner,
// and a countdown form that sits in the bottom-right corner and closes itself.

#include <string>

#include "platform/Notifier.h"
#include "ui/controls/InfoBoxModel.h"
#include "ui/controls/win/GDIBitmapBtn.h"
#include "ui/controls/win/Window.h"

namespace n640::win {

class CDlgInfo : public CWindow {
public:
    // owner, when given, is disabled while the box is open and the box stays in front of it.
    CDlgInfo(std::u16string text, int mode, bool countdown, HWND owner = nullptr);
    // Creates the box, runs it modally, destroys it: kInfoOk or kInfoCancel.
    int Run();

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslate(MSG& msg) override;

private:
    void Paint(HDC dc);

    std::u16string text_;
    int mode_;
    bool countdown_;
    bool chinese_;
    HWND owner_;
    CInfoCountdown timer_;
    HBITMAP normal_ = nullptr;
    HBITMAP hover_ = nullptr;
    HBITMAP pressed_ = nullptr;
    CGDIBitmapBtn ok_;
    CGDIBitmapBtn cancel_;
    CGDIBitmapBtn close_;
};

// ShowInfo(text, mode): 1 when OK was chosen, 2 for Cancel, the close button or a countdown.
int ShowInfo(const std::u16string& text, int mode);
// The countdown form: closes itself about six seconds after it opened.
int ShowInfoCountdown(const std::u16string& text);

// The notifier of the driver: the skinned box for ShowInfo, the system box for ShowSystemInfo.
class CDlgInfoNotifier : public INotifier {
public:
    int ShowInfo(std::u16string_view text, InfoButtons buttons, bool countdown) override;
    void ShowSystemInfo(std::u16string_view text, WindowRef owner) override;
    using INotifier::ShowInfo;
    using INotifier::ShowSystemInfo;
};

} // namespace n640::win
