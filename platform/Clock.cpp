#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace n640 {

void CSystemClock::Sleep(uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

uint64_t CSystemClock::TickMs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

CSystemClock& CSystemClock::Instance() {
    static CSystemClock clock;
    return clock;
}

} // namespace n640
