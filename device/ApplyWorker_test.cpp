#include "device/ApplyWorker.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "config/ProfileStore.h"
#include "device/sim/SimulatedMouse.h"
#include "functions/FunctionModel.h"
#include "platform/File.h"
#include "platform/Notifier.h"
#include "testing/ThreadSafePoster.h"

namespace n640 {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

WindowRef kDialog = reinterpret_cast<WindowRef>(0xD1A);
WindowRef kMain = reinterpret_cast<WindowRef>(0x3A1);

// The posted messages of an apply: its progress and its answers.
class CPostBox final : public testing::CThreadSafePoster {
public:
    std::vector<int> Progress() const {
        std::vector<int> values;
        for (const Posted& p : All())
            if (p.message == msg::ApplyProgress) {
                EXPECT_EQ(p.target, kDialog);
                values.push_back(static_cast<int>(p.wParam));
            }
        return values;
    }
    // Answers (1795, 1796) in order, as message * 10 + code (1795 -> 17950, 1796 code 3 -> 17963).
    std::vector<int64_t> Answers() const {
        std::vector<int64_t> out;
        for (const Posted& p : All())
            if (p.message == msg::ApplySucceeded || p.message == msg::ApplyFailed) {
                EXPECT_EQ(p.target, kMain);
                out.push_back(int64_t{p.message} * 10 + p.lParam);
            }
        return out;
    }
    bool WaitForAnswers(size_t count) {
        return WaitUntil(std::chrono::seconds(20), [&](const std::vector<Posted>& posted) {
            size_t n = 0;
            for (const Posted& p : posted) n += p.message == msg::ApplySucceeded || p.message == msg::ApplyFailed;
            return n >= count;
        });
    }
};

class CPointerRecorder final : public IPointerSettings {
public:
    void Apply(const PointerValues& v) override { applied.push_back(v); }
    std::vector<PointerValues> applied;
};

void Silent(std::u16string_view, std::u16string_view) {}

MacroRecord MakeMacro(uint32_t id, std::vector<uint32_t> events, uint32_t repeat = 1) {
    MacroRecord r{};
    r.size = kMacroHeaderSize + 4 * static_cast<uint32_t>(events.size());
    r.magic = kMacroMagic;
    r.id = id;
    r.repeatCount = repeat;
    r.eventCount = static_cast<uint32_t>(events.size());
    std::copy(events.begin(), events.end(), r.events);
    return r;
}

constexpr uint32_t kIdA = 0x15000001, kIdB = 0x15000002, kIdEmpty = 0x15000003;

class ApplyTest : public ::testing::Test {
protected:
    void SetUp() override {
        BuildDefaultProfile(&profile);
        ASSERT_TRUE(link.Open());
        log.Clear();
        macros.Record(0) = MakeMacro(kIdA, {MakeEvent(kEventPress, 65), MakeEvent(kEventDelay, 50),
                                            MakeEvent(kEventRelease, 65)});
        macros.Record(1) = MakeMacro(kIdB, {MakeEvent(kEventPress, 13), MakeEvent(kEventRelease, 13)}, 3);
        macros.Record(2) = MakeMacro(kIdEmpty, {});
        macros.Record(2).size = 0;
        macros.Record(2).magic = kMacroMagic;  // still listed, but holds nothing to send
    }

    ApplyOutcome Run() { return RunApply(ApplyData{profile, assignments, macros}, ports); }

    void SetType(int input, int type) { profile.buttons[input].type = type; }

    std::array<uint32_t, kKeyMatrixSlots> Matrix() const {
        std::array<uint32_t, kKeyMatrixSlots> m{};
        const SimMemory mem = mouse.Memory();
        std::memcpy(m.data(), mem.keyMatrix, sizeof mem.keyMatrix);
        return m;
    }
    uint64_t TotalWaits() const { return CApplyTrace::TotalWaitMs(log.Events()); }

    CSimulatedMouse mouse;
    CSimHidEnumerator sim{mouse};
    CLinkLog log;
    CRecordingHid hid{sim, log};
    CRecordingClock clock{log};
    CUSBDriver link{hid, clock};

