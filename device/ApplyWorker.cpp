#include "device/ApplyWorker.h"

#include <cstdio>

#include <array>

#include "device/ReportSet.h"
#include "functions/FunctionModel.h"
#include "platform/Text.h"

namespace n640 {

namespace {

// The texts of the failures, by their codes.
constexpr std::u16string_view kApplyFailureTexts[kApplyFailureCount] = {
    u"write mousekey metix fail.\n",
    u"Write mouse LED color failed.\n",
    u"Write mouse effect failed.\n",
    u"Write LED color123 failed.\n",
    u"Write mouse touch failed.\n",
};

} // namespace

std::optional<ApplyFailure> ApplyFailureOfCode(intptr_t code) {
    if (code < 0 || code >= kApplyFailureCount) return std::nullopt;
    return static_cast<ApplyFailure>(code);
}

std::u16string_view ApplyFailureText(ApplyFailure failure) {
    const auto code = static_cast<size_t>(failure);
    return code < std::size(kApplyFailureTexts) ? kApplyFailureTexts[code] : std::u16string_view();
}

namespace {

class CRun {
public:
    CRun(const ApplyData& data, const ApplyPorts& ports, const std::atomic<bool>* runFlag)
        : data_(data), ports_(ports), runFlag_(runFlag) {}

    ApplyOutcome Run();

private:
    // A fixed wait of the run; false when the run flag went to 0 meanwhile.
    bool Wait(uint32_t ms) {
        ports_.clock.Sleep(ms);
        return runFlag_ == nullptr || runFlag_->load(std::memory_order_acquire);
    }
    void Progress(int value) { ports_.poster.Post(ports_.progressDialog, msg::ApplyProgress, static_cast<uintptr_t>(value), 0); }
    ApplyOutcome Fail(ApplyFailure failure) {
        Progress(kApplyProgressDone);  // lets the progress dialog close itself
        ports_.poster.Post(ports_.mainWindow, msg::ApplyFailed, 0, static_cast<intptr_t>(failure));
        return ApplyOutcome{ApplyOutcome::Kind::Failed, failure};
    }
    static ApplyOutcome Stopped() { return ApplyOutcome{ApplyOutcome::Kind::Stopped, std::nullopt}; }

    const ApplyData& data_;
    const ApplyPorts& ports_;
    const std::atomic<bool>* runFlag_;
};

ApplyOutcome CRun::Run() {
    if (!Wait(kApplyStartWait)) return Stopped();

    uint32_t matrix[kKeyMatrixSlots] = {};
    int nextMacroSlot = 1;
    int progress = 0;

    for (int i = 0; i < kInputCount; ++i) {
        const InputInfo& input = kInputs[i];
        const ButtonRecord& button = data_.profile.buttons[i];
        // Off the intercept list unless it carries a software function. A software function's
        // event stays on the list throughout, so it is never let through in the middle of a run.
        if (button.type != kTypeSoftware) ports_.hook.SetIntercept(input.nativeEvent, true);
        Progress(progress);

        uint32_t code = 0;
        if (button.type == kTypeMacro) {
            const MacroRecord* macro = data_.macros.Find(data_.assignments[i]);
            if (macro != nullptr && macro->size != 0) {
                const uint32_t entries = ports_.link.DownloadMacro(nextMacroSlot, *macro);
                if (!Wait(kApplyMacroWait)) return Stopped();
                code = DeviceCodeOf(i, button, nextMacroSlot, entries);
                ++nextMacroSlot;
            } else {
                // No macro to download: the input keeps its own function rather than whatever
                // code an earlier input left behind.
                code = input.defaultCode;
            }
        } else if (button.type == kTypeSoftware) {
            ports_.hook.SetIntercept(input.nativeEvent, false);
            code = DeviceCodeOf(i, button);
        } else if (IsValidType(button.type)) {
            code = DeviceCodeOf(i, button);
        } else {
            // Not a function: the slot stays 0 and no wait is spent on it.
            progress += kApplyProgressStep;
            continue;
        }

        matrix[input.matrixSlot] = code;
        if (!Wait(kApplyInputWait)) return Stopped();
        progress += kApplyProgressStep;
    }
    matrix[3] = kKeyMatrixSlot3;

    const ProfileSettingsTail& s = data_.profile.settings;

    const auto matrixData = KeyMatrixData(matrix);
    if (!ports_.link.SetKeyMatrix(matrixData.data(), matrixData.size())) return Fail(ApplyFailure::KeyMatrix);
    Progress(kApplyProgressMatrix);

    if (!ports_.link.SetLedColour(s.colours[3])) return Fail(ApplyFailure::LedColour);
    const LightEffect effect = LightEffectOf(s.lightMode, s.brightness, s.breathSpeed, s.cycleSpeed, s.ownColours);
    if (!ports_.link.SetLightEffect(effect)) return Fail(ApplyFailure::Effect);
    if (s.lightMode == 5 && s.ownColours == 1) {
        const uint32_t own[3] = {s.colours[0], s.colours[1], s.colours[2]};
        const auto colourData = CycleColoursData(own);
        if (!ports_.link.SetCycleColours(colourData.data(), colourData.size())) return Fail(ApplyFailure::CycleColours);
    }
    Progress(kApplyProgressLighting);

    const DpiGroup group = MakeDpiGroup(s.dpiLevels);
    const auto dpiData = DpiTableData(group);
    if (!ports_.link.SetDpiTable(dpiData.data(), dpiData.size())) return Fail(ApplyFailure::DpiTable);
    ports_.link.SetDpiLevelValue(DpiLevelValueOf(group));  // not checked
    Progress(kApplyProgressDpi);

    ports_.pointer.Apply(PointerValuesOf(s));
    Progress(kApplyProgressPointer);

    ports_.link.SetReportInterval(s.reportInterval);  // not checked
    Progress(kApplyProgressDone);
    if (!Wait(kApplySuccessWait)) return Stopped();
    ports_.poster.Post(ports_.mainWindow, msg::ApplySucceeded, 0, 0);
    return ApplyOutcome{ApplyOutcome::Kind::Succeeded, std::nullopt};
}

} // namespace

ApplyOutcome RunApply(const ApplyData& data, const ApplyPorts& ports, const std::atomic<bool>* runFlag) {
    return CRun(data, ports, runFlag).Run();
}

// ---- CApplyWorker ---------------------------------------------------------------------------

CApplyWorker::CApplyWorker(const ApplyData& data, const ApplyPorts& ports, CManualResetEvent& applyEvent)
    : data_(data), ports_(ports), event_(applyEvent) {}

CApplyWorker::~CApplyWorker() { Stop(); }

void CApplyWorker::Start() {
    if (thread_.joinable()) return;
    thread_ = std::thread([this] {
        ThreadMain();
        ended_.store(true, std::memory_order_release);
    });
}

bool CApplyWorker::Request() {
    bool idle = true;
    if (!applyIdle_.compare_exchange_strong(idle, false, std::memory_order_acq_rel)) return false;
    event_.Set();
    return true;
}

void CApplyWorker::RequestStop() {
    runFlag_.store(false, std::memory_order_release);
    event_.Set();
}

void CApplyWorker::Join() {
    if (thread_.joinable()) thread_.join();
}

void CApplyWorker::ThreadMain() {
    for (;;) {
        event_.Wait();
        if (!runFlag_.load(std::memory_order_acquire)) return;
        event_.Reset();
        applyIdle_.store(false, std::memory_order_release);
        RunApply(data_, ports_, &runFlag_);
        if (!runFlag_.load(std::memory_order_acquire)) return;
    }
}

// ---- CApplyTrace ----------------------------------------------------------------------------

void CApplyTrace::Add(std::string text) {
    const size_t position = log_.Events().size();
    std::lock_guard<std::mutex> lock(mutex_);
    items_.push_back(Item{position, std::move(text)});
}

bool CApplyTrace::Post(WindowRef target, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case msg::ApplyProgress: Add("progress " + std::to_string(wParam)); break;
    case msg::ApplySucceeded: Add("result ok"); break;
    case msg::ApplyFailed: Add("result fail " + std::to_string(lParam)); break;
    default:
        Add("post " + std::to_string(message) + " " + std::to_string(wParam) + " " + std::to_string(lParam));
        break;
    }
    return innerPoster_ == nullptr || innerPoster_->Post(target, message, wParam, lParam);
}

