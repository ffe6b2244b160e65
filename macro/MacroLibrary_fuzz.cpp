// Edit lists and repeat texts of any shape: the built record stays within its limits.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "macro/MacroLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace n640;
    if (size < 2) return 0;
    const size_t textLength = data[0] % 16;
    ++data;
    --size;
    std::u16string text;
    for (size_t i = 0; i < textLength && i < size; ++i) text.push_back(static_cast<char16_t>(u'+' + data[i] % 16));
    data += std::min(textLength, size);
    size -= std::min(textLength, size);

    std::vector<MacroItem> items;
    for (; size >= 4; data += 4, size -= 4) {
        const auto kind = static_cast<MacroItemKind>(data[0] % 3);
        const uint32_t value = (uint32_t{data[1]} << 16 | uint32_t{data[2]} << 8 | data[3]) & kEventValueMask;
        items.push_back({kind, value});
        if (items.size() > 3000) break;
    }
    const size_t before = items.size();
    const auto record = BuildMacro(items, text, u"fuzz", 0x15000001);
    if (before == 0) {
        if (record) std::abort();
        return 0;
    }
    if (!record || record->eventCount > kMacroMaxEvents || record->size != kMacroHeaderSize + 4 * before) std::abort();
    if (record->repeatCount == 0 || (record->repeatCount > kMaxRepeatCount && record->repeatCount != kMacroSinglePress))
        std::abort();
    for (uint32_t i = 0; i < record->eventCount; ++i) {
        const uint32_t kind = EventKind(record->events[i]);
        if (kind != kEventPress && kind != kEventRelease && kind != kEventDelay) std::abort();
        if (i == 0 && kind == kEventDelay) std::abort();
        if (i > 0 && kind == kEventDelay && EventKind(record->events[i - 1]) == kEventDelay) std::abort();
    }
    for (size_t i = 1; i < items.size(); ++i)
        if (items[i].kind == MacroItemKind::Delay && items[i - 1].kind == MacroItemKind::Delay) std::abort();
    return 0;
}
