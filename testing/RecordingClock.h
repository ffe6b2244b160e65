#pragma once
// A clock that records the waits instead of sleeping; time moves only by those waits.

#include <cstdint>
#include <vector>

#include "platform/Clock.h"

namespace n640::testing {

class CRecordingClock : public IClock {
public:
    void Sleep(uint32_t ms) override {
        sleeps.push_back(ms);
        now += ms;
    }
    uint64_t TickMs() override { return now; }

    std::vector<uint32_t> sleeps;
    uint64_t now = 0;
};

} // namespace n640::testing
