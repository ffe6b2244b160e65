#include "ui/pages/MainSetPage.h"

#include <algorithm>

#include "functions/FunctionModel.h"
#include "platform/Text.h"

namespace n640 {

namespace {

std::u16string NumberText(int n) { return Ascii16(std::to_string(n)); }

// The precision toggle is stored as 0 or 1.
constexpr int32_t kOn = 1, kOff = 0;

} // namespace

void CMainSetPage::Refresh(const ProfileImage& image) {
    const int lines = image.settings.wheelLines;
    linesNumber_ = lines == kWheelScreen ? 1 : std::clamp(lines, 1, kMaxWheelLines);
}

MainSetView CMainSetPage::View(const ProfileImage& image) const {
    MainSetView v;
    for (size_t i = 0; i < kDpiTable.size(); ++i) v.dpiOn[i] = IsDpiSelected(image, static_cast<int>(i));
    v.pointerSpeed = image.settings.pointerSpeed;
    v.precisionOn = image.settings.enhancePrecision == kOn;
    v.sensor = image.settings.sheightValue;
    const int rate = ReportRateOf(image);
    for (size_t i = 0; i < kReportRates.size(); ++i) v.rateOn[i] = kReportRates[i] == rate;
    v.screenOn = image.settings.wheelLines == kWheelScreen;
    v.linesOn = !v.screenOn;
    v.entryEnabled = v.linesOn;
    v.entryText = NumberText(linesNumber_);
    for (int i = 0; i < kInputCount; ++i) v.inputChanged[static_cast<size_t>(i)] = IsChanged(i, image);
    return v;
}

void CMainSetPage::ClickPrecision(ProfileImage& image) {
    image.settings.enhancePrecision = image.settings.enhancePrecision == kOn ? kOff : kOn;
}

void CMainSetPage::ClickRate(ProfileImage& image, int rateIndex) {
    if (rateIndex < 0 || rateIndex >= static_cast<int>(kReportRates.size())) return;
    SetReportRate(image, kReportRates[static_cast<size_t>(rateIndex)]);
}

void CMainSetPage::ClickLines(ProfileImage& image) { image.settings.wheelLines = linesNumber_; }

void CMainSetPage::ClickScreen(ProfileImage& image) { image.settings.wheelLines = kWheelScreen; }

void CMainSetPage::SetLines(ProfileImage& image, int number) {
    linesNumber_ = std::clamp(number, 1, kMaxWheelLines);
    image.settings.wheelLines = linesNumber_;
}

void CMainSetPage::LinesUp(ProfileImage& image) { SetLines(image, linesNumber_ + 1); }

void CMainSetPage::LinesDown(ProfileImage& image) { SetLines(image, linesNumber_ - 1); }

void CMainSetPage::SliderMoved(ProfileImage& image, int notifyId, int position) {
    if (notifyId == kPointerSpeedSliderId)
        image.settings.pointerSpeed = std::clamp(position, kPointerSpeedMin, kPointerSpeedMax);
    else if (notifyId == kSensorSliderId)
        image.settings.sheightValue = std::clamp(position, kSensorMin, kSensorMax);
}

std::u16string CMainSetPage::CheckScrollLinesEntry(ProfileImage& image, std::u16string_view entryText) {
    SetLines(image, CheckScrollLines(entryText));
    return NumberText(linesNumber_);
}

bool NextSpotHighlight(bool current, bool pointerInside, bool mainWindowInFront) {
    if (!pointerInside) return false;
    return mainWindowInFront ? true : current;
}

PageRect SpotTestRect(PageRect r) {
    constexpr int kInset = 17;
    return {r.left + kInset, r.top, r.right - kInset, r.bottom};
}

bool Contains(PageRect r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

} // namespace n640
