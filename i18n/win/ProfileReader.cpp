#include <windows.h>

#include "i18n/LanguageTable.h"

namespace n640 {

int CProfileReader::ReadInt(const std::u16string& file, std::u16string_view section, std::u16string_view key,
                            int fallback) {
    const std::u16string s(section), k(key);
    return static_cast<int>(GetPrivateProfileIntW(reinterpret_cast<const wchar_t*>(s.c_str()),
                                                  reinterpret_cast<const wchar_t*>(k.c_str()), fallback,
                                                  reinterpret_cast<const wchar_t*>(file.c_str())));
}

}  // namespace n640
