#pragma once
// A notifier that records every box instead of showing it, and answers with a chosen result.

#include <string>
#include <vector>

#include "platform/Notifier.h"

namespace n640::testing {

struct RecordedBox {
    bool system;           // true: the plain "Info" box; false: the skinned box
    std::u16string text;
    InfoButtons buttons;
    bool countdown;
};

class CRecordingNotifier : public INotifier {
public:
    int ShowInfo(std::u16string_view text, InfoButtons buttons, bool countdown) override {
        boxes.push_back({false, std::u16string(text), buttons, countdown});
        return answer;
    }
    void ShowSystemInfo(std::u16string_view text, WindowRef) override {
        boxes.push_back({true, std::u16string(text), InfoButtons::Ok, false});
    }
    using INotifier::ShowInfo;
    using INotifier::ShowSystemInfo;

    // The texts in the order shown, each prefixed by "Info: " (system box) or "Tips: " (skinned box).
    std::vector<std::u16string> Texts() const {
        std::vector<std::u16string> texts;
        for (const RecordedBox& b : boxes) texts.push_back((b.system ? u"Info: " : u"Tips: ") + b.text);
        return texts;
    }

    std::vector<RecordedBox> boxes;
    int answer = kInfoOk;
};

} // namespace n640::testing
