#pragma once
#include <cstdint>

namespace n640 {

// Every fixed wait of the program goes through this port, so tests record the pacing
// instead of sleeping and benchmarks measure real time.
class IClock {
public:
    virtual ~IClock() = default;
    virtual void Sleep(uint32_t ms) = 0;
    // Milliseconds since an arbitrary start, like the system tick count.
    virtual uint64_t TickMs() = 0;
};

// Sleeps for real.
class CSystemClock final : public IClock {
public:
    void Sleep(uint32_t ms) override;
    uint64_t TickMs() override;
    static CSystemClock& Instance();
};

} // namespace n640
