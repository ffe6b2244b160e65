#include "stats/DistanceSampler.h"

namespace n640 {

void CDistanceSampler::Start(WindowRef target) {
    if (thread_.joinable()) return;
    stop_.Reset();
    thread_ = std::thread([this, target] { ThreadMain(target); });
}

void CDistanceSampler::Stop() {
    if (!thread_.joinable()) return;
    stop_.Set();
    thread_.join();
}

void CDistanceSampler::ThreadMain(WindowRef target) {
    do {
        Point where{};
        if (pointer_.ReadPointer(where)) poster_.Post(target, msg::StatsSample, SampleWParam(where), SampleLParam(where));
    } while (!stop_.WaitFor(interval_));
}

} // namespace n640
