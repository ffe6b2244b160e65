#include "platform/Directories.h"

#include <windows.h>

#include <vector>

namespace n640 {

std::filesystem::path ExecutableDir() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            std::wstring full(buffer.data(), n);
            const size_t cut = full.find_last_of(L'\\');
            return std::filesystem::path(cut == std::wstring::npos ? std::wstring() : full.substr(0, cut));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::filesystem::path DefaultDataDir() {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) return {};
    const std::u16string tempPath(reinterpret_cast<const char16_t*>(temp), n);
    return std::filesystem::path(WindowsDataDir(tempPath));
}

} // namespace n640
