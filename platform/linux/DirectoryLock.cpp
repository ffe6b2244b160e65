#include "platform/linux/DirectoryLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <time.h>
#include <unistd.h>

namespace n640 {

CDirectoryLock::Result CDirectoryLock::Acquire(const std::filesystem::path& dir, int waitMs) {
    if (fd_ >= 0) return Result::Locked;
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error_ = std::strerror(errno);
        return Result::Failed;
    }
    constexpr int kStepMs = 20;
    for (int waited = 0;; waited += kStepMs) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            fd_ = fd;
            return Result::Locked;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            error_ = std::strerror(errno);
            ::close(fd);
            return Result::Failed;
        }
        if (waited >= waitMs) break;
        const timespec step{0, kStepMs * 1000000L};
        ::nanosleep(&step, nullptr);
    }
    ::close(fd);
    error_ = "held by another program";
    return Result::Busy;
}

void CDirectoryLock::Release() {
    if (fd_ < 0) return;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

} // namespace n640
