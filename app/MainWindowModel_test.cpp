#include "app/MainWindowModel.h"

#include <gtest/gtest.h>

#include "device/ApplyWorker.h"
#include "testing/RecordingClock.h"
#include "ui/pages/MainSetModel.h"

namespace n640 {
namespace {

TEST(MainWindowModel, PageSwitchRules) {
    for (int page = 1; page <= 5; ++page) {
        const PageSwitch s = PlanPageSwitch(page);
        for (int i = 0; i < kTabCount; ++i) EXPECT_EQ(s.visible[i], i + 1 == page) << page;
        EXPECT_EQ(s.profileAndOkEnabled, page <= 2) << page;
        EXPECT_EQ(s.leaveMacroPage, page != 3) << page;
        EXPECT_EQ(s.loadLightingControls, page == 2) << page;  // clicking the macro tab again keeps a recording
        EXPECT_EQ(s.refreshMainSettings, page == 1);
        EXPECT_EQ(s.refreshLighting, page == 2);
    }
}

TEST(MainWindowModel, HoverHintsUseEnlargedButtonRectangles) {
    EXPECT_EQ(HoverHintIds({100, 100}), std::vector<int>{1});
    EXPECT_EQ(HoverHintIds({29, 84}), std::vector<int>{1});     // one pixel outside the box still counts
    EXPECT_TRUE(HoverHintIds({28, 100}).empty());
    EXPECT_EQ(HoverHintIds({200, 100}), (std::vector<int>{1, 2}));  // tab boxes overlap
    EXPECT_EQ(HoverHintIds({900, 610}), std::vector<int>{11});
    EXPECT_TRUE(HoverHintIds({500, 300}).empty());                 // page area
}

TEST(MainWindowModel, HintKeysCoverTheListedIdsOnly) {
    EXPECT_EQ(HintKey(1), "str_main");
    EXPECT_EQ(HintKey(11), "str_ok");
    EXPECT_EQ(HintKey(36), "str_led_symphonySpeed");
    EXPECT_EQ(HintKey(90), "str_firmware_version");
    for (int gap : {0, 19, 25, 30, 35, 37, 46, 66, 74, 80, 91}) EXPECT_TRUE(HintKey(gap).empty()) << gap;
    EXPECT_EQ(IrrTooltipKey(5), "str_profile1");
    EXPECT_TRUE(IrrTooltipKey(11).empty());
}

TEST(MainWindowModel, OnlyNoticesOfTheMouseCount) {
    EXPECT_TRUE(IsMouseNotice(u"\\\\?\\USB#VID_3F1C&PID_5C21#6&1a2b#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"));
    EXPECT_TRUE(IsMouseNotice(u"\\\\?\\usb#vid_3f1c&pid_5c21#x"));
    EXPECT_FALSE(IsMouseNotice(u"\\\\?\\USB#VID_3F1C&PID_5C22#x"));  // another model of the maker
    EXPECT_FALSE(IsMouseNotice(u""));
}

TEST(MainWindowModel, ArrivalRetriesGiveUpAfterTwentyTries) {
    CArrivalRetry r;
    EXPECT_EQ(r.OnAttempt(true), CArrivalRetry::Step::GiveUp);  // not begun
    r.Begin();
    for (int i = 1; i < CArrivalRetry::kMaxTries; ++i) ASSERT_EQ(r.OnAttempt(false), CArrivalRetry::Step::TryAgain);
    EXPECT_EQ(r.OnAttempt(false), CArrivalRetry::Step::GiveUp);
    EXPECT_FALSE(r.Active());
    r.Begin();
    EXPECT_EQ(r.OnAttempt(false), CArrivalRetry::Step::TryAgain);
    EXPECT_EQ(r.OnAttempt(true), CArrivalRetry::Step::Opened);
    EXPECT_FALSE(r.Active());
}

TEST(MainWindowModel, ArrivalNeverWaitsOnARunningApply) {
    CArrivalRetry r;
    r.Begin();
    EXPECT_FALSE(r.MayTry(true));
    EXPECT_TRUE(r.MayTry(false));
    // Turns skipped during an apply do not use up the tries.
    for (int i = 0; i < 3 * CArrivalRetry::kMaxTries; ++i) ASSERT_FALSE(r.MayTry(true));
    EXPECT_EQ(r.Tries(), 0);
    EXPECT_EQ(r.OnAttempt(true), CArrivalRetry::Step::Opened);
    EXPECT_FALSE(r.MayTry(false));  // done
}

TEST(MainWindowModel, StartSearchPacing) {
    struct Case {
        const char* name;
        int loaderFoundAt;  // 0: never
        int openAt;         // 0: never
        SearchOutcome outcome;
        size_t pauses;
    };
    const Case cases[] = {
        {"mouse at once", 0, 1, SearchOutcome::Found, 2},
        {"plugged in during the attempts", 0, 4, SearchOutcome::Found, 5},
        {"missing", 0, 0, SearchOutcome::Missing, 12},
        {"loader on second check", 2, 1, SearchOutcome::LoaderMode, 1},
    };
    for (const Case& c : cases) {
        testing::CRecordingClock clock;
        int loaderCalls = 0, openCalls = 0;
        SearchPorts ports{[&] { return ++loaderCalls == c.loaderFoundAt; },
                          [&] { return ++openCalls == c.openAt; }};
        EXPECT_EQ(SearchAtStart(ports, clock), c.outcome) << c.name;
        EXPECT_EQ(clock.sleeps.size(), c.pauses) << c.name;
        for (uint32_t ms : clock.sleeps) EXPECT_EQ(ms, 500u) << c.name;
        if (c.outcome == SearchOutcome::LoaderMode) {
            EXPECT_EQ(openCalls, 0) << c.name;
        }
    }
}

TEST(MainWindowModel, BuiltInTexts) {
    EXPECT_EQ(MouseMissingText(false), u"The N640 gaming mouse cannot be found.");
    EXPECT_EQ(MouseFoundText(true), u"发现N640游戏鼠标.");
    EXPECT_EQ(IrrBitmapsFor(true).pressed, 156);
    EXPECT_EQ(IrrBitmapsFor(false).hover, 158);
    EXPECT_EQ(ApplyFailureMessage(static_cast<int>(ApplyFailure::DpiTable)), ApplyFailureText(ApplyFailure::DpiTable));
    for (int code : {-1, kApplyFailureCount, 1000}) EXPECT_EQ(ApplyFailureMessage(code), u"Write to the mouse failed.\n");
}

TEST(MainWindowModel, StartedProgramsAndTheirArgument) {
    const std::filesystem::path install = "inst";
    EXPECT_EQ(FirmwareToolPath(install), install / "FWUpdate" / "DidizoVA.exe");
    EXPECT_EQ(UpdaterPath(install), install / "zentu_update" / "ZentuUpdate.exe");
    EXPECT_EQ(FirmwareToolArgument(true), u"1");
    EXPECT_EQ(FirmwareToolArgument(false), u"0");
    EXPECT_FALSE(ChecksScrollLines(kWheelScreen));
    EXPECT_TRUE(ChecksScrollLines(3));
}

TEST(MainWindowModel, DemoSwitchIsTheOnlyCommandLine) {
    struct Case {
        std::vector<std::u16string> args;
        bool simulated;
        std::optional<std::u16string> state;
        std::optional<uint8_t> fail;
        bool error = false;
    };
    const Case cases[] = {
        {{}, false, std::nullopt, std::nullopt},
        {{u"--simulated-mouse"}, true, std::nullopt, std::nullopt},
        {{u"--simulated-mouse", u"C:\\m.bin"}, true, u"C:\\m.bin", std::nullopt},
        {{u"--simulated-mouse", u"--fail-command", u"0x12"}, true, std::nullopt, uint8_t{0x12}},
        {{u"--simulated-mouse", u"s.bin", u"--fail-command", u"18"}, true, u"s.bin", uint8_t{18}},
        {{u"--fail-command", u"18"}, false, std::nullopt, std::nullopt},  // ignored without the switch
        {{u"--fail-command", u"zz"}, false, std::nullopt, std::nullopt},
        // A value that is no command code is an error rather than a demo without the failure.
        {{u"--simulated-mouse", u"--fail-command", u"0x1FF"}, true, std::nullopt, std::nullopt, true},
        {{u"--simulated-mouse", u"--fail-command", u"x"}, true, std::nullopt, std::nullopt, true},
        {{u"--simulated-mouse", u"--fail-command", u"0x"}, true, std::nullopt, std::nullopt, true},
        {{u"--simulated-mouse", u"--fail-command"}, true, std::nullopt, std::nullopt, true},
        {{u"stray", u"--other"}, false, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        const DemoOptions o = ParseDemoOptions(c.args);
        EXPECT_EQ(o.simulated, c.simulated);
        EXPECT_EQ(o.stateFile, c.state);
        EXPECT_EQ(o.failCommand, c.fail);
        EXPECT_EQ(o.error.has_value(), c.error);
    }
}

} // namespace
} // namespace n640
