#pragma once
#include <cstdint>

namespace n640 {

// A window (or, in tests and the command-line tool, a queue) that numbered messages are
// posted to. On Windows this is an HWND.
using WindowRef = void*;

// Message numbers of the design; they are part of the program's behaviour.
namespace msg {
constexpr uint32_t SwitchLanguage = 1025;
constexpr uint32_t CaptureEvent = 1034;
constexpr uint32_t ApplyProgress = 1067;
constexpr uint32_t SliderDragged = 1104;
constexpr uint32_t ListSelChanged = 1125;
constexpr uint32_t TrayEvent = 1132;
constexpr uint32_t ListNameEdited = 1136;
constexpr uint32_t StatsMouseEvent = 1225;
constexpr uint32_t StatsSample = 1226;
constexpr uint32_t MenuItemChosen = 1281;
constexpr uint32_t ApplySucceeded = 1795;
constexpr uint32_t ApplyFailed = 1796;
constexpr uint32_t PadButton = 1805;
constexpr uint32_t HookMouseEvent = 2027;
constexpr uint32_t SliderPosition = 2048;
constexpr uint32_t ShowHint = 2053;
constexpr uint32_t RestoreDefaults = 2054;
} // namespace msg

// Posting port: PostMessageW on Windows, a queue in tests and in the command-line tool.
class IPoster {
public:
    virtual ~IPoster() = default;
    virtual bool Post(WindowRef target, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};

} // namespace n640
