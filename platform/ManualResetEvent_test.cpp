#include "platform/ManualResetEvent.h"

#include <gtest/gtest.h>

#include <thread>

namespace n640 {
namespace {

TEST(ManualResetEvent, StaysSignalledUntilReset) {
    CManualResetEvent event;
    EXPECT_FALSE(event.WaitFor(std::chrono::milliseconds(0)));
    event.Set();
    EXPECT_TRUE(event.WaitFor(std::chrono::milliseconds(0)));
    EXPECT_TRUE(event.WaitFor(std::chrono::milliseconds(0)));
    event.Reset();
    EXPECT_FALSE(event.IsSet());
}

TEST(ManualResetEvent, WakesAWaitingThread) {
    CManualResetEvent event;
    bool woke = false;
    std::thread waiter([&] { event.Wait(); woke = true; });
    event.Set();
    waiter.join();
    EXPECT_TRUE(woke);
}

} // namespace
} // namespace n640
