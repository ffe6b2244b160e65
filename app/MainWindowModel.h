#pragma once
// The main window's rules without its window: layout, hints, page switching, the device notices
// it reacts to, the arrival retries, the apply failure texts, the start-up device search and the
// demo-mode command line.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "ui/controls/IrrShape.h"

namespace n640 {

inline constexpr char16_t kMainWindowTitle[] = u"Zentu N640 Gaming Mouse Driver";
inline constexpr char16_t kMutexName[] = u"N640Driver.exe";
inline constexpr uint32_t kTrayDoubleClick = 515;   // WM_LBUTTONDBLCLK
inline constexpr uint32_t kTrayRightUp = 517;       // WM_RBUTTONUP
inline constexpr uint32_t kTrayConfigCommand = 0x6000;
inline constexpr uint32_t kTrayExitCommand = 0x6001;
inline constexpr int kConfigIcon = 1012;
inline constexpr int kExitIcon = 1011;
inline constexpr int kAppIcon = 128;

// The eleven irregular buttons, in hint order: tabs 1-5, profiles 1-5, OK.
constexpr int kIrrButtonCount = 11;
constexpr int kTabCount = 5;
constexpr int kProfileButtonCount = 5;
constexpr int kOkButton = 10;  // index among the eleven
const std::array<CIrrShape, kIrrButtonCount>& MainIrrShapes();

inline constexpr Rect kMinimiseRect{887, 2, 921, 33};
inline constexpr Rect kHideRect{922, 2, 956, 33};
inline constexpr Rect kLanguageRect{15, 617, 57, 635};
inline constexpr Rect kHintRect{67, 598, 300, 628};
inline constexpr Rect kPageRect{15, 128, 15 + 925, 128 + 452};
inline constexpr Rect kFlagRect{19, 592, 19 + 36, 592 + 23};

// Built-in sheets of the irregular buttons: normal, pressed, hover, disabled.
struct IrrBitmapIds {
    int normal, pressed, hover, disabled;
};
IrrBitmapIds IrrBitmapsFor(bool chinese);

// Language key of a hint id; empty for ids that have none.
std::string_view HintKey(int id);
// Tooltip keys of the eleven irregular buttons.
std::string_view IrrTooltipKey(int index);

// The hint ids (1..11) to post for a pointer at p over the window's background: one for each
// irregular button whose window rectangle, enlarged by one pixel, holds p.
std::vector<int> HoverHintIds(Point p);

// Page switch to page 1..5.
struct PageSwitch {
    bool leaveMacroPage;          // close the macro page's menu and end a running recording
    bool loadLightingControls;    // the lighting page loads its controls from its data first
    std::array<bool, kTabCount> visible;
    bool profileAndOkEnabled;
    bool refreshMainSettings;
    bool refreshLighting;
};
PageSwitch PlanPageSwitch(int page);

// A device-interface notice is about the mouse when its name holds the mouse's ids.
bool IsMouseNotice(std::u16string_view deviceName);

// The macro page's list shown at start: game category 21.
inline constexpr int kStartMacroCategory = 21;

// OK runs the main settings page's scroll-lines check unless the wheel scrolls one screen a notch.
bool ChecksScrollLines(int32_t wheelLines);

// The text shown for an apply failure code: the code's own text, or a general one for a code
// that has none.
std::u16string ApplyFailureMessage(int code);

// Programs started by the main window, under InstallDir: the flashing tool when the mouse is in
// firmware-loader mode (its one argument tells the interface language), and the software updater.
std::filesystem::path FirmwareToolPath(const std::filesystem::path& installDir);
std::u16string FirmwareToolArgument(bool chinese);
std::filesystem::path UpdaterPath(const std::filesystem::path& installDir);

// Opening the mouse after an arrival notice: the first try at once, then one every 2.5 s from a
// timer, giving up after 20 tries. While an apply writes to the link the user-interface thread
// must not wait on it: such a turn is skipped and does not count as a try.
class CArrivalRetry {
public:
    static constexpr int kMaxTries = 20;
    static constexpr uint32_t kPeriodMs = 2500;
    enum class Step { Opened, TryAgain, GiveUp };
    void Begin() { tries_ = 0; active_ = true; }
    bool Active() const { return active_; }
    // Whether this turn may try to open the mouse; false while an apply runs.
    bool MayTry(bool applyRunning) const { return active_ && !applyRunning; }
    // The outcome of one open attempt.
    Step OnAttempt(bool opened);
    int Tries() const { return tries_; }

private:
    int tries_ = 0;
    bool active_ = false;
};

// Built-in texts of the main window.
std::u16string MouseMissingText(bool chinese);
std::u16string MouseFoundText(bool chinese);

// The device search at start.
enum class SearchOutcome { LoaderMode, Found, Missing };
struct SearchPorts {
    std::function<bool()> loaderPresent;
    std::function<bool()> open;
};
// Loader check at most twice and ten open attempts, each failure followed by 500 ms.
SearchOutcome SearchAtStart(const SearchPorts& ports, IClock& clock);
inline constexpr int kLoaderTries = 2;
inline constexpr int kOpenTries = 10;
inline constexpr uint32_t kSearchPauseMs = 500;

// The driver reads no command line except the demo switch:
//   --simulated-mouse [STATEFILE] [--fail-command CODE]
// CODE (decimal or 0x hex, or the command's name as n640ctl's N640_SIM_FAIL takes it) makes the
// simulated mouse fail that command, for trying failures.
struct DemoOptions {
    bool simulated = false;
    std::optional<std::u16string> stateFile;
    std::optional<uint8_t> failCommand;
    // Set when the demo command line cannot be used; the text tells the user why.
    std::optional<std::u16string> error;
};
DemoOptions ParseDemoOptions(const std::vector<std::u16string>& args);

} // namespace n640