    CSystemClock& libraryClock = CSystemClock::Instance();
    CTextNotifier notifier{Silent};
    CMacroLibrary macros{"unused", CSystemFiles::Instance(), notifier, {}, libraryClock};
    ProfileImage profile{};
    MacroAssignments assignments{};

    CHookState hook;
    CPostBox posts;
    CPointerRecorder pointer;
    CApplyTrace trace{log, &posts, &pointer};
    ApplyPorts ports{link, hook, trace, clock, trace, kDialog, kMain};
};

const std::vector<int> kFullProgress = {0, 7, 14, 21, 28, 35, 42, 60, 70, 80, 90, 100};

TEST_F(ApplyTest, DefaultProfileWritesTheListedMatrixInOrderWithTheFixedWaits) {
    const ApplyOutcome out = Run();
    EXPECT_EQ(out.kind, ApplyOutcome::Kind::Succeeded);

    EXPECT_THAT(Matrix(), ElementsAre(0x00F00001, 0x00F10001, 0x00F20001, 0x00030007, 0x00F30001, 0x00F40001, 0, 0, 0,
                                      0, 0, 0, 0, 0, 0x00010004, 0x00020004));
    EXPECT_EQ(posts.Progress(), kFullProgress);
    EXPECT_THAT(posts.Answers(), ElementsAre(17950));
    EXPECT_EQ(TotalWaits(), 1100u);
    EXPECT_THAT(mouse.Commands(), ElementsAre(cmd::KeyMatrix, cmd::LedColour, cmd::LightEffect, cmd::DpiTable,
                                              cmd::DpiLevelValue, cmd::ReportInterval));
    EXPECT_THAT(mouse.ProtocolErrors(), IsEmpty());
    ASSERT_EQ(pointer.applied.size(), 1u);
    EXPECT_EQ(pointer.applied[0].pointerSpeed, profile.settings.pointerSpeed);
    EXPECT_EQ(pointer.applied[0].wheelLines, profile.settings.wheelLines);

    // The order of posts, commands and waits (data reports reduced to "output").
    std::vector<std::string> shape;
    for (const std::string& line : trace.Lines()) {
        if (line.rfind("feature", 0) == 0) shape.push_back("cmd " + line.substr(8, 2));
        else if (line.rfind("output", 0) == 0) shape.push_back("output");
        else if (line.rfind("pointer", 0) == 0) shape.push_back("pointer");
        else shape.push_back(line);
    }
    const std::vector<std::string> expected = {
        "wait 50",
        "progress 0", "wait 50", "progress 7", "wait 50", "progress 14", "wait 50", "progress 21", "wait 50",
        "progress 28", "wait 50", "progress 35", "wait 50", "progress 42", "wait 50",
        "cmd 12", "wait 100", "wait 50", "output", "wait 50", "wait 50", "output", "wait 50", "progress 60",
        "cmd 0C", "cmd 0D", "progress 70",
        "cmd 11", "wait 50", "output", "wait 50", "cmd 0B", "progress 80",
        "pointer", "progress 90", "cmd 01", "progress 100", "wait 300", "result ok"};
    EXPECT_EQ(shape, expected);
}

TEST_F(ApplyTest, MacrosGetSlotsInInputOrderAndTheirEntryCounts) {
    SetType(kInputRight, kTypeMacro);
    SetType(kInputWheelUp, kTypeMacro);
    assignments[kInputRight] = kIdA;
    assignments[kInputWheelUp] = kIdB;

    EXPECT_EQ(Run().kind, ApplyOutcome::Kind::Succeeded);
    const MacroBlock a = EncodeMacroBlock(macros.Record(0));
    const MacroBlock b = EncodeMacroBlock(macros.Record(1));
    const auto m = Matrix();
    EXPECT_EQ(m[1], 0x09u + 1 * 0x10000u + a.entries * 0x1000000u);  // input 2: slot 1
    EXPECT_EQ(m[14], 0x09u + 2 * 0x10000u + b.entries * 0x1000000u); // input 5: slot 2
    EXPECT_EQ(a.entries, 3u);
    const SimMemory mem = mouse.Memory();
    EXPECT_EQ(0, std::memcmp(mem.macros[0], a.bytes.data(), kMacroBlockSize));
    EXPECT_EQ(0, std::memcmp(mem.macros[1], b.bytes.data(), kMacroBlockSize));
    EXPECT_EQ(posts.Progress(), kFullProgress);
    EXPECT_EQ(TotalWaits(), 1100u + 2 * 1750u);
}

TEST_F(ApplyTest, MacroInputWithoutAMacroKeepsItsOwnFunctionAndUsesNoSlot) {
    SetType(kInputLeft, kTypeMacro);          // names no macro of the library
    assignments[kInputLeft] = 0x15999999;
    SetType(kInputForward, kTypeCombination);
    profile.buttons[kInputForward].comboCode = 0x00060100;  // Ctrl+C
    SetType(kInputBack, kTypeMacro);          // right after the combination, with an empty macro
    assignments[kInputBack] = kIdEmpty;
    SetType(kInputWheelDown, kTypeMacro);     // the first real macro: slot 1
    assignments[kInputWheelDown] = kIdA;

    EXPECT_EQ(Run().kind, ApplyOutcome::Kind::Succeeded);
    const auto m = Matrix();
    EXPECT_EQ(m[0], 0x00F00001u);
    EXPECT_EQ(m[5], 0x00060100u);
    EXPECT_EQ(m[4], 0x00F30001u);  // not the combination left in the code before it
    EXPECT_EQ(m[15], 0x09u + 0x10000u + 3u * 0x1000000u);
    EXPECT_EQ(TotalWaits(), 1100u + 1750u);
}

TEST_F(ApplyTest, InvalidTypeLeavesItsSlotZeroWithoutAWait) {
    SetType(kInputMiddle, 3);
    EXPECT_EQ(Run().kind, ApplyOutcome::Kind::Succeeded);
    EXPECT_EQ(Matrix()[2], 0u);
    EXPECT_EQ(posts.Progress(), kFullProgress);
    EXPECT_EQ(TotalWaits(), 1050u);
}

TEST_F(ApplyTest, CycleColoursAreSentAfterTheEffectOnlyForOwnColours) {
    profile.settings.lightMode = 5;
    profile.settings.cycleSpeed = 3;
    profile.settings.colours[0] = 0x000000FF;
    profile.settings.colours[1] = 0x0000FF00;
    profile.settings.colours[2] = 0x00FF0000;

    profile.settings.ownColours = 0;
    EXPECT_EQ(Run().kind, ApplyOutcome::Kind::Succeeded);
    EXPECT_THAT(mouse.Commands(), ElementsAre(cmd::KeyMatrix, cmd::LedColour, cmd::LightEffect, cmd::DpiTable,
                                              cmd::DpiLevelValue, cmd::ReportInterval));
    EXPECT_EQ(TotalWaits(), 1100u);

    CSimulatedMouse fresh;
    CSimHidEnumerator freshSim{fresh};
    CRecordingHid freshHid{freshSim, log};
    CUSBDriver freshLink{freshHid, clock};
    ASSERT_TRUE(freshLink.Open());
    log.Clear();
    ApplyPorts freshPorts{freshLink, hook, trace, clock, trace, kDialog, kMain};
    profile.settings.ownColours = 1;
    EXPECT_EQ(RunApply(ApplyData{profile, assignments, macros}, freshPorts).kind, ApplyOutcome::Kind::Succeeded);
    EXPECT_THAT(fresh.Commands(), ElementsAre(cmd::KeyMatrix, cmd::LedColour, cmd::LightEffect, cmd::CycleColours,
                                              cmd::DpiTable, cmd::DpiLevelValue, cmd::ReportInterval));
    EXPECT_EQ(TotalWaits(), 1200u);
    const SimMemory mem = fresh.Memory();
    EXPECT_THAT(std::vector<uint8_t>(mem.cycleColours, mem.cycleColours + 9),
                ElementsAre(0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF));
    EXPECT_THAT(mem.effect, ElementsAre(5, 3, 1));
}

struct FailureCase {
    uint8_t command;
    ApplyFailure failure;
    std::vector<uint8_t> sent;  // commands the mouse receives, the failing one last
    std::vector<int> progress;
};

TEST(ApplyFailures, EachCheckedCommandEndsTheRunWithItsCodeAndClosesTheDialog) {
    const std::vector<uint8_t> matrix = {cmd::KeyMatrix};
    const std::vector<FailureCase> cases = {
        {cmd::KeyMatrix, ApplyFailure::KeyMatrix, {cmd::KeyMatrix}, {0, 7, 14, 21, 28, 35, 42, 100}},
        {cmd::LedColour, ApplyFailure::LedColour, {cmd::KeyMatrix, cmd::LedColour}, {0, 7, 14, 21, 28, 35, 42, 60, 100}},
        {cmd::LightEffect, ApplyFailure::Effect, {cmd::KeyMatrix, cmd::LedColour, cmd::LightEffect}, {0, 7, 14, 21, 28, 35, 42, 60, 100}},
        {cmd::CycleColours, ApplyFailure::CycleColours, {cmd::KeyMatrix, cmd::LedColour, cmd::LightEffect, cmd::CycleColours},
         {0, 7, 14, 21, 28, 35, 42, 60, 100}},
        {cmd::DpiTable, ApplyFailure::DpiTable, {cmd::KeyMatrix, cmd::LedColour, cmd::LightEffect, cmd::CycleColours, cmd::DpiTable},
         {0, 7, 14, 21, 28, 35, 42, 60, 70, 100}},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.failure));
        CSimulatedMouse mouse;
        CSimHidEnumerator sim{mouse};
        CLinkLog log;
        CRecordingClock clock{log};
        CUSBDriver link{sim, clock};
        ASSERT_TRUE(link.Open());
        mouse.FailCommand(c.command);

