#pragma once
// The apply worker: writes the active profile to the mouse. One run encodes the seven inputs into
// the key matrix (downloading the macros they use), sends the matrix, the lighting, the DPI table
// and the report rate, sets the pointer settings, keeps the hook's intercept list in step with the
// software functions, and reports its progress and its result by posting numbered messages.
//
// RunApply is one run as a plain function over its ports; the command-line tool calls it directly
// (TraceApply records it). CApplyWorker is the worker thread of the driver: it sleeps on the
// ApplyEvent, runs once per signal and is stopped and joined when the program closes.
//
// Messages of a run:
//   1067 (msg::ApplyProgress) to the progress dialog, wParam 0, 7, ..., 42, 60, 70, 80, 90, 100;
//   1795 (msg::ApplySucceeded) to the main window after a run that wrote everything;
//   1796 (msg::ApplyFailed) to the main window, lParam the failure code 0..4, after a checked
//        command failed. The commands after it are not sent. Right before 1796 the run posts 1067
//        with 100: the progress dialog closes itself 500 ms after 100, so it never stays open
//        after a failure (the dialog needs no message of its own for it).

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "config/ProfileImage.h"
#include "config/ProfileSlot.h"
#include "device/RecordingLink.h"
#include "device/USBDriver.h"
#include "functions/HookState.h"
#include "functions/PointerSettings.h"
#include "macro/MacroLibrary.h"
#include "platform/Clock.h"
#include "platform/ManualResetEvent.h"
#include "platform/Poster.h"

namespace n640 {

// Fixed waits of a run, in milliseconds.
constexpr uint32_t kApplyStartWait = 50;     // before the first input
constexpr uint32_t kApplyInputWait = 50;     // after each input that got a code
constexpr uint32_t kApplyMacroWait = 50;     // after each macro download
constexpr uint32_t kApplySuccessWait = 300;  // between progress 100 and the success message

constexpr int kApplyProgressStep = 7;       // per input
constexpr int kApplyProgressMatrix = 60;    // key matrix sent
constexpr int kApplyProgressLighting = 70;  // lighting sent
constexpr int kApplyProgressDpi = 80;       // DPI table sent
constexpr int kApplyProgressPointer = 90;   // pointer settings set
constexpr int kApplyProgressDone = 100;

// Why a run failed: the checked command that failed, in the order of the commands. The value is
// the failure code message 1796 carries.
enum class ApplyFailure : int {
    KeyMatrix = 0,
    LedColour = 1,
    Effect = 2,
    CycleColours = 3,
    DpiTable = 4,
};
constexpr int kApplyFailureCount = 5;

// The failure a code of message 1796 names; nullopt for any other code.
std::optional<ApplyFailure> ApplyFailureOfCode(intptr_t code);
// The text the main window shows for a failure (each ends with a line break).
std::u16string_view ApplyFailureText(ApplyFailure failure);

// What a run reads. Nothing of it is changed.
struct ApplyData {
    const ProfileImage& profile;
    const MacroAssignments& assignments;
    const CMacroLibrary& macros;
};

// What a run talks to.
struct ApplyPorts {
    CUSBDriver& link;
    CHookState& hook;              // its mouse intercept list is kept in step
    IPointerSettings& pointer;
    IClock& clock;                 // the run's own fixed waits
    IPoster& poster;
    WindowRef progressDialog = nullptr;  // receives 1067
    WindowRef mainWindow = nullptr;      // receives 1795 and 1796
};

struct ApplyOutcome {
    enum class Kind {
        Succeeded,  // everything written, 1795 posted
        Failed,     // a checked command failed, 1796 posted with the failure's code
        Stopped,    // the run flag went to 0: the run ended after a wait, posting nothing more
    };
    Kind kind = Kind::Succeeded;
    std::optional<ApplyFailure> failure;  // set when Failed
};

// One run, on the calling thread. runFlag, when given, is checked after every fixed wait of the
// run; when it is 0 the run ends there (the command in progress is always completed).
ApplyOutcome RunApply(const ApplyData& data, const ApplyPorts& ports, const std::atomic<bool>* runFlag = nullptr);

// ---- The worker thread ----------------------------------------------------------------------

class CApplyWorker {
public:
    // applyEvent is the process-wide ApplyEvent; everything must outlive the worker.
    CApplyWorker(const ApplyData& data, const ApplyPorts& ports, CManualResetEvent& applyEvent);
    ~CApplyWorker();  // stops and joins
    CApplyWorker(const CApplyWorker&) = delete;
    CApplyWorker& operator=(const CApplyWorker&) = delete;

