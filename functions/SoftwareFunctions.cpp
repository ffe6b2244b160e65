#include "functions/SoftwareFunctions.h"

#include <cstdint>

#include "functions/FunctionModel.h"

namespace n640 {

int InputOfEvent(uint32_t code) {
    // The left button is deliberately absent: its event is never dispatched.
    for (int input = kInputMiddle; input < kInputCount; ++input)
        if (kInputs[input].nativeEvent == code) return input;
    return -1;
}

std::u16string QuoteIfBlank(std::u16string_view path) {
    if (path.find(u' ') == std::u16string_view::npos) return std::u16string(path);
    std::u16string quoted;
    quoted.reserve(path.size() + 2);
    quoted += u'"';
    quoted += path;
    quoted += u'"';
    return quoted;
}

SoftAction SoftwareActionFor(uint32_t code, const ProfileImage& image) {
    const int input = InputOfEvent(code);
    if (input < 0) return {};
    const ButtonRecord& record = image.buttons[input];
    if (record.type != kTypeSoftware) return {};
    std::u16string path = GetSoftPath(record);
    if (path.empty()) return {};
    switch (record.softKind) {
    case kSoftSound:
        return {SoftActionKind::PlaySound, std::move(path)};
    case kSoftProgram:
        return {SoftActionKind::Open, std::move(path)};
    case kSoftFile:
    case kSoftFolder:
        return {SoftActionKind::Open, QuoteIfBlank(path)};
    default:
        return {};
    }
}

void OnHookEvent(uintptr_t wParam, intptr_t lParam, const ProfileImage& image, IPoster& poster, WindowRef statsPage,
                 IShellActions& shell) {
    if (statsPage != nullptr) poster.Post(statsPage, msg::StatsMouseEvent, wParam, lParam);
    // Event codes are 32-bit; a wider wParam is no event of the hook.
    if (wParam > UINT32_MAX) return;
    const SoftAction action = SoftwareActionFor(static_cast<uint32_t>(wParam), image);
    switch (action.kind) {
    case SoftActionKind::PlaySound:
        shell.PlaySoundFile(action.path);
        break;
    case SoftActionKind::Open:
        shell.Open(action.path);
        break;
    case SoftActionKind::None:
        break;
    }
}

} // namespace n640
