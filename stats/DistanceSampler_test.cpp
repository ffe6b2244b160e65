#include "stats/DistanceSampler.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <vector>

namespace n640 {
namespace {

// Each reading moves the pointer to (n, -2n): a sample that mixed two readings would show.
class CMovingPointer : public IPointerPosition {
public:
    bool ReadPointer(Point& where) override {
        const int n = ++readings;
        where = {n, -2 * n};
        return true;
    }
    std::atomic<int> readings{0};
};

class CQueuePoster : public IPoster {
public:
    struct Posted {
        WindowRef target;
        uint32_t message;
        Point point;
    };
    bool Post(WindowRef target, uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        {
            std::lock_guard<std::mutex> lock(mutex);
            posted.push_back({target, message, SamplePoint(wParam, lParam)});
        }
        changed.notify_all();
        return true;
    }
    // Waits until at least count messages were posted.
    void WaitFor(size_t count) {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return posted.size() >= count; });
    }
    std::vector<Posted> Snapshot() {
        std::lock_guard<std::mutex> lock(mutex);
        return posted;
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Posted> posted;
};

WindowRef Page() {
    static int page;
    return &page;
}

TEST(DistanceSampler, PostsWholePointsToThePageUntilStopped) {
    CMovingPointer pointer;
    CQueuePoster poster;
    CDistanceSampler sampler(pointer, poster, std::chrono::milliseconds(1));
    sampler.Start(Page());
    sampler.Start(Page());  // a second start changes nothing
    poster.WaitFor(5);
    sampler.Stop();
    EXPECT_FALSE(sampler.Running());

    const auto posted = poster.Snapshot();
    ASSERT_GE(posted.size(), 5u);
    for (size_t i = 0; i < posted.size(); ++i) {
        EXPECT_EQ(posted[i].target, Page());
        EXPECT_EQ(posted[i].message, msg::StatsSample);
        EXPECT_EQ(posted[i].point, (Point{static_cast<int>(i) + 1, -2 * (static_cast<int>(i) + 1)}));
    }
    // Nothing arrives once Stop has returned.
    EXPECT_EQ(pointer.readings.load(), static_cast<int>(posted.size()));
}

TEST(DistanceSampler, StopEndsTheWaitAtOnce) {
    CMovingPointer pointer;
    CQueuePoster poster;
    {
        // An interval far longer than the test's timeout: only a wait that Stop ends lets it finish.
        CDistanceSampler sampler(pointer, poster, std::chrono::hours(24));
        sampler.Start(Page());
        poster.WaitFor(1);
    }  // the destructor stops and joins
    EXPECT_EQ(poster.Snapshot().size(), 1u);

    // Stop without a start, and a restart after a stop.
    CDistanceSampler idle(pointer, poster, std::chrono::milliseconds(1));
    idle.Stop();
    idle.Start(Page());
    poster.WaitFor(2);
    idle.Stop();
    EXPECT_FALSE(idle.Running());
}

TEST(DistanceSampler, NegativeCoordinatesSurviveTheMessage) {
    for (Point p : {Point{-1920, -5}, Point{0, 0}, Point{32767, -32768}, Point{-2147483647 - 1, 2147483647}})
        EXPECT_EQ(SamplePoint(SampleWParam(p), SampleLParam(p)), p);
}

} // namespace
} // namespace n640
