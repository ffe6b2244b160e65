#include "stats/StatsModel.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/Text.h"

namespace n640 {

int TrophyLevelOf(uint32_t count) {
    const auto above = std::upper_bound(kTrophyBounds.begin(), kTrophyBounds.end(), count);
    return static_cast<int>(above - kTrophyBounds.begin());
}

Rect StatsRowRect(int row, bool installChinese) {
    static constexpr int kTops[kStatsRowCount] = {85, 119, 152, 183, 250, 284, 319, 384};
    static constexpr int kBottoms[kStatsRowCount] = {106, 139, 172, 203, 270, 304, 339, 404};
    row = std::clamp(row, 0, kStatsRowCount - 1);
    int left = 152;
    if (installChinese) left = row == kDistanceRow ? 187 : 167;
    return {left, kTops[row], left + 75, kBottoms[row]};
}

Rect StatsNumberArea(bool installChinese) {
    Rect area = StatsRowRect(0, installChinese);
    for (int row = 1; row < kStatsRowCount; ++row) {
        const Rect r = StatsRowRect(row, installChinese);
        area = {std::min(area.left, r.left), std::min(area.top, r.top), std::max(area.right, r.right),
                std::max(area.bottom, r.bottom)};
    }
    return area;
}

Rect StatsDistanceArea(bool installChinese) { return StatsRowRect(kDistanceRow, installChinese); }

CStatsModel::CStatsModel(std::filesystem::path dataDir, IFiles& files, INotifier& notifier, TextLookup language)
    : dataDir_(std::move(dataDir)), files_(files), notifier_(notifier), language_(std::move(language)) {}

bool CStatsModel::LoadStatistics() {
    const std::filesystem::path file = FilePath();
    StatsRecord read{};
    size_t got = 0;
    const FileStatus status = files_.Read(file, &read, sizeof read, &got);
    if (status == FileStatus::Ok) {
        record_ = read;
        UpdateLevel();
        return true;
    }
    if (status == FileStatus::NotFound) notifier_.ShowInfo(FormatMessageText(kStatsFailedToOpen, file.u16string()));
    return false;
}

bool CStatsModel::SaveStatistics() {
    const std::filesystem::path file = FilePath();
    const FileStatus status = WriteFileReplacing(files_, file, &record_, sizeof record_);
    if (status == FileStatus::NotFound)
        notifier_.ShowSystemInfo(FormatMessageText(Text("str_msg2"), file.u16string()));
    else if (status == FileStatus::AccessDenied)
        notifier_.ShowSystemInfo(FormatMessageText(Text("str_msg5"), file.u16string()));
    return status == FileStatus::Ok;
}

bool CStatsModel::Count(uintptr_t eventCode) {
    switch (eventCode) {
    case stats_event::kLeftDown: ++record_.leftPresses; break;
    case stats_event::kRightDown: ++record_.rightPresses; break;
    case stats_event::kMiddleDown: ++record_.middlePresses; break;
    case stats_event::kWheelForward: ++record_.wheelForward; break;
    case stats_event::kWheelBackward: ++record_.wheelBackward; break;
    default: return false;
    }
    UpdateLevel();
    return true;
}

void CStatsModel::Sample(Point p) {
    // Screen coordinates of several monitors may be negative; the move is taken in 64 bits and
    // the sum wraps like every counter.
    const int64_t dx = static_cast<int64_t>(p.x) - last_.x;
    const int64_t dy = static_cast<int64_t>(p.y) - last_.y;
    record_.distance += static_cast<uint32_t>(std::llabs(dx) + std::llabs(dy));
    last_ = p;
}

bool CStatsModel::AskReset(bool uiChinese) {
    const int answer = notifier_.ShowInfo(uiChinese ? kResetQuestionZh : kResetQuestionEn, InfoButtons::OkCancel, false);
    if (answer != kInfoOk) return false;
    record_ = StatsRecord{};
    level_ = 0;
    shownLevel_ = kNoLevelShown;
    SaveStatistics();
    return true;
}

void CStatsModel::UpdateLevel() { level_ = std::max({level_, TrophyLevelOf(Clicks()), TrophyLevelOf(Wheel())}); }

std::u16string CStatsModel::RowText(int row) const {
    char buffer[32];
    if (row == kDistanceRow) {
        std::snprintf(buffer, sizeof buffer, "%0.2f", record_.distance * 0.0001);
    } else {
        const uint32_t values[kStatsRowCount - 1] = {record_.leftPresses, record_.middlePresses, record_.rightPresses,
                                                     Clicks(), record_.wheelForward, record_.wheelBackward, Wheel()};
        if (row < 0 || row >= kDistanceRow) return {};
        std::snprintf(buffer, sizeof buffer, "%d", static_cast<int32_t>(values[row]));
    }
    return Ascii16(buffer);
}

} // namespace n640
