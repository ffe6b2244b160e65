#include "i18n/FileBytes.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Text.h"

namespace n640 {

bool ReadFileBytes(const std::u16string& path, std::string& bytes, std::u16string& error) {
    std::string name = Utf16ToUtf8(path);
    for (auto& c : name) {
        if (c == '\\') c = '/';
    }
    return ReadFileBytes(std::filesystem::path(name), bytes, error);
}

bool ReadFileBytes(const std::filesystem::path& path, std::string& bytes, std::u16string& error) {
    bytes.clear();
    // Not blocking keeps the open from waiting for the writer of a pipe.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        error = Utf8ToUtf16(std::strerror(errno));
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        error = Utf8ToUtf16(std::strerror(errno));
        ::close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? Utf8ToUtf16(std::strerror(EISDIR)) : u"Not a regular file";
        ::close(fd);
        return false;
    }
    if (static_cast<uint64_t>(st.st_size) > kMaxDocumentBytes) {
        const std::string text = "File too large (" + std::to_string(st.st_size) + " bytes, at most " +
                                 std::to_string(kMaxDocumentBytes) + ")";
        error = Utf8ToUtf16(text);
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    bytes.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = Utf8ToUtf16(std::strerror(errno));
            ::close(fd);
            bytes.clear();
            return false;
        }
        if (n == 0) break;  // the file shrank while it was read
        done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    ::close(fd);
    return true;
}

}  // namespace n640
