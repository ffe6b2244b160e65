#include "ui/pages/MainSetModel.h"

#include <algorithm>

#include "functions/FunctionModel.h"
#include "functions/KeyNames.h"
#include "i18n/UiLanguage.h"

namespace n640 {

static_assert(static_cast<int>(ChoiceKind::Combination) == kTypeCombination);
static_assert(static_cast<int>(ChoiceKind::Macro) == kTypeMacro);
static_assert(static_cast<int>(ChoiceKind::Software) == kTypeSoftware);
static_assert(static_cast<int>(ChoiceKind::Disable) == kTypeDisable);

namespace {

// dpiLevels and the seven reserved ints after them are cleared before the levels are rewritten.
constexpr int kDpiClearedInts = 14;

void StoreDpiSelection(ProfileImage& image, const std::array<bool, kDpiTable.size()>& on) {
    auto* ints = reinterpret_cast<unsigned char*>(&image.settings);
    std::fill(ints, ints + kDpiClearedInts * sizeof(int32_t), 0);
    int level = 0;
    for (size_t i = 0; i < kDpiTable.size(); ++i) {
        if (on[i]) image.settings.dpiLevels[level++] = kDpiTable[i];
    }
}

std::array<bool, kDpiTable.size()> DpiSelection(const ProfileImage& image) {
    std::array<bool, kDpiTable.size()> on{};
    for (size_t i = 0; i < kDpiTable.size(); ++i) on[i] = IsDpiSelected(image, static_cast<int>(i));
    return on;
}

struct LabelPair {
    std::u16string_view chinese;
    std::u16string_view english;
};
constexpr LabelPair kDefaultLabels[] = {
    {u"单击", u"Click"},   {u"中键", u"Middle"},      {u"菜单", u"Menu"},          {u"前进", u"Forward"},
    {u"后退", u"Back"},    {u"滚轮前滚", u"Scroll up"}, {u"滚轮后滚", u"Scroll down"},
};

bool OtherInputHasLeftClick(const ProfileImage& image, int input) {
    for (int i = 0; i < kInputCount; ++i) {
        if (i != input && image.buttons[i].type == kTypeClick) return true;
    }
    return false;
}

} // namespace

bool IsDpiSelected(const ProfileImage& image, int index) {
    if (index < 0 || index >= static_cast<int>(kDpiTable.size())) return false;
    const auto& levels = image.settings.dpiLevels;
    return std::find(std::begin(levels), std::end(levels), kDpiTable[static_cast<size_t>(index)]) != std::end(levels);
}

bool ClickDpi(ProfileImage& image, int index) {
    if (index < 0 || index >= static_cast<int>(kDpiTable.size())) return false;
    auto on = DpiSelection(image);
    const auto count = std::count(on.begin(), on.end(), true);
    bool& button = on[static_cast<size_t>(index)];
    bool changed = false;
    if (button) {
        if (count > 1) { button = false; changed = true; }
    } else if (count < kDpiLevelCount) {
        button = true;
        changed = true;
    }
    StoreDpiSelection(image, on);
    return changed;
}

bool SetDpiLevels(ProfileImage& image, std::span<const int> values) {
    if (values.empty() || values.size() > static_cast<size_t>(kDpiLevelCount)) return false;
    std::array<bool, kDpiTable.size()> on{};
    for (int v : values) {
        const auto it = std::find(kDpiTable.begin(), kDpiTable.end(), v);
        if (it == kDpiTable.end()) return false;
        bool& slot = on[static_cast<size_t>(it - kDpiTable.begin())];
        if (slot) return false;
        slot = true;
    }
    StoreDpiSelection(image, on);
    return true;
}

bool SetReportRate(ProfileImage& image, int reportsPerSecond) {
    for (size_t i = 0; i < kReportRates.size(); ++i) {
        if (kReportRates[i] == reportsPerSecond) {
            image.settings.reportInterval = kReportIntervals[i];
            return true;
        }
    }
    return false;
}

int ReportRateOf(const ProfileImage& image) {
    for (size_t i = 0; i < kReportIntervals.size(); ++i) {
        if (kReportIntervals[i] == image.settings.reportInterval) return kReportRates[i];
    }
    return 0;
}

int CheckScrollLines(std::u16string_view text) {
    while (!text.empty() && text.front() == u'0') text.remove_prefix(1);
    int number = 0;
    size_t digits = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') break;
        number = std::min(number * 10 + (c - u'0'), kMaxWheelLines);
        ++digits;
    }
    // Empty, or no leading number at all: the entry shows 1.
    return digits == 0 ? 1 : number;
}

