#include "platform/File.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace n640 {

namespace {

// The error of the last failed operation of this thread, for LastError.
constexpr DWORD kNotRegular = 0xFFFFFFFFu;  // the path names a device or a pipe, not a file
thread_local DWORD lastError = 0;

FileStatus FromError(DWORD error) {
    lastError = error;
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return FileStatus::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return FileStatus::AccessDenied;
    default:
        return FileStatus::Failed;
    }
}

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { if (valid()) CloseHandle(h_); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    bool Close() {
        const HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return CloseHandle(h) != 0;
    }

private:
    HANDLE h_;
};

bool WriteAll(HANDLE h, const uint8_t* p, size_t size) {
    while (size > 0) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(h, p, chunk, &written, nullptr) || written == 0) return false;
        p += written;
        size -= written;
    }
    return true;
}

} // namespace

unsigned long CurrentProcessId() { return GetCurrentProcessId(); }

std::u16string CSystemFiles::LastError() const {
    if (lastError == 0) return {};
    if (lastError == kNotRegular) return u"not a regular file";
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, lastError, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string message;
    if (n > 0 && text) message.assign(reinterpret_cast<const char16_t*>(text), n);
    if (text) LocalFree(text);
    const size_t end = message.find_first_of(u"\r\n");
    if (end != std::u16string::npos) message.resize(end);
    if (message.empty()) {
        const std::string code = "error " + std::to_string(lastError);
        message.assign(code.begin(), code.end());
    }
    return message;
}

std::filesystem::path CSystemFiles::WriteTarget(const std::filesystem::path& path) { return path; }

FileStatus CSystemFiles::Read(const std::filesystem::path& file, void* buffer, size_t capacity, size_t* got) {
    *got = 0;
    Handle h(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid()) return FromError(GetLastError());
    LARGE_INTEGER length{};
    if (GetFileType(h.get()) != FILE_TYPE_DISK) return FromError(kNotRegular);
    if (!GetFileSizeEx(h.get(), &length)) return FromError(GetLastError());
    // Never more than the file holds, even when it grows while it is read.
    if (static_cast<uint64_t>(length.QuadPart) < capacity) capacity = static_cast<size_t>(length.QuadPart);
    auto* p = static_cast<uint8_t*>(buffer);
    while (*got < capacity) {
        const size_t left = capacity - *got;
        const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
        DWORD n = 0;
        if (!ReadFile(h.get(), p + *got, chunk, &n, nullptr)) return FromError(GetLastError());
        if (n == 0) break;
        *got += n;
    }
    return FileStatus::Ok;
}

FileStatus CSystemFiles::OpenExisting(const std::filesystem::path& file) {
    Handle h(CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid()) return FromError(GetLastError());
    return FileStatus::Ok;
}

FileStatus CSystemFiles::WriteFlushed(const std::filesystem::path& file, const void* data, size_t size) {
    Handle h(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid()) return FromError(GetLastError());
    if (!WriteAll(h.get(), static_cast<const uint8_t*>(data), size)) return FromError(GetLastError());
    if (!FlushFileBuffers(h.get())) return FromError(GetLastError());
    if (!h.Close()) return FromError(GetLastError());
    return FileStatus::Ok;
}

FileStatus CSystemFiles::Replace(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return FromError(GetLastError());
    return FileStatus::Ok;
}

void CSystemFiles::Remove(const std::filesystem::path& file) { DeleteFileW(file.c_str()); }

bool CSystemFiles::Exists(const std::filesystem::path& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

FileStatus CSystemFiles::CreateDirectories(const std::filesystem::path& dir) {
    if (dir.empty()) return FileStatus::NotFound;
    const DWORD attributes = GetFileAttributesW(dir.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FileStatus::Ok : FileStatus::Failed;
    const std::filesystem::path parent = dir.parent_path();
    if (!parent.empty() && parent != dir) {
        const FileStatus status = CreateDirectories(parent);
        if (status != FileStatus::Ok) return status;
    }
    if (CreateDirectoryW(dir.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return FileStatus::Ok;
    return FromError(GetLastError());
}

FileStatus CSystemFiles::CopyNew(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (CopyFileW(from.c_str(), to.c_str(), TRUE)) return FileStatus::Ok;
    const DWORD error = GetLastError();
    // A copy that stopped part-way (a full disk) leaves no partial target behind.
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) DeleteFileW(to.c_str());
    return FromError(error);
}

} // namespace n640
