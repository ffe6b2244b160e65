#pragma once
// A poster that worker threads post into while a test watches: every message is kept in order
// under a lock, and the test can wait for the ones it expects, or take them one by one as a
// window's queue would deliver them.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/Poster.h"

namespace n640::testing {

class CThreadSafePoster : public IPoster {
public:
    struct Posted {
        WindowRef target;
        uint32_t message;
        uintptr_t wParam;
        intptr_t lParam;
    };

    bool Post(WindowRef target, uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            posted_.push_back({target, message, wParam, lParam});
        }
        cv_.notify_all();
        return true;
    }
    // Every message posted so far, in order.
    std::vector<Posted> All() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return posted_;
    }
    // Waits up to timeout until done(all messages posted so far) holds.
    template <typename Done>
    bool WaitUntil(std::chrono::milliseconds timeout, Done done) {
        std::unique_lock<std::mutex> lock(mutex_);
        return cv_.wait_for(lock, timeout, [&] { return done(posted_); });
    }
    // The oldest message not taken yet, waiting up to timeout for one.
    bool Next(Posted& out, std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!cv_.wait_for(lock, timeout, [&] { return taken_ < posted_.size(); })) return false;
        out = posted_[taken_++];
        return true;
    }
    // True when every message posted so far has been taken.
    bool Empty() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return taken_ == posted_.size();
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<Posted> posted_;
    size_t taken_ = 0;
};

}  // namespace n640::testing