bool TranslateDefaultLabel(ButtonRecord& record, bool chinese) {
    const std::u16string label = GetLabel(record);
    for (const auto& pair : kDefaultLabels) {
        const auto from = chinese ? pair.english : pair.chinese;
        const auto to = chinese ? pair.chinese : pair.english;
        if (label == from) {
            SetLabel(record, to);
            return true;
        }
    }
    return false;
}

std::u16string WriteBackMessage(WriteBackOutcome outcome, bool chinese) {
    switch (outcome) {
    case WriteBackOutcome::LeftClickRequired:
        return chinese ? u"请保留至少一个键为\"单击\"功能!"
                       : u"At least one button must be configured as 'Left click'!";
    case WriteBackOutcome::NoSniperOnWheel:
        return chinese ? u"此按键不可使用狙击功能!" : u"This key can not use the sniper function!";
    case WriteBackOutcome::Written:
    case WriteBackOutcome::NothingChosen:
        break;
    }
    return {};
}

WriteBackOutcome WriteBackChoice(ProfileImage& image, MacroAssignments& assignments, const ChooserResult& result,
                                 std::span<const MacroRecord> library, bool chinese) {
    const int i = result.input;
    if (i < 0 || i >= kInputCount || result.value == 0) return WriteBackOutcome::NothingChosen;
    const ChoiceKind kind = result.kind;
    const int type = kind == ChoiceKind::Function ? static_cast<int>(result.value) : static_cast<int>(kind);

    if (type != kTypeClick && !OtherInputHasLeftClick(image, i)) return WriteBackOutcome::LeftClickRequired;
    if (result.value == static_cast<uint32_t>(kTypeSnipe) && (i == kInputWheelUp || i == kInputWheelDown)) {
        return WriteBackOutcome::NoSniperOnWheel;
    }

    ButtonRecord& b = image.buttons[i];
    assignments[static_cast<size_t>(i)] = 0;
    b.type = type;
    switch (kind) {
    case ChoiceKind::Combination:
        b.comboCode = result.value;
        SetLabel(b, CombinationText(result.value));
        break;
    case ChoiceKind::Macro: {
        assignments[static_cast<size_t>(i)] = result.value;
        b.macroId = result.value;
        const auto it = std::find_if(library.begin(), library.end(),
                                     [&](const MacroRecord& r) { return r.id == result.value; });
        std::u16string name;
        if (it != library.end()) {
            const char16_t* end = std::find(std::begin(it->name), std::end(it->name), u'\0');
            name.assign(std::begin(it->name), end);
        }
        SetLabel(b, name);
        break;
    }
    case ChoiceKind::Software: {
        static constexpr uint32_t kKinds[] = {kSoftSound, kSoftProgram, kSoftFile, kSoftFolder};
        b.softCode = result.value;
        SetSoftPath(b, result.advPath);
        SetLabel(b, result.advPath);
        b.softKind = kKinds[static_cast<size_t>(std::clamp(result.advChoice, 0, 3))];
        break;
    }
    case ChoiceKind::Disable:
    case ChoiceKind::Function:
        SetLabel(b, FunctionName(type, chinese));
        break;
    }
    return WriteBackOutcome::Written;
}

} // namespace n640