        ProfileImage profile{};
        BuildDefaultProfile(&profile);
        profile.settings.lightMode = 5;
        profile.settings.ownColours = 1;
        MacroAssignments assignments{};
        CTextNotifier notifier{Silent};
        CMacroLibrary macros{"unused", CSystemFiles::Instance(), notifier, {}, clock};
        CHookState hook;
        CPostBox posts;
        CPointerRecorder pointer;
        ApplyPorts ports{link, hook, pointer, clock, posts, kDialog, kMain};

        const ApplyOutcome out = RunApply(ApplyData{profile, assignments, macros}, ports);
        EXPECT_EQ(out.kind, ApplyOutcome::Kind::Failed);
        EXPECT_EQ(out.failure, c.failure);
        EXPECT_EQ(mouse.Commands(), c.sent);
        EXPECT_EQ(posts.Progress(), c.progress);
        // 1796 with the code is the last message; no 1795, so the main window saves nothing.
        ASSERT_FALSE(posts.All().empty());
        EXPECT_EQ(posts.All().back().message, msg::ApplyFailed);
        EXPECT_THAT(posts.Answers(), ElementsAre(17960 + static_cast<int>(c.failure)));
        EXPECT_THAT(pointer.applied, IsEmpty());
    }
}

TEST(ApplyFailures, TextsOfTheCodes) {
    EXPECT_EQ(ApplyFailureText(ApplyFailure::KeyMatrix), u"write mousekey metix fail.\n");
    EXPECT_EQ(ApplyFailureText(ApplyFailure::LedColour), u"Write mouse LED color failed.\n");
    EXPECT_EQ(ApplyFailureText(ApplyFailure::Effect), u"Write mouse effect failed.\n");
    EXPECT_EQ(ApplyFailureText(ApplyFailure::CycleColours), u"Write LED color123 failed.\n");
    EXPECT_EQ(ApplyFailureText(ApplyFailure::DpiTable), u"Write mouse touch failed.\n");
    EXPECT_EQ(ApplyFailureOfCode(4), ApplyFailure::DpiTable);
    EXPECT_EQ(ApplyFailureOfCode(5), std::nullopt);
    EXPECT_EQ(ApplyFailureOfCode(-1), std::nullopt);
}

