#pragma once
// The message boxes the user sees. Every text the core shows goes through this port, so tests
// record exactly what would be shown and the command-line tool prints it.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Poster.h"

namespace n640 {

// Result codes of a box: OK, and Cancel / the close button / a countdown that ran out.
constexpr int kInfoOk = 1;
constexpr int kInfoCancel = 2;

enum class InfoButtons { Ok, OkCancel };

class INotifier {
public:
    virtual ~INotifier() = default;
    // The program's own skinned box (caption "Tips"/"提示"). With countdown it sits in the
    // bottom-right corner and closes itself after five seconds. Returns kInfoOk or kInfoCancel.
    virtual int ShowInfo(std::u16string_view text, InfoButtons buttons, bool countdown) = 0;
    // The plain system message box captioned "Info" with one OK button, optionally owned by a window.
    virtual void ShowSystemInfo(std::u16string_view text, WindowRef owner) = 0;

    int ShowInfo(std::u16string_view text) { return ShowInfo(text, InfoButtons::Ok, false); }
    void ShowSystemInfo(std::u16string_view text) { ShowSystemInfo(text, nullptr); }
};

// Inserts arg for the first "%s" of a message format and turns "%%" into "%". Every other
// character, a further "%s" and any other conversion are copied as plain text, so a format taken
// from a language file can never read arguments that are not there; a format without "%s" is shown
// without the argument.
std::u16string FormatMessageText(std::u16string_view format, std::u16string_view arg);

// Prints every box to a stream-like sink as "Info: text" / "Tips: text"; used by the command-line
// tool and as the fallback where no window exists. Always answers OK.
class CTextNotifier : public INotifier {
public:
    using Sink = void (*)(std::u16string_view caption, std::u16string_view text);
    explicit CTextNotifier(Sink sink) : sink_(sink) {}
    int ShowInfo(std::u16string_view text, InfoButtons buttons, bool countdown) override;
    void ShowSystemInfo(std::u16string_view text, WindowRef owner) override;
    using INotifier::ShowInfo;
    using INotifier::ShowSystemInfo;

private:
    Sink sink_;
};

// The system message box captioned "Info" with one OK button (MessageBoxW on Windows; a line on
// standard error elsewhere). Notifier implementations of the driver call it for ShowSystemInfo.
void ShowSystemMessageBox(std::u16string_view text, WindowRef owner);

// Looks up a string of the current language by its key (str_msg2, ...); "" when it has none.
using TextLookup = std::function<std::u16string(std::string_view key)>;

} // namespace n640