void CApplyTrace::Apply(const PointerValues& values) {
    Add(std::string("pointer precision=") + (values.enhancePrecision ? "1" : "0") + " speed=" +
        std::to_string(values.pointerSpeed) + " wheel=" + std::to_string(values.wheelLines));
    if (innerPointer_ != nullptr) innerPointer_->Apply(values);
}

std::string CApplyTrace::TraceLine(const LinkEvent& event) {
    // Reports without their id byte: a feature report's 8 parameter bytes, an output report's
    // 32 data bytes; a read is shown without its answer.
    size_t count = 0;
    std::string text;
    switch (event.kind) {
    case LinkEvent::Kind::Feature: text = "feature"; count = 8; break;
    case LinkEvent::Kind::Output: text = "output"; count = 32; break;
    case LinkEvent::Kind::Read: text = "read"; break;
    case LinkEvent::Kind::Wait: return "wait " + std::to_string(event.ms);
    case LinkEvent::Kind::PendingWait: text = "pending " + std::to_string(event.ms); break;
    }
    for (size_t i = 1; i <= count; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", i < event.bytes.size() ? event.bytes[i] : 0);
        text += hex;
    }
    if (!event.ok) text += " failed";
    return text;
}

std::vector<std::string> CApplyTrace::Lines() const {
    const std::vector<LinkEvent> events = log_.Events();
    std::vector<Item> items;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        items = items_;
    }
    std::vector<std::string> lines;
    size_t next = 0;
    for (size_t e = 0; e <= events.size(); ++e) {
        while (next < items.size() && items[next].position <= e) lines.push_back(items[next++].text);
        if (e < events.size()) lines.push_back(TraceLine(events[e]));
    }
    for (; next < items.size(); ++next) lines.push_back(items[next].text);
    return lines;
}

std::string CApplyTrace::Text() const {
    std::string text;
    for (const std::string& line : Lines()) text += line + "\n";
    return text;
}

uint64_t CApplyTrace::TotalWaitMs(const std::vector<LinkEvent>& events) {
    uint64_t total = 0;
    for (const LinkEvent& e : events)
        if (e.kind == LinkEvent::Kind::Wait) total += e.ms;
    return total;
}

ApplyTraceResult TraceApply(IHidEnumerator& hid, const ApplyData& data, CHookState& hook, IPointerSettings& pointer,
                            bool realTime) {
    CLinkLog log;
    CRecordingHid recordingHid(hid, log);
    CRecordingClock clock(log, realTime ? &CSystemClock::Instance() : nullptr);
    CUSBDriver link(recordingHid, clock);
    ApplyTraceResult result;
    if (!link.Create() || !link.Open()) return result;
    result.opened = true;
    log.Clear();  // discovery is not part of the run

    CApplyTrace trace(log, nullptr, &pointer);
    ApplyPorts ports{link, hook, trace, clock, trace};
    result.outcome = RunApply(data, ports);
    link.Close();
    result.lines = trace.Lines();
    result.totalWaitMs = CApplyTrace::TotalWaitMs(log.Events());
    return result;
}

} // namespace n640
