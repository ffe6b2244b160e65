#pragma once
// The statistics page's sampling thread: every half second it reads the pointer position and
// posts it to the page as message 1226, both coordinates in the one message (wParam x, lParam y),
// so a sample never mixes two readings. The page stops and joins it when it ends.

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/ManualResetEvent.h"
#include "platform/Poster.h"
#include "ui/controls/ButtonLook.h"

namespace n640 {

// Where the pointer is, in screen coordinates (GetCursorPos on Windows).
class IPointerPosition {
public:
    virtual ~IPointerPosition() = default;
    // False when the position cannot be read; nothing is posted then.
    virtual bool ReadPointer(Point& where) = 0;
};

constexpr std::chrono::milliseconds kSampleInterval{500};

// The coordinates carried by a sample message.
inline uintptr_t SampleWParam(Point p) { return static_cast<uintptr_t>(static_cast<intptr_t>(p.x)); }
inline intptr_t SampleLParam(Point p) { return static_cast<intptr_t>(p.y); }
inline Point SamplePoint(uintptr_t wParam, intptr_t lParam) {
    return {static_cast<int>(static_cast<intptr_t>(wParam)), static_cast<int>(lParam)};
}

class CDistanceSampler {
public:
    // pointer and poster must outlive the sampler.
    CDistanceSampler(IPointerPosition& pointer, IPoster& poster, std::chrono::milliseconds interval = kSampleInterval)
        : pointer_(pointer), poster_(poster), interval_(interval) {}
    ~CDistanceSampler() { Stop(); }
    CDistanceSampler(const CDistanceSampler&) = delete;
    CDistanceSampler& operator=(const CDistanceSampler&) = delete;

    // Starts sampling for target; does nothing while already running.
    void Start(WindowRef target);
    // Wakes the thread from its wait and joins it; no message is posted after Stop returns.
    void Stop();
    bool Running() const { return thread_.joinable(); }

private:
    void ThreadMain(WindowRef target);

    IPointerPosition& pointer_;
    IPoster& poster_;
    std::chrono::milliseconds interval_;
    CManualResetEvent stop_;
    std::thread thread_;
};

} // namespace n640
