#include "functions/PointerSettings.h"

#include <windows.h>

namespace n640 {

namespace {

constexpr UINT kWinIni = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;
// How long the worker waits for the main window to take one notice.
constexpr UINT kNoticeTimeoutMs = 2000;

void Notify(HWND window, UINT action, LPARAM lParam) {
    if (window == nullptr) return;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_WININICHANGE, action, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, kNoticeTimeoutMs,
                        &result);
}

} // namespace

CSystemPointerSettings::CSystemPointerSettings(WindowRef mainWindow, std::ostream* note)
    : mainWindow_(mainWindow), note_(note) {}

void CSystemPointerSettings::Apply(const PointerValues& values) {
    HWND window = static_cast<HWND>(mainWindow_);

    // The three values live in static storage: the notice carries their address, and it must stay
    // valid even if the main window reads it after a timed-out send.
    const int* mouse = values.enhancePrecision ? kPrecisionOn : kPrecisionOff;
    SystemParametersInfoW(SPI_SETMOUSE, 0, const_cast<int*>(mouse), kWinIni);
    Notify(window, SPI_SETMOUSE, reinterpret_cast<LPARAM>(mouse));

    // Windows takes the speed from pvParam and ignores uiParam; Wine (8.0) reads uiParam. Both
    // carry the value, so the setting takes effect on either.
    SystemParametersInfoW(SPI_SETMOUSESPEED, static_cast<UINT>(values.pointerSpeed),
                          reinterpret_cast<PVOID>(static_cast<INT_PTR>(values.pointerSpeed)), kWinIni);
    Notify(window, SPI_SETMOUSESPEED, 0);

    // -1 is WHEEL_PAGESCROLL (UINT_MAX): one screen per notch.
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, static_cast<UINT>(values.wheelLines), nullptr, kWinIni);
    Notify(window, SPI_SETWHEELSCROLLLINES, 0);
}

} // namespace n640