TEST_F(ApplyTest, ClosedLinkFailsAtTheKeyMatrix) {
    link.Close();
    const ApplyOutcome out = Run();
    EXPECT_EQ(out.failure, ApplyFailure::KeyMatrix);
    EXPECT_THAT(posts.Answers(), ElementsAre(17960));
}

TEST_F(ApplyTest, SoftwareFunctionIsInterceptedUntilTheInputChanges) {
    hook.SetIntercept(0x207, false);  // left over from an earlier run: the middle button is no longer type 19
    SetType(kInputBack, kTypeSoftware);
    EXPECT_EQ(Run().kind, ApplyOutcome::Kind::Succeeded);
    EXPECT_TRUE(hook.IsIntercepted(0x1020B));
    EXPECT_FALSE(hook.IsIntercepted(0x207));
    EXPECT_EQ(Matrix()[4], 0x00F30001u);  // the mouse keeps reporting the button itself

    // Applied again unchanged: the event stays on the list at every moment of the run, so a press
    // during the run is never let through.
    class CWatcher final : public IPoster {
    public:
        explicit CWatcher(CHookState& h) : hook(h) {}
        bool Post(WindowRef, uint32_t, uintptr_t, intptr_t) override {
            seen.push_back(hook.IsIntercepted(0x1020B));
            return true;
        }
        CHookState& hook;
        std::vector<bool> seen;
    } watcher(hook);
    ApplyPorts watched{link, hook, pointer, clock, watcher, kDialog, kMain};
    EXPECT_EQ(RunApply(ApplyData{profile, assignments, macros}, watched).kind, ApplyOutcome::Kind::Succeeded);
    EXPECT_EQ(watcher.seen, std::vector<bool>(13, true));

    SetType(kInputBack, kTypeMenu);
    EXPECT_EQ(Run().kind, ApplyOutcome::Kind::Succeeded);
    EXPECT_FALSE(hook.IsIntercepted(0x1020B));
    EXPECT_EQ(Matrix()[4], 0x00F10001u);
}

