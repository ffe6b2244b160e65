#pragma once
// Rules of the skinned message box (CDlgInfo): its texts in both interface languages, the
// rectangles of its buttons and the five-second countdown of its corner form.

#include <string>

#include "ui/controls/IrrShape.h"

namespace n640 {

// Caption, button texts and the countdown caption of OK, chosen by the interface language.
std::u16string InfoCaption(bool chinese);
std::u16string InfoOkText(bool chinese);
std::u16string InfoCancelText(bool chinese);
std::u16string InfoCountdownText(bool chinese, int seconds);

// Window title of the box.
inline constexpr char16_t kInfoWindowTitle[] = u"ZentuN640InfoDlg";

// Built-in skin bitmaps of the box: normal, hover, pressed.
struct InfoSkinIds {
    int normal;
    int hover;
    int pressed;
};
InfoSkinIds InfoSkinFor(bool twoButtons);

// Button rectangles in the box.
inline constexpr Rect kInfoCloseRect{300, 0, 329, 29};
inline constexpr Rect kInfoOkRectTwo{178, 127, 244, 159};
inline constexpr Rect kInfoCancelRect{245, 127, 311, 159};
inline constexpr Rect kInfoOkRectOne{240, 127, 306, 159};
inline constexpr Rect kInfoMessageRect{90, 73, 305, 91};
inline constexpr Rect kInfoCaptionRect{10, 9, 100, 23};

// Control id of the box's (invisible) static copy of its message.
inline constexpr int kInfoMessageControl = 0x7FF0;

// Timer id and period of the countdown.
inline constexpr unsigned kInfoCountdownTimer = 2321;
inline constexpr unsigned kInfoCountdownPeriodMs = 1000;

// The countdown: OK reads 5 at the start and 5, 4, 3, 2, 1 at the first five ticks; the sixth
// tick shows 0 and asks the box to close.
class CInfoCountdown {
public:
    struct Tick {
        bool close;   // stop the timer and post the close request
        int shown;    // seconds to show on OK
    };
    void Start() { remaining_ = kStartSeconds; }
    Tick OnTick() {
        Tick t{remaining_ <= 0, remaining_};
        --remaining_;
        return t;
    }
    int Remaining() const { return remaining_; }
    static constexpr int kStartSeconds = 5;

private:
    int remaining_ = kStartSeconds;
};

// Top-left corner of the countdown form: 10 pixels left of the right edge of the full-screen
// client area, its bottom on that area's bottom; kept inside the work area when one is given.
Point InfoCornerPosition(int screenWidth, int screenHeight, int width, int height, const Rect* workArea = nullptr);

} // namespace n640
