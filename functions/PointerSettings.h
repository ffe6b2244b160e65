#pragma once
// Port for the three Windows pointer settings a profile carries: pointer precision, pointer speed
// and wheel scroll lines. The apply worker sets them once per run; failures are ignored.

#include <atomic>
#include <cstdint>
#include <iosfwd>

#include "config/ProfileImage.h"
#include "platform/Poster.h"

namespace n640 {

struct PointerValues {
    bool enhancePrecision = false;  // threshold/acceleration 6, 10, 1 when on, else 0, 0, 0
    int32_t pointerSpeed = 10;      // passed on as it is (Windows accepts 1..20)
    int32_t wheelLines = 3;         // -1: one screen per notch
};

// The values of a profile: precision is on only when the stored flag is exactly 1.
inline PointerValues PointerValuesOf(const ProfileSettingsTail& s) {
    return PointerValues{s.enhancePrecision == 1, s.pointerSpeed, s.wheelLines};
}

// Mouse threshold 1, threshold 2 and acceleration for precision on and off.
inline constexpr int kPrecisionOn[3] = {6, 10, 1};
inline constexpr int kPrecisionOff[3] = {0, 0, 0};

class IPointerSettings {
public:
    virtual ~IPointerSettings() = default;
    // Sets precision, speed and wheel lines, in that order. Never fails the caller.
    virtual void Apply(const PointerValues& values) = 0;
};

// The system's implementation. Windows: SystemParametersInfoW with SPIF_UPDATEINIFILE |
// SPIF_SENDCHANGE for each setting, each followed by WM_WININICHANGE (wParam = the action) sent to
// mainWindow (bounded by a timeout, so a busy or closing main window cannot hold the worker).
// Linux: the settings do not exist there; the first Apply writes one line saying so to note
// (standard error when none is given) and nothing else ever happens.
class CSystemPointerSettings final : public IPointerSettings {
public:
    explicit CSystemPointerSettings(WindowRef mainWindow, std::ostream* note = nullptr);
    void Apply(const PointerValues& values) override;

private:
    [[maybe_unused]] WindowRef mainWindow_;  // Windows only
    [[maybe_unused]] std::ostream* note_;    // Linux only
    std::atomic<bool> noted_{false};
};

} // namespace n640