TEST_F(ApplyTest, TraceApplyRecordsOneRunOverTheSimulatedMouse) {
    const ApplyTraceResult r = TraceApply(sim, ApplyData{profile, assignments, macros}, hook, pointer, false);
    ASSERT_TRUE(r.opened);
    EXPECT_EQ(r.outcome.kind, ApplyOutcome::Kind::Succeeded);
    EXPECT_EQ(r.totalWaitMs, 1100u);
    ASSERT_GE(r.lines.size(), 3u);
    EXPECT_EQ(r.lines[0], "wait 50");
    EXPECT_EQ(r.lines[1], "progress 0");
    EXPECT_EQ(r.lines.back(), "result ok");
    EXPECT_EQ(pointer.applied.size(), 1u);

    mouse.SetPlugged(false);
    EXPECT_FALSE(TraceApply(sim, ApplyData{profile, assignments, macros}, hook, pointer, false).opened);
}

TEST_F(ApplyTest, TraceShowsTheFailure) {
    mouse.FailCommand(cmd::DpiTable);
    Run();
    const std::vector<std::string> lines = trace.Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "progress 100");
    EXPECT_EQ(lines.back(), "result fail 4");
}

// ---- The worker thread ----------------------------------------------------------------------

// A clock that logs each wait and holds the n-th one until released.
class CGateClock final : public IClock {
public:
    CGateClock(CLinkLog& log, size_t holdAt) : log_(log), holdAt_(holdAt) {}
    void Sleep(uint32_t ms) override {
        log_.Add({LinkEvent::Kind::Wait, {}, ms, true});
        std::unique_lock<std::mutex> lock(mutex_);
        if (++count_ == holdAt_) {
            held_ = true;
            cv_.notify_all();
            cv_.wait(lock, [&] { return released_; });
        }
    }
    uint64_t TickMs() override { return 0; }
    void WaitUntilHeld() {
        std::unique_lock<std::mutex> lock(mutex_);
        ASSERT_TRUE(cv_.wait_for(lock, std::chrono::seconds(20), [&] { return held_; }));
    }
    void Release() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            released_ = true;
        }
        cv_.notify_all();
    }

private:
    CLinkLog& log_;
    size_t holdAt_;
    std::mutex mutex_;
    std::condition_variable cv_;
    size_t count_ = 0;
    bool held_ = false;
    bool released_ = false;
};

class ApplyWorkerTest : public ApplyTest {
protected:
    CManualResetEvent applyEvent;
};

