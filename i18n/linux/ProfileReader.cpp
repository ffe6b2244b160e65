#include "i18n/FileBytes.h"
#include "i18n/LanguageTable.h"
#include "platform/Text.h"

namespace n640 {

int CProfileReader::ReadInt(const std::u16string& file, std::u16string_view section, std::u16string_view key,
                            int fallback) {
    std::string bytes;
    std::u16string error;
    if (!ReadFileBytes(file, bytes, error)) return fallback;
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    return ParseProfileInt(Utf8ToUtf16(bytes), section, key, fallback);
}

}  // namespace n640
