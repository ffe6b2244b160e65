// Code pages through the system's multi-byte conversion.

#include <windows.h>

#include <string>

#include "i18n/CodePage.h"

namespace n640 {

std::u16string PlatformBytesToUtf16(uint32_t codePage, std::string_view bytes, std::u16string* note) {
    if (bytes.empty()) return {};
    // The conversion counts in int: a document beyond that is cut there.
    const int size = static_cast<int>(bytes.size() > 0x7FFFFFF0u ? 0x7FFFFFF0u : bytes.size());
    const int units = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (units <= 0) {
        if (note) {
            const std::string text = "(code page " + std::to_string(codePage) + " not available) ";
            note->append(text.begin(), text.end());
        }
        return {};
    }
    std::u16string out(static_cast<size_t>(units), u'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, reinterpret_cast<wchar_t*>(out.data()), units);
    return out;
}

}  // namespace n640
