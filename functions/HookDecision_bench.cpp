// Cost of the input hooks' decision per event, the work the hook procedures do for every input
// event of the desktop (target: under 200 ns), and a count of heap allocations made while deciding
// (target: none). The counter replaces the global operator new of this program.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "functions/HookState.h"

namespace {
std::atomic<long long> g_allocations{0};
}

void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
// The replacement pair allocates with malloc and frees with free; GCC cannot see that pairing
// through the replaced operator new and would warn.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace n640 {
namespace {

// Counts posts as the procedures' PostMessageW would, without a window system.
class CCountingPoster final : public IPoster {
public:
    bool Post(WindowRef, uint32_t, uintptr_t, intptr_t) override {
        ++posts;
        return true;
    }
    long long posts = 0;
};

WindowRef Home() { return reinterpret_cast<WindowRef>(uintptr_t{0x1234}); }

// A state as after start-up, with the list holding `held` codes that are none of the events below,
// so that every lookup scans the whole list when it is full.
void Prepare(CHookState& s, int held) {
    s.SetHome(Home());
    s.SetForwarding(false, false);
    for (int i = 0; i < held; ++i) s.SetIntercept(0x7000 + i, false);
}

void Report(benchmark::State& state, long long allocationsBefore, const CCountingPoster& poster) {
    const long long allocations = g_allocations.load() - allocationsBefore;
    state.counters["allocations"] = static_cast<double>(allocations);
    state.counters["posts/event"] =
        benchmark::Counter(static_cast<double>(poster.posts), benchmark::Counter::kAvgIterations);
    state.SetItemsProcessed(state.iterations());
    if (allocations != 0) state.SkipWithError("the hook decision allocated");
}

// The event that passes most often: a pointer move, nothing to post.
void BM_MouseMove(benchmark::State& state) {
    CHookState s;
    Prepare(s, static_cast<int>(state.range(0)));
    CCountingPoster poster;
    const long long before = g_allocations.load();
    for (auto _ : state) {
        const HookDecision d = s.OnMouseEvent(mouse_msg::Move, 0);
        d.Deliver(poster);
        benchmark::DoNotOptimize(d.swallow);
    }
    Report(state, before, poster);
}
BENCHMARK(BM_MouseMove)->Arg(0)->Arg(kInterceptSlots);

// A press that is not intercepted, reported as a click: one full scan of the list and one post.
void BM_ClickPosted(benchmark::State& state) {
    CHookState s;
    Prepare(s, static_cast<int>(state.range(0)));
    CCountingPoster poster;
    const long long before = g_allocations.load();
    for (auto _ : state) {
        const HookDecision d = s.OnMouseEvent(mouse_msg::ExtraDown, 0x20000);
        d.Deliver(poster);
        benchmark::DoNotOptimize(d.swallow);
    }
    Report(state, before, poster);
}
BENCHMARK(BM_ClickPosted)->Arg(0)->Arg(kInterceptSlots);

// An intercepted press and its swallowed release, alternating: the path of a software function.
void BM_InterceptedPressAndRelease(benchmark::State& state) {
    CHookState s;
    Prepare(s, kInterceptSlots - 1);
    s.SetIntercept(0x1020B, false);  // the last entry
    CCountingPoster poster;
    const long long before = g_allocations.load();
    bool press = true;
    for (auto _ : state) {
        const HookDecision d = press ? s.OnMouseEvent(mouse_msg::ExtraDown, 0x10000)
                                     : s.OnMouseEvent(mouse_msg::ExtraUp, 0x10000);
        d.Deliver(poster);
        benchmark::DoNotOptimize(d.swallow);
        press = !press;
    }
    Report(state, before, poster);
}
BENCHMARK(BM_InterceptedPressAndRelease);

// A wheel step while a capturing page forwards the mouse: a click and a forwarded event.
void BM_WheelWhileForwarding(benchmark::State& state) {
    CHookState s;
    Prepare(s, kInterceptSlots);
    s.SetForwarding(false, true);
    CCountingPoster poster;
    const long long before = g_allocations.load();
    for (auto _ : state) {
        const HookDecision d = s.OnMouseEvent(mouse_msg::Wheel, 0xFF880000);
        d.Deliver(poster);
        benchmark::DoNotOptimize(d.swallow);
    }
    Report(state, before, poster);
}
BENCHMARK(BM_WheelWhileForwarding);

// A key event while keys are forwarded.
void BM_KeyForwarded(benchmark::State& state) {
    CHookState s;
    Prepare(s, 0);
    s.SetForwarding(true, false);
    CCountingPoster poster;
    const long long before = g_allocations.load();
    for (auto _ : state) {
        const HookDecision d = s.OnKeyEvent(0x41, 0x80);
        d.Deliver(poster);
        benchmark::DoNotOptimize(d.swallow);
    }
    Report(state, before, poster);
}
BENCHMARK(BM_KeyForwarded);

} // namespace
} // namespace n640

BENCHMARK_MAIN();
