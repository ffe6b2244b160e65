#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace n640 {

// A manual-reset event: stays signalled until Reset, wakes every waiter.
class CManualResetEvent {
public:
    void Set() {
        { std::lock_guard<std::mutex> lock(mutex_); signalled_ = true; }
        cv_.notify_all();
    }
    void Reset() {
        std::lock_guard<std::mutex> lock(mutex_);
        signalled_ = false;
    }
    bool IsSet() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return signalled_;
    }
    void Wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        cv_.wait(lock, [this] { return signalled_; });
    }
    // True when signalled within the timeout.
    bool WaitFor(std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> lock(mutex_);
        return cv_.wait_for(lock, timeout, [this] { return signalled_; });
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool signalled_ = false;
};

} // namespace n640
