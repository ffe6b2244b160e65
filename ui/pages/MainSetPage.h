#pragma once
// The main settings page's own state and its controls' rules over the active profile: which
// buttons show on, the scroll-lines number and its entry, the two sliders, and the highlight of the
// input spots on the mouse picture. The view draws MainSetView and forwards clicks here.

#include <array>
#include <string>
#include <string_view>

#include "config/ProfileImage.h"
#include "ui/pages/MainSetModel.h"

namespace n640 {

// Notify ids of the page's sliders and its scroll-lines entry.
constexpr int kPointerSpeedSliderId = 2560;
constexpr int kSensorSliderId = 2562;
constexpr int kScrollLinesEntryId = 2563;
constexpr int kPointerSpeedMin = 1, kPointerSpeedMax = 20;
constexpr int kSensorMin = 1, kSensorMax = 30;

// Everything the page shows, derived from the profile and the page's scroll-lines number.
struct MainSetView {
    std::array<bool, kDpiTable.size()> dpiOn{};
    int pointerSpeed = 0;
    bool precisionOn = false;
    int sensor = 0;
    std::array<bool, kReportRates.size()> rateOn{};
    bool linesOn = false;
    bool screenOn = false;
    bool entryEnabled = false;      // the entry and its up/down buttons
    std::u16string entryText;
    std::array<bool, kInputCount> inputChanged{};
};

class CMainSetPage {
public:
    // Loads the page from the profile: a wheel on "one screen" sets the number to 1, otherwise
    // to the profile's lines.
    void Refresh(const ProfileImage& image);
    MainSetView View(const ProfileImage& image) const;

    int LinesNumber() const { return linesNumber_; }

    // Clicks. Each edits the active profile as the page's buttons do.
    void ClickPrecision(ProfileImage& image);
    void ClickRate(ProfileImage& image, int rateIndex);      // 0..3: 125, 250, 500, 1000
    void ClickLines(ProfileImage& image);
    void ClickScreen(ProfileImage& image);
    void LinesUp(ProfileImage& image);
    void LinesDown(ProfileImage& image);
    // A slider's 2048: the position of the slider with the notify id; other ids change nothing.
    void SliderMoved(ProfileImage& image, int notifyId, int position);
    // The entry's check (on OK while the wheel is not on "one screen", and every 4 s while the
    // lines button is on): the number and the profile's lines take the checked value, which is
    // returned as the text the entry shows from then on.
    std::u16string CheckScrollLinesEntry(ProfileImage& image, std::u16string_view entryText);

private:
    void SetLines(ProfileImage& image, int number);

    int linesNumber_ = 1;
};

// The input spot's highlight after one tick of the 200 ms timer: on while the pointer is inside
// the input button's rectangle (narrowed by 17 pixels left and right) and the main window is in
// front; off once the pointer is outside; unchanged when inside but another window is in front.
bool NextSpotHighlight(bool current, bool pointerInside, bool mainWindowInFront);

struct PageRect {
    int left, top, right, bottom;
};
// The rectangle the spot's rule tests: the button's rectangle narrowed by 17 pixels at both sides.
PageRect SpotTestRect(PageRect buttonRect);
bool Contains(PageRect r, int x, int y);

} // namespace n640
