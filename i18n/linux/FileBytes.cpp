#include "i18n/FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Text.h"

namespace n640 {

bool ReadFileBytes(const std::u16string& path, std::string& bytes, std::u16string& error) {
    bytes.clear();
    std::string name = Utf16ToUtf8(path);
    for (auto& c : name) {
        if (c == '\\') c = '/';
    }
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (!file) {
        error = Utf8ToUtf16(std::strerror(errno));
        return false;
    }
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    const int code = errno;
    std::fclose(file);
    if (failed) {
        error = Utf8ToUtf16(std::strerror(code));
        bytes.clear();
        return false;
    }
    return true;
}

}  // namespace n640
