#include "stats/StatsModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "testing/RecordingNotifier.h"
#include "testing/ScriptedFiles.h"
#include "testing/TempDir.h"

namespace n640 {
namespace {

using testing::CRecordingNotifier;
using testing::CScriptedFiles;
using testing::CTempDir;

std::vector<uint8_t> LittleEndian(std::initializer_list<uint32_t> words) {
    std::vector<uint8_t> bytes;
    for (uint32_t w : words)
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(w >> (8 * i)));
    return bytes;
}

class StatsModelTest : public ::testing::Test {
protected:
    StatsModelTest() {
        strings["str_msg2"] = u"Cannot save %s.";
        strings["str_msg5"] = u"Access denied.";
    }
    CStatsModel Make() {
        return CStatsModel(dir.path(), files, notifier, [this](std::string_view key) { return strings[std::string(key)]; });
    }
    void Press(CStatsModel& m, uintptr_t code, int times) {
        for (int i = 0; i < times; ++i) ASSERT_TRUE(m.Count(code));
    }
    std::filesystem::path File() const { return dir / "Sts.cfg"; }

    CTempDir dir;
    CScriptedFiles files;
    CRecordingNotifier notifier;
    std::map<std::string, std::u16string> strings;
};

TEST(TrophyLevel, CountsGetTheLevelOfTheFirstBoundTheyAreBelow) {
    const struct {
        uint32_t count;
        int level;
    } cases[] = {{0, 0},          {99'999, 0},     {100'000, 1},     {499'999, 1},     {500'000, 2},
                 {2'999'999, 6},  {3'000'000, 7},  {3'999'999, 7},   {4'000'000, 8},   {7'999'999, 10},
                 {8'000'000, 11}, {9'999'999, 11}, {10'000'000, 12}, {10'000'001, 12}, {0xFFFFFFFFu, 12}};
    for (const auto& c : cases) EXPECT_EQ(TrophyLevelOf(c.count), c.level) << c.count;
}

TEST_F(StatsModelTest, TheHundredThousandthPressReachesLevelOne) {
    CStatsModel m = Make();
    Press(m, stats_event::kLeftDown, 99'999);
    EXPECT_EQ(m.Level(), 0);
    m.SetLevelShown();
    EXPECT_FALSE(m.LevelChanged());

    Press(m, stats_event::kLeftDown, 1);
    EXPECT_EQ(m.Level(), 1);
    EXPECT_TRUE(m.LevelChanged());  // the level-1 trophy is loaded at the next drawing
    EXPECT_TRUE(m.MarkChecked(0));
    EXPECT_TRUE(m.MarkChecked(1));
    EXPECT_FALSE(m.MarkChecked(2));
    EXPECT_EQ(ProgressBarRect(m.Level()).Width(), 42);
    EXPECT_EQ(ProgressBarRect(m.Level()), (Rect{631, 62, 673, 77}));
}

TEST_F(StatsModelTest, ClicksOfAllThreeButtonsAddUp) {
    CStatsModel m = Make();
    Press(m, stats_event::kLeftDown, 60'000);
    Press(m, stats_event::kRightDown, 39'999);
    EXPECT_EQ(m.Level(), 0);
    Press(m, stats_event::kRightDown, 1);
    EXPECT_EQ(m.Clicks(), 100'000u);
    EXPECT_EQ(m.Level(), 1);
    EXPECT_EQ(m.RowText(3), u"100000");
}

TEST_F(StatsModelTest, TenMillionWheelNotchesGiveTheTopLevelWithoutClicks) {
    CStatsModel m = Make();
    Press(m, stats_event::kWheelForward, 6'000'000);
    Press(m, stats_event::kWheelBackward, 3'999'999);
    EXPECT_EQ(m.Level(), 11);
    Press(m, stats_event::kWheelBackward, 1);
    EXPECT_EQ(m.Level(), kTopTrophyLevel);
    EXPECT_EQ(m.Clicks(), 0u);
    EXPECT_EQ(ProgressBarRect(m.Level()).Width(), 273);
    for (int k = 0; k < kTrophyLevelCount; ++k) EXPECT_TRUE(m.MarkChecked(k)) << k;
    EXPECT_EQ(m.RowText(4), u"6000000");
    EXPECT_EQ(m.RowText(5), u"4000000");
    EXPECT_EQ(m.RowText(6), u"10000000");
}

TEST_F(StatsModelTest, OtherEventCodesChangeNothing) {
    CStatsModel m = Make();
    // Extra buttons down and up, button releases, horizontal wheel, nothing.
    for (uintptr_t code : {uintptr_t{523}, uintptr_t{524}, uintptr_t{514}, uintptr_t{517}, uintptr_t{520},
                           uintptr_t{526}, uintptr_t{0x20A02}, uintptr_t{0}})
        EXPECT_FALSE(m.Count(code)) << code;
    const StatsRecord zero{};
    EXPECT_EQ(std::memcmp(&m.Record(), &zero, sizeof zero), 0);
}

TEST_F(StatsModelTest, CountersWrapAndShowAsSignedThirtyTwoBitNumbers) {
    // left 2^32-1, middle 2^31-1, right 5; wheel forward 2^31, backward 2^31.
    testing::WriteBytes(File(), LittleEndian({0xFFFFFFFFu, 0x7FFFFFFFu, 5, 0x80000000u, 0x80000000u, 0}));
    CStatsModel m = Make();
    ASSERT_TRUE(m.LoadStatistics());
    EXPECT_EQ(m.RowText(0), u"-1");
    EXPECT_EQ(m.RowText(1), u"2147483647");
    EXPECT_EQ(m.RowText(3), u"-2147483645");  // the sum is taken in 32 bits
    EXPECT_EQ(m.RowText(4), u"-2147483648");
    EXPECT_EQ(m.RowText(6), u"0");
    EXPECT_EQ(m.Level(), kTopTrophyLevel);

    Press(m, stats_event::kLeftDown, 1);
    EXPECT_EQ(m.Record().leftPresses, 0u);
    EXPECT_EQ(m.RowText(0), u"0");
    EXPECT_EQ(m.Level(), kTopTrophyLevel);  // never lower, even when a sum wraps to a small value
}

TEST_F(StatsModelTest, DistanceAddsBothMovesBetweenSamples) {
    CStatsModel m = Make();
    m.SetLastPoint({100, 100});
    m.Sample({400, 500});
    EXPECT_EQ(m.Record().distance, 700u);
    EXPECT_EQ(m.RowText(kDistanceRow), u"0.07");
    m.Sample({-200, 450});  // a monitor left of the primary one
    EXPECT_EQ(m.Record().distance, 700u + 600u + 50u);
    m.Sample({-200, 450});
    EXPECT_EQ(m.Record().distance, 1350u);
    EXPECT_EQ(m.Level(), 0);  // distance earns no trophy

    testing::WriteBytes(File(), LittleEndian({0, 0, 0, 0, 0, 123'456'789}));
    CStatsModel loaded = Make();
    ASSERT_TRUE(loaded.LoadStatistics());
    EXPECT_EQ(loaded.RowText(kDistanceRow), u"12345.68");
}

TEST_F(StatsModelTest, LoadReadsWhatTheFileHolds) {
    testing::WriteBytes(File(), LittleEndian({7, 8, 9}));  // 12 bytes
    CStatsModel shortFile = Make();
    ASSERT_TRUE(shortFile.LoadStatistics());
    EXPECT_EQ(shortFile.Record().leftPresses, 7u);
    EXPECT_EQ(shortFile.Record().middlePresses, 8u);
    EXPECT_EQ(shortFile.Record().rightPresses, 9u);
    EXPECT_EQ(shortFile.Record().wheelForward, 0u);
    EXPECT_EQ(shortFile.Record().wheelBackward, 0u);
    EXPECT_EQ(shortFile.Record().distance, 0u);

    testing::WriteBytes(File(), LittleEndian({1, 2, 3, 4, 5, 6, 0xDEADBEEF}));  // a longer file
    CStatsModel longFile = Make();
    ASSERT_TRUE(longFile.LoadStatistics());
    EXPECT_EQ(longFile.Record().distance, 6u);
    EXPECT_EQ(longFile.Record().wheelBackward, 5u);
    EXPECT_TRUE(notifier.boxes.empty());
}

TEST_F(StatsModelTest, AMissingFileIsReportedAndCountingStartsFromZero) {
    CStatsModel m = Make();
    EXPECT_FALSE(m.LoadStatistics());
    ASSERT_EQ(notifier.boxes.size(), 1u);
    EXPECT_FALSE(notifier.boxes[0].system);
    EXPECT_EQ(notifier.boxes[0].text,
              u"Failed to open file, check whether there is a " + File().u16string() + u" path?");
    EXPECT_EQ(m.Clicks(), 0u);

    // The file is created at the first save.
    Press(m, stats_event::kMiddleDown, 3);
    ASSERT_TRUE(m.SaveStatistics());
    EXPECT_EQ(testing::ReadBytes(File()), LittleEndian({0, 3, 0, 0, 0, 0}));
}

TEST_F(StatsModelTest, SaveWritesTheSixCountersInPlaceOfTheOldFile) {
    testing::WriteBytes(File(), LittleEndian({1, 1, 1, 1, 1, 1, 1, 1}));
    CStatsModel m = Make();
    ASSERT_TRUE(m.LoadStatistics());
    Press(m, stats_event::kLeftDown, 2);
    Press(m, stats_event::kRightDown, 1);
    Press(m, stats_event::kWheelForward, 4);
    Press(m, stats_event::kWheelBackward, 5);
    m.SetLastPoint({0, 0});
    m.Sample({3, 4});
    ASSERT_TRUE(m.SaveStatistics());
    EXPECT_EQ(testing::ReadBytes(File()), LittleEndian({3, 1, 2, 5, 6, 8}));
    EXPECT_FALSE(std::filesystem::exists(TemporaryFileFor(File())));
    EXPECT_EQ(files.writes, 1);
}

TEST_F(StatsModelTest, SaveFailuresKeepTheOldFileAndTellTheUserWhenTheyCan) {
    const std::vector<uint8_t> old = LittleEndian({9, 9, 9, 9, 9, 9});
    const struct {
        FileStatus status;
        bool replaceFails;
        std::u16string shown;  // "" : nothing is shown
    } cases[] = {
        {FileStatus::NotFound, false, u"Info: Cannot save " + File().u16string() + u"."},
        {FileStatus::AccessDenied, false, u"Info: Access denied."},
        {FileStatus::Failed, false, u""},
        {FileStatus::Ok, true, u""},  // a crash between writing and replacing
    };
    for (const auto& c : cases) {
        testing::WriteBytes(File(), old);
        notifier.boxes.clear();
        files.failWrites.clear();
        if (c.status != FileStatus::Ok) files.failWrites[File()] = c.status;
        files.failReplace = c.replaceFails;
        CStatsModel m = Make();
        ASSERT_TRUE(m.LoadStatistics());
        Press(m, stats_event::kLeftDown, 1);
        EXPECT_FALSE(m.SaveStatistics());
        EXPECT_EQ(testing::ReadBytes(File()), old);
        EXPECT_EQ(m.Record().leftPresses, 10u);  // the counts stay in memory
        if (c.shown.empty()) {
            EXPECT_TRUE(notifier.boxes.empty());
        } else {
            EXPECT_EQ(notifier.Texts(), std::vector<std::u16string>{c.shown});
        }
    }
}

TEST_F(StatsModelTest, SaveIntoAMissingFolderFails) {
    CStatsModel m(dir / "gone", files, notifier, nullptr);
    EXPECT_FALSE(m.SaveStatistics());
    EXPECT_FALSE(std::filesystem::exists(dir / "gone"));
}

TEST_F(StatsModelTest, ResetHappensOnlyOnOkAndIsSavedAtOnce) {
    const std::vector<uint8_t> before = LittleEndian({200'000, 1, 2, 3, 4, 5});
    testing::WriteBytes(File(), before);
    CStatsModel m = Make();
    ASSERT_TRUE(m.LoadStatistics());
    m.SetLevelShown();
    ASSERT_EQ(m.Level(), 1);

    notifier.answer = kInfoCancel;
    EXPECT_FALSE(m.AskReset(false));
    ASSERT_EQ(notifier.boxes.size(), 1u);
    EXPECT_EQ(notifier.boxes[0].text, kResetQuestionEn);
    EXPECT_EQ(notifier.boxes[0].buttons, InfoButtons::OkCancel);
    EXPECT_EQ(m.Level(), 1);
    EXPECT_FALSE(m.LevelChanged());
    EXPECT_EQ(m.Record().distance, 5u);
    EXPECT_EQ(testing::ReadBytes(File()), before);
    EXPECT_EQ(files.writes, 0);

    notifier.answer = kInfoOk;
    EXPECT_TRUE(m.AskReset(true));
    EXPECT_EQ(notifier.boxes.back().text, kResetQuestionZh);
    EXPECT_EQ(m.Level(), 0);
    EXPECT_TRUE(m.LevelChanged());  // the level-0 pictures are loaded again
    EXPECT_FALSE(m.MarkChecked(1));
    for (int row = 0; row < kDistanceRow; ++row) EXPECT_EQ(m.RowText(row), u"0") << row;
    EXPECT_EQ(m.RowText(kDistanceRow), u"0.00");
    EXPECT_EQ(testing::ReadBytes(File()), std::vector<uint8_t>(24, 0));
    EXPECT_EQ(files.writes, 1);
}

TEST(StatsGeometry, RowsFollowTheInstallationLanguage) {
    EXPECT_EQ(StatsRowRect(0, false), (Rect{152, 85, 227, 106}));
    EXPECT_EQ(StatsRowRect(3, false), (Rect{152, 183, 227, 203}));
    EXPECT_EQ(StatsRowRect(kDistanceRow, false), (Rect{152, 384, 227, 404}));
    EXPECT_EQ(StatsRowRect(6, true), (Rect{167, 319, 242, 339}));
    EXPECT_EQ(StatsRowRect(kDistanceRow, true), (Rect{187, 384, 262, 404}));
    // What a count or the distance timer redraws covers the rows of the layout in use.
    for (bool chinese : {false, true}) {
        const Rect area = StatsNumberArea(chinese);
        for (int row = 0; row < kStatsRowCount; ++row) {
            const Rect r = StatsRowRect(row, chinese);
            EXPECT_TRUE(area.left <= r.left && area.top <= r.top && area.right >= r.right && area.bottom >= r.bottom)
                << row << " " << chinese;
        }
        EXPECT_EQ(StatsDistanceArea(chinese), StatsRowRect(kDistanceRow, chinese));
    }
}

TEST(StatsGeometry, MarksSitFiveToARow) {
    EXPECT_EQ(LevelMarkRect(0), (Rect{647, 132, 690, 182}));
    EXPECT_EQ(LevelMarkRect(4), (Rect{847, 132, 890, 182}));
    EXPECT_EQ(LevelMarkRect(7), (Rect{747, 190, 790, 240}));
    EXPECT_EQ(LevelMarkRect(12), (Rect{747, 248, 790, 298}));
    EXPECT_EQ(ProgressBarRect(0).Width(), 21);
}

} // namespace
} // namespace n640
