#pragma once
// An advisory lock on a folder, for the programs that change the files in it: each holds the lock
// for a whole read-modify-write, so one never writes back what it read before another's change.
// The lock goes with the process: a program that dies releases it.

#include <filesystem>
#include <string>

namespace n640 {

class CDirectoryLock {
public:
    enum class Result { Locked, Busy, Failed };

    CDirectoryLock() = default;
    ~CDirectoryLock() { Release(); }
    CDirectoryLock(const CDirectoryLock&) = delete;
    CDirectoryLock& operator=(const CDirectoryLock&) = delete;

    // Takes the lock on the folder, waiting up to waitMs while another process holds it. Busy when
    // it is still held then; Failed (with the system's reason in Error()) when the folder cannot be
    // opened. Taking a lock already held by this object succeeds at once.
    Result Acquire(const std::filesystem::path& dir, int waitMs);
    void Release();
    bool Held() const { return fd_ >= 0; }
    const std::string& Error() const { return error_; }

private:
    int fd_ = -1;
    std::string error_;
};

} // namespace n640
