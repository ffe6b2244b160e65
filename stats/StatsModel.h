#pragma once
// Click, wheel and distance statistics with their trophy level: the Sts.cfg record, the counting
// and sampling rules, the page geometry that follows the level, the displayed texts, and loading
// and saving the file. The statistics page only draws what this model says.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/File.h"
#include "platform/Notifier.h"
#include "ui/controls/IrrShape.h"

namespace n640 {

// Sts.cfg: six little-endian u32, no header. Every counter wraps at 2^32.
struct StatsRecord {
    uint32_t leftPresses = 0;
    uint32_t middlePresses = 0;
    uint32_t rightPresses = 0;
    uint32_t wheelForward = 0;   // notches away from the user
    uint32_t wheelBackward = 0;
    uint32_t distance = 0;       // pointer travel in screen pixels (|dx| + |dy| between samples)
};
static_assert(sizeof(StatsRecord) == 24);
static_assert(offsetof(StatsRecord, middlePresses) == 4);
static_assert(offsetof(StatsRecord, rightPresses) == 8);
static_assert(offsetof(StatsRecord, wheelForward) == 12);
static_assert(offsetof(StatsRecord, wheelBackward) == 16);
static_assert(offsetof(StatsRecord, distance) == 20);

constexpr const char* kStatsFileName = "Sts.cfg";

// Mouse event codes of the hook's reports (wParam of message 1225). Every other code is ignored.
namespace stats_event {
constexpr uintptr_t kLeftDown = 513;
constexpr uintptr_t kRightDown = 516;
constexpr uintptr_t kMiddleDown = 519;
constexpr uintptr_t kWheelForward = 0x20A01;
constexpr uintptr_t kWheelBackward = 0x20A00;
} // namespace stats_event

// Trophy levels 0..12: a count gets the level of the first bound it is below; 12 above them all.
constexpr int kTrophyLevelCount = 13;
constexpr int kTopTrophyLevel = kTrophyLevelCount - 1;
constexpr std::array<uint32_t, kTopTrophyLevel> kTrophyBounds = {
    100'000, 500'000, 1'000'000, 1'500'000, 2'000'000, 2'500'000,
    3'000'000, 4'000'000, 5'000'000, 6'000'000, 8'000'000, 10'000'000};
int TrophyLevelOf(uint32_t count);

// The level whose pictures a fresh (or freshly reset) page has loaded: none, so the first drawing
// loads them.
constexpr int kNoLevelShown = 800;

// Page geometry, in page pixels.
constexpr Rect kTrophyRect{309, 0, 607, 451};
constexpr Rect kResetRect{703, 379, 832, 410};
// The progress bar grows 21 pixels per level from 631 (273 pixels wide at level 12).
constexpr Rect ProgressBarRect(int level) {
    level = level < 0 ? 0 : level > kTopTrophyLevel ? kTopTrophyLevel : level;
    return {631, 62, 631 + 21 * (level + 1), 77};
}
// Level mark k (0..12): five to a row, 50 pixels apart, rows 58 pixels apart.
constexpr Rect LevelMarkRect(int mark) {
    return {647 + 50 * (mark % 5), 132 + 58 * (mark / 5), 647 + 50 * (mark % 5) + 43, 132 + 58 * (mark / 5) + 50};
}

// The eight number rows: left, middle, right presses, clicks, wheel forward, backward, wheel,
// distance. Their horizontal place follows the installation language.
constexpr int kStatsRowCount = 8;
constexpr int kDistanceRow = 7;
Rect StatsRowRect(int row, bool installChinese);
// What a count redraws (every number row) and what the distance timer redraws.
Rect StatsNumberArea(bool installChinese);
Rect StatsDistanceArea(bool installChinese);

// Hint numbers of the trophy picture and the reset button.
constexpr int kTrophyHint = 54;
constexpr int kResetHint = 55;

// The reset question, in the interface language.
inline constexpr std::u16string_view kResetQuestionEn = u"Do you want to reset trophy data ?";
inline constexpr std::u16string_view kResetQuestionZh = u"确定要重置奖杯和统计数据么？";
inline constexpr std::u16string_view kStatsFailedToOpen = u"Failed to open file, check whether there is a %s path?";

class CStatsModel {
public:
    CStatsModel(std::filesystem::path dataDir, IFiles& files, INotifier& notifier, TextLookup language);

    std::filesystem::path FilePath() const { return dataDir_ / kStatsFileName; }

    // Reads Sts.cfg over zeroed counters (a short file leaves the rest 0). A missing file or
    // folder shows the open failure with the path; other failures are silent. True when read.
    bool LoadStatistics();
    // Writes Sts.cfg (temporary file, then replaced). A file or folder not found shows str_msg2
    // with the path, refused access str_msg5; other failures are silent. True when written.
    bool SaveStatistics();

    // A hook report: true when the code is one that counts.
    bool Count(uintptr_t eventCode);
    // The pointer position of the page's initialisation: the start of the first sample's move.
    void SetLastPoint(Point p) { last_ = p; }
    // A distance sample: adds the move since the previous sample.
    void Sample(Point p);

    // Asks the reset question; only on OK zeroes every counter and the level and saves at once.
    // True when reset.
    bool AskReset(bool uiChinese);

    const StatsRecord& Record() const { return record_; }
    uint32_t Clicks() const { return record_.leftPresses + record_.middlePresses + record_.rightPresses; }
    uint32_t Wheel() const { return record_.wheelForward + record_.wheelBackward; }
    // The highest level reached; it goes down only by a reset.
    int Level() const { return level_; }
    bool MarkChecked(int mark) const { return mark >= 0 && mark <= level_; }

    // The trophy picture and the marks must be reloaded when the level differs from the one shown.
    bool LevelChanged() const { return level_ != shownLevel_; }
    void SetLevelShown() { shownLevel_ = level_; }

    // The text of a number row: counts as signed 32-bit decimals, the distance in units of
    // 10 000 pixels with two decimals.
    std::u16string RowText(int row) const;

private:
    void UpdateLevel();
    std::u16string Text(std::string_view key) const { return language_ ? language_(key) : std::u16string(); }

    std::filesystem::path dataDir_;
    IFiles& files_;
    INotifier& notifier_;
    TextLookup language_;
    StatsRecord record_{};
    int level_ = 0;
    int shownLevel_ = kNoLevelShown;
    Point last_{};
};

} // namespace n640
