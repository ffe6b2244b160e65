// A whole apply of the default profile on the simulated mouse with the real clock: how much time
// the run spends beyond its fixed waits (target: under 2 %).
#include <benchmark/benchmark.h>

#include <chrono>

#include "config/ProfileStore.h"
#include "device/ApplyWorker.h"
#include "device/sim/SimulatedMouse.h"
#include "platform/File.h"
#include "platform/Notifier.h"

namespace n640 {
namespace {

class CNullPoster final : public IPoster {
public:
    bool Post(WindowRef, uint32_t, uintptr_t, intptr_t) override { return true; }
};
class CNullPointer final : public IPointerSettings {
public:
    void Apply(const PointerValues&) override {}
};
void Silent(std::u16string_view, std::u16string_view) {}

void BM_ApplyDefaultProfile(benchmark::State& state) {
    CSimulatedMouse mouse;
    CSimHidEnumerator sim{mouse};
    CLinkLog log;
    CRecordingClock clock{log, &CSystemClock::Instance()};  // sleeps for real, logs each wait
    CUSBDriver link{sim, clock};
    if (!link.Open()) {
        state.SkipWithError("simulated mouse not found");
        return;
    }
    ProfileImage profile{};
    BuildDefaultProfile(&profile);
    MacroAssignments assignments{};
    CTextNotifier notifier{Silent};
    CMacroLibrary macros{"unused", CSystemFiles::Instance(), notifier, {}, clock};
    CHookState hook;
    CNullPoster poster;
    CNullPointer pointer;
    ApplyPorts ports{link, hook, pointer, clock, poster};

    double overheadMs = 0, waitsMs = 0;
    for (auto _ : state) {
        log.Clear();
        const auto start = std::chrono::steady_clock::now();
        const ApplyOutcome out = RunApply(ApplyData{profile, assignments, macros}, ports);
        const double elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (out.kind != ApplyOutcome::Kind::Succeeded) {
            state.SkipWithError("apply failed");
            return;
        }
        const double waits = static_cast<double>(CApplyTrace::TotalWaitMs(log.Events()));
        overheadMs += elapsed - waits;
        waitsMs += waits;
        state.SetIterationTime(elapsed / 1000.0);
    }
    state.counters["fixed_waits_ms"] = waitsMs / static_cast<double>(state.iterations());
    state.counters["overhead_ms"] = overheadMs / static_cast<double>(state.iterations());
    state.counters["overhead_pct"] = 100.0 * overheadMs / waitsMs;
}
BENCHMARK(BM_ApplyDefaultProfile)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
} // namespace n640

BENCHMARK_MAIN();
