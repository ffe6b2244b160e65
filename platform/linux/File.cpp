#include "platform/File.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Text.h"

namespace n640 {

namespace {

// The error of the last failed operation of this thread, for LastError.
constexpr int kNotRegular = -1;  // the path names something other than a file (a pipe, a device)
thread_local int lastError = 0;

FileStatus FromErrno(int error) {
    lastError = error;
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return FileStatus::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return FileStatus::AccessDenied;
    default:
        return FileStatus::Failed;
    }
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { if (fd_ >= 0) ::close(fd_); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const uint8_t* p, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Opens an existing file for reading without blocking on a pipe or a device, and accepts only a
// regular file; *size receives its length. -1 after recording the error.
int OpenRegularForReading(const std::filesystem::path& file, off_t* size) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        FromErrno(errno);
        return -1;
    }
    struct stat st;
    const bool statted = ::fstat(fd, &st) == 0;
    if (!statted || !S_ISREG(st.st_mode)) {
        FromErrno(!statted ? errno : S_ISDIR(st.st_mode) ? EISDIR : kNotRegular);
        ::close(fd);
        return -1;
    }
    // Regular files never block; the flag only had to keep the open from waiting on a pipe.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    *size = st.st_size;
    return fd;
}

} // namespace

unsigned long CurrentProcessId() { return static_cast<unsigned long>(::getpid()); }

std::u16string CSystemFiles::LastError() const {
    if (lastError == kNotRegular) return u"not a regular file";
    return lastError == 0 ? std::u16string() : Utf8ToUtf16(std::strerror(lastError));
}

FileStatus CSystemFiles::Read(const std::filesystem::path& file, void* buffer, size_t capacity, size_t* got) {
    *got = 0;
    off_t length = 0;
    Fd fd(OpenRegularForReading(file, &length));
    if (fd.get() < 0) return FromErrno(lastError);
    // Never more than the file holds, even when it grows while it is read.
    if (static_cast<uint64_t>(length) < capacity) capacity = static_cast<size_t>(length);
    auto* p = static_cast<uint8_t*>(buffer);
    while (*got < capacity) {
        const ssize_t n = ::read(fd.get(), p + *got, capacity - *got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return FromErrno(errno);
        }
        if (n == 0) break;
        *got += static_cast<size_t>(n);
    }
    return FileStatus::Ok;
}

FileStatus CSystemFiles::OpenExisting(const std::filesystem::path& file) {
    Fd fd(::open(file.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) return FromErrno(errno);
    return FileStatus::Ok;
}

FileStatus CSystemFiles::WriteFlushed(const std::filesystem::path& file, const void* data, size_t size) {
    Fd fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.get() < 0) return FromErrno(errno);
    if (!WriteAll(fd.get(), static_cast<const uint8_t*>(data), size)) return FromErrno(errno);
    if (::fsync(fd.get()) != 0) return FromErrno(errno);
    if (!fd.Close()) return FromErrno(errno);
    return FileStatus::Ok;
}

FileStatus CSystemFiles::Replace(const std::filesystem::path& from, const std::filesystem::path& to) {
    // The new file takes the permissions of the one it replaces.
    struct stat old;
    if (::stat(to.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::chmod(from.c_str(), old.st_mode & 07777);
    if (::rename(from.c_str(), to.c_str()) != 0) return FromErrno(errno);
    // Make the new directory entry itself durable.
    Fd dir(::open(to.parent_path().empty() ? "." : to.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
    return FileStatus::Ok;
}

void CSystemFiles::Remove(const std::filesystem::path& file) { ::unlink(file.c_str()); }

bool CSystemFiles::Exists(const std::filesystem::path& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

FileStatus CSystemFiles::CreateDirectories(const std::filesystem::path& dir) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!ec) return FileStatus::Ok;
    std::error_code ignored;
    if (std::filesystem::is_directory(dir, ignored)) return FileStatus::Ok;
    return FromErrno(ec.value());
}

FileStatus CSystemFiles::CopyNew(const std::filesystem::path& from, const std::filesystem::path& to) {
    off_t length = 0;
    Fd in(OpenRegularForReading(from, &length));
    if (in.get() < 0) return FromErrno(lastError);
    Fd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (out.get() < 0) return FromErrno(errno);
    // From here on a failure takes the partial copy away again.
    auto failed = [&](int error) {
        out.Close();
        ::unlink(to.c_str());
        return FromErrno(error);
    };
    uint8_t buffer[65536];
    off_t copied = 0;
    while (copied < length) {
        const size_t want = static_cast<size_t>(std::min<off_t>(length - copied, static_cast<off_t>(sizeof buffer)));
        const ssize_t n = ::read(in.get(), buffer, want);
        if (n < 0) {
            if (errno == EINTR) continue;
            return failed(errno);
        }
        if (n == 0) break;
        if (!WriteAll(out.get(), buffer, static_cast<size_t>(n))) return failed(errno);
        copied += n;
    }
    // A source that shrank while it was copied gives a short copy: not a copy of the file.
    if (copied != length) return failed(EIO);
    if (::fsync(out.get()) != 0) return failed(errno);
    if (!out.Close()) {
        const int error = errno;
        ::unlink(to.c_str());
        return FromErrno(error);
    }
    return FileStatus::Ok;
}

std::filesystem::path CSystemFiles::WriteTarget(const std::filesystem::path& path) {
    std::filesystem::path target = path;
    // A chain of links is followed to its end (a loop stops after a few dozen steps).
    for (int step = 0; step < 40; ++step) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(target, ec))) break;
        const std::filesystem::path next = std::filesystem::read_symlink(target, ec);
        if (ec) break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

} // namespace n640