TEST_F(ApplyWorkerTest, RequestWithRunFlagZeroEndsTheThreadWithoutSending) {
    CApplyWorker worker(ApplyData{profile, assignments, macros}, ports, applyEvent);
    EXPECT_TRUE(worker.Request());
    worker.RequestStop();  // closing before the worker woke up
    worker.Start();
    worker.Join();
    EXPECT_FALSE(worker.RunFlag());
    EXPECT_THAT(log.Events(), IsEmpty());
    EXPECT_THAT(posts.All(), IsEmpty());
}

TEST_F(ApplyWorkerTest, RunsOncePerRequestAndAdmitsOneRequestAtATime) {
    CApplyWorker worker(ApplyData{profile, assignments, macros}, ports, applyEvent);
    worker.Start();
    EXPECT_TRUE(worker.Idle());
    ASSERT_TRUE(worker.Request());
    EXPECT_FALSE(worker.Request());  // no answer yet
    ASSERT_TRUE(posts.WaitForAnswers(1));
    EXPECT_FALSE(worker.Idle());     // only the main window sets it again
    worker.SetIdle();
    SetType(kInputBack, kTypeSoftware);
    ASSERT_TRUE(worker.Request());
    ASSERT_TRUE(posts.WaitForAnswers(2));
    worker.Stop();
    EXPECT_THAT(posts.Answers(), ElementsAre(17950, 17950));
    EXPECT_TRUE(hook.IsIntercepted(0x1020B));
    EXPECT_EQ(mouse.Commands().size(), 12u);
}

TEST_F(ApplyWorkerTest, ClosingDuringARunEndsAfterTheCurrentWait) {
    CGateClock gate(log, 4);  // the wait after input 2
    ApplyPorts gated{link, hook, trace, gate, trace, kDialog, kMain};
    CApplyWorker worker(ApplyData{profile, assignments, macros}, gated, applyEvent);
    worker.Start();
    ASSERT_TRUE(worker.Request());
    gate.WaitUntilHeld();
    worker.RequestStop();
    EXPECT_FALSE(worker.Ended());  // still inside the wait
    gate.Release();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!worker.Ended() && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    EXPECT_TRUE(worker.Ended());
    worker.Join();

    EXPECT_THAT(mouse.Commands(), IsEmpty());
    EXPECT_THAT(posts.Answers(), IsEmpty());
    EXPECT_EQ(posts.Progress(), (std::vector<int>{0, 7, 14}));
    const std::vector<LinkEvent> events = log.Events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events.back().kind, LinkEvent::Kind::Wait);
}

TEST_F(ApplyWorkerTest, DestroyingAnIdleWorkerJoinsIt) {
    auto worker = std::make_unique<CApplyWorker>(ApplyData{profile, assignments, macros}, ports, applyEvent);
    worker->Start();
    worker.reset();  // must not hang or leave a running thread behind
    EXPECT_THAT(log.Events(), IsEmpty());
}

// The hook procedures read the intercept list on the user-interface thread while runs change it,
// and the main window reads ApplyIdle: ThreadSanitizer checks these tests for races.
TEST_F(ApplyWorkerTest, HookReadsTheInterceptListWhileRunsChangeIt) {
    CApplyWorker worker(ApplyData{profile, assignments, macros}, ports, applyEvent);
    worker.Start();
    std::atomic<bool> done{false};
    std::atomic<uint64_t> swallowed{0};
    std::thread ui([&] {
        CPostBox uiPosts;
        while (!done.load()) {
            HookDecision d = hook.OnMouseEvent(mouse_msg::ExtraDown, 0x10000);
            swallowed += d.swallow;
            d.Deliver(uiPosts);
            hook.OnMouseEvent(mouse_msg::ExtraUp, 0x10000);
            (void)worker.Idle();
        }
    });
    for (int run = 0; run < 6; ++run) {
        SetType(kInputBack, run % 2 == 0 ? kTypeSoftware : kTypeBack);  // edited between runs only
        ASSERT_TRUE(worker.Request());
        ASSERT_TRUE(posts.WaitForAnswers(static_cast<size_t>(run) + 1));
        EXPECT_EQ(hook.IsIntercepted(0x1020B), run % 2 == 0);
        worker.SetIdle();
    }
    done = true;
    ui.join();
    worker.Stop();
    EXPECT_EQ(posts.Answers().size(), 6u);
}

} // namespace
} // namespace n640
