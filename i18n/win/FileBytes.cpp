#include "i18n/FileBytes.h"

#include <windows.h>

namespace n640 {

namespace {
std::u16string SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string message;
    if (n > 0 && text) {
        message.assign(reinterpret_cast<const char16_t*>(text), n);
        LocalFree(text);
    } else {
        const std::string fallback = "Error " + std::to_string(code);
        message.assign(fallback.begin(), fallback.end());
    }
    // The first line only.
    const size_t end = message.find_first_of(u"\r\n");
    if (end != std::u16string::npos) message.resize(end);
    return message;
}
}  // namespace

bool ReadFileBytes(const std::filesystem::path& path, std::string& bytes, std::u16string& error) {
    const std::wstring& native = path.native();
    return ReadFileBytes(std::u16string(native.begin(), native.end()), bytes, error);
}

bool ReadFileBytes(const std::u16string& path, std::string& bytes, std::u16string& error) {
    bytes.clear();
    HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = SystemMessage(GetLastError());
        return false;
    }
    if (GetFileType(file) != FILE_TYPE_DISK) {
        error = u"Not a regular file";
        CloseHandle(file);
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        error = SystemMessage(GetLastError());
        CloseHandle(file);
        return false;
    }
    if (static_cast<uint64_t>(size.QuadPart) > kMaxDocumentBytes) {
        const std::string text = "File too large (" + std::to_string(size.QuadPart) + " bytes, at most " +
                                 std::to_string(kMaxDocumentBytes) + ")";
        error.assign(text.begin(), text.end());
        CloseHandle(file);
        return false;
    }
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(bytes.size() - done > 0x10000000 ? 0x10000000 : bytes.size() - done);
        DWORD got = 0;
        if (!ReadFile(file, bytes.data() + done, want, &got, nullptr)) {
            error = SystemMessage(GetLastError());
            CloseHandle(file);
            bytes.clear();
            return false;
        }
        if (got == 0) break;
        done += got;
    }
    bytes.resize(done);
    CloseHandle(file);
    return true;
}

}  // namespace n640
