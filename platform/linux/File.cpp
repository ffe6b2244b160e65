#include "platform/File.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace n640 {

namespace {

FileStatus FromErrno(int error) {
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

} // namespace

FileStatus CSystemFiles::Read(const std::filesystem::path& file, void* buffer, size_t capacity, size_t* got) {
    *got = 0;
    Fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return FromErrno(errno);
    auto* p = static_cast<uint8_t*>(buffer);
    while (*got < capacity) {
        const ssize_t n = ::read(fd.get(), p + *got, capacity - *got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return FileStatus::Failed;
        }
        if (n == 0) break;
        *got += static_cast<size_t>(n);
    }
    return FileStatus::Ok;
}

FileStatus CSystemFiles::OpenExisting(const std::filesystem::path& file) {
    Fd fd(::open(file.c_str(), O_RDWR | O_CLOEXEC));
    if (fd.get() < 0) return FromErrno(errno);
    return FileStatus::Ok;
}

FileStatus CSystemFiles::WriteFlushed(const std::filesystem::path& file, const void* data, size_t size) {
    Fd fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.get() < 0) return FromErrno(errno);
    if (!WriteAll(fd.get(), static_cast<const uint8_t*>(data), size)) return FileStatus::Failed;
    if (::fsync(fd.get()) != 0) return FileStatus::Failed;
    if (!fd.Close()) return FileStatus::Failed;
    return FileStatus::Ok;
}

FileStatus CSystemFiles::Replace(const std::filesystem::path& from, const std::filesystem::path& to) {
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
    if (std::filesystem::is_directory(dir)) return FileStatus::Ok;
    return FromErrno(ec.value());
}

FileStatus CSystemFiles::CopyNew(const std::filesystem::path& from, const std::filesystem::path& to) {
    Fd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) return FromErrno(errno);
    Fd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (out.get() < 0) return FromErrno(errno);
    uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = ::read(in.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return FileStatus::Failed;
        }
        if (n == 0) break;
        if (!WriteAll(out.get(), buffer, static_cast<size_t>(n))) return FileStatus::Failed;
    }
    if (!out.Close()) return FileStatus::Failed;
    return FileStatus::Ok;
}

} // namespace n640