    // Starts the thread (once; later calls do nothing).
    void Start();

    // The main window's request: when ApplyIdle is set, clears it and signals the ApplyEvent, so a
    // second request before the answer is refused. False when a run is already requested.
    bool Request();
    // The main window, on 1795 and 1796: the next request is admitted.
    void SetIdle() { applyIdle_.store(true, std::memory_order_release); }
    bool Idle() const { return applyIdle_.load(std::memory_order_acquire); }
    bool RunFlag() const { return runFlag_.load(std::memory_order_acquire); }

    // Closing: the run flag goes to 0 and the event is signalled; a run in progress ends after its
    // current wait (or command), an idle worker ends at once. Join waits for the thread.
    // On Windows a run may be sending the pointer-settings notice to the main window: the window
    // keeps its messages flowing until Ended() (or has been destroyed) before it calls Join.
    void RequestStop();
    void Join();
    // True once the thread has returned (Join then does not block).
    bool Ended() const { return ended_.load(std::memory_order_acquire); }
    void Stop() {
        RequestStop();
        Join();
    }

private:
    void ThreadMain();

    ApplyData data_;
    ApplyPorts ports_;
    CManualResetEvent& event_;
    std::atomic<bool> runFlag_{true};
    std::atomic<bool> applyIdle_{true};
    std::atomic<bool> ended_{false};
    std::thread thread_;
};

// ---- Trace of a run -------------------------------------------------------------------------

// Records a run's posts and pointer settings in step with the link log, so that together they
// give the ordered trace of a run: progress posts, reports, waits and the answer. Plug it in as
// the run's poster and pointer-settings port (it passes both on when given inner ports).
class CApplyTrace final : public IPoster, public IPointerSettings {
public:
    explicit CApplyTrace(CLinkLog& log, IPoster* innerPoster = nullptr, IPointerSettings* innerPointer = nullptr)
        : log_(log), innerPoster_(innerPoster), innerPointer_(innerPointer) {}

    bool Post(WindowRef target, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    void Apply(const PointerValues& values) override;

    // The trace, one line per item, hex upper case: "progress 7", "wait 50", "feature B1 .. B8"
    // (the 8 parameter bytes, without the report id), "read", "output B1 .. B32" (the 32 data
    // bytes), "pointer precision=0|1 speed=N wheel=N", "result ok", "result fail N" (other
    // messages as "post N wParam lParam"; a report that failed ends in " failed").
    std::vector<std::string> Lines() const;
    std::string Text() const;  // the lines, each ending in '\n'
    // The sum of the fixed waits of the log.
    static uint64_t TotalWaitMs(const std::vector<LinkEvent>& events);
    // One link event as a trace line.
    static std::string TraceLine(const LinkEvent& event);

private:
    struct Item {
        size_t position;  // number of link events logged before it
        std::string text;
    };
    void Add(std::string text);

    CLinkLog& log_;
    IPoster* innerPoster_;
    IPointerSettings* innerPointer_;
    mutable std::mutex mutex_;
    std::vector<Item> items_;
};

// One traced run for the command-line tool: opens a link over hid, runs once with every report,
// wait and post recorded and returns the trace. realTime: the waits sleep for real (against a
// mouse); otherwise they are only recorded. The intercept list and pointer settings go to the
// given ports.
struct ApplyTraceResult {
    bool opened = false;        // false: the mouse was not found; nothing was run
    ApplyOutcome outcome;
    std::vector<std::string> lines;
    uint64_t totalWaitMs = 0;
};
ApplyTraceResult TraceApply(IHidEnumerator& hid, const ApplyData& data, CHookState& hook, IPointerSettings& pointer,
                            bool realTime);

} // namespace n640
