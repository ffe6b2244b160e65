#include "ui/pages/ChooserModel.h"

#include "config/ProfileImage.h"
#include "functions/FunctionModel.h"

namespace n640 {

namespace {

// Virtual keys of the four modifiers, with their left and right variants.
enum class Modifier { None, Ctrl, Alt, Shift, Win };

Modifier ModifierOf(uint32_t vk) {
    switch (vk) {
    case 16: case 160: case 161: return Modifier::Shift;
    case 17: case 162: case 163: return Modifier::Ctrl;
    case 18: case 164: case 165: return Modifier::Alt;
    case 91: case 92: return Modifier::Win;
    default: return Modifier::None;
    }
}

constexpr int kCategoryWithMenuText = 13;
// OK with the disable box checked chooses "disable": its value and kind.
constexpr uint32_t kDisableValue = 7;

} // namespace

std::u16string_view ChooserCategoryText(int category, bool chinese) {
    if (category < 1 || category > kGameCategoryCount) return {};
    const GameCategoryText& t = kGameCategories[static_cast<size_t>(category - 1)];
    if (!chinese) return t.englishButton;
    return category == kCategoryWithMenuText ? t.chineseMenu : t.chineseButton;
}

bool IsCapturedPress(uint32_t flags) {
    switch (flags) {
    case 0: case 1: case 16: case 17: case 32: case 33: return true;
    default: return false;
    }
}

CChooserModel::CChooserModel(CHookState& hooks, WindowRef popup, int input, std::u16string currentLabel)
    : hooks_(hooks), popup_(popup), currentLabel_(std::move(currentLabel)) {
    result_.input = input;
}

void CChooserModel::Open() {
    disabled_ = false;
    ShowTab(ChooserTab::KeyCombination);
}

void CChooserModel::ShowTab(ChooserTab tab) {
    if (tab == ChooserTab::None) return;
    tab_ = tab;
    UpdateCapture();
}

void CChooserModel::ToggleDisable() {
    disabled_ = !disabled_;
    ShowTab(ChooserTab::KeyCombination);
}

void CChooserModel::UpdateCapture() {
    // Only a visible key-combination page captures; with every page hidden the keys go home.
    if (PageVisible(ChooserTab::KeyCombination)) {
        hooks_.SetTarget(popup_);
        hooks_.SetForwarding(true, false);
    } else {
        ReleaseCapture();
    }
}

void CChooserModel::ReleaseCapture() {
    // Forwarding off sends the target home.
    hooks_.SetForwarding(false, false);
}

void CChooserModel::OnCapturedKey(uint32_t vk, uint32_t flags) {
    if (!PageVisible(ChooserTab::KeyCombination)) return;
    switch (ModifierOf(vk)) {
    case Modifier::Ctrl: if (IsCapturedPress(flags)) ctrl_ = !ctrl_; return;
    case Modifier::Alt: if (IsCapturedPress(flags)) alt_ = !alt_; return;
    case Modifier::Shift: if (IsCapturedPress(flags)) shift_ = !shift_; return;
    case Modifier::Win: if (IsCapturedPress(flags)) win_ = !win_; return;
    case Modifier::None: capturedVk_ = vk; return;
    }
}

void CChooserModel::SetModifiers(bool ctrl, bool alt, bool shift, bool win) {
    ctrl_ = ctrl;
    alt_ = alt;
    shift_ = shift;
    win_ = win;
}

std::u16string DialogFilter(std::u16string_view filter) {
    std::u16string out(filter);
    for (char16_t& c : out) {
        if (c == u'|') c = u'\0';
    }
    return out;
}

std::vector<MacroListEntry> CChooserModel::MacrosOfCategoryRow(const CMacroLibrary& library, int row) {
    if (row < 0 || row >= kGameCategoryCount) return {};
    return library.ListCategory(row + 1);
}

void CChooserModel::CheckAdvancedRow(int row) {
    if (row < 0 || row >= kAdvancedRows) return;
    advancedRow_ = row;
}

void CChooserModel::SetAdvancedPath(int row, std::u16string_view path) {
    if (row < 0 || row >= kAdvancedRows) return;
    advancedRow_ = row;
    advancedPaths_[static_cast<size_t>(row)] = std::u16string(path.substr(0, kMaxPathLength));
}

const std::u16string& CChooserModel::AdvancedPath(int row) const {
    static const std::u16string none;
    if (row < 0 || row >= kAdvancedRows) return none;
    return advancedPaths_[static_cast<size_t>(row)];
}

void CChooserModel::TakeVisiblePageResult() {
    result_.value = 0;
    result_.kind = ChoiceKind::Function;
    switch (tab_) {
    case ChooserTab::KeyCombination:
        result_.kind = ChoiceKind::Combination;
        result_.value = EncodeCombination(ctrl_, shift_, alt_, win_, capturedVk_);
        break;
    case ChooserTab::Macro:
        result_.kind = ChoiceKind::Macro;
        result_.value = macroId_;
        break;
    case ChooserTab::Basic:
        if (basicRow_ >= 0 && basicRow_ < static_cast<int>(kBasicList.size()))
            result_.value = static_cast<uint32_t>(kBasicList[static_cast<size_t>(basicRow_)].type);
        break;
    case ChooserTab::Advanced:
        if (advancedRow_ >= 0 && !advancedPaths_[static_cast<size_t>(advancedRow_)].empty()) {
            result_.kind = ChoiceKind::Software;
            result_.value = SoftwareCode(advancedRow_, result_.input);
            result_.advChoice = advancedRow_;
            result_.advPath = advancedPaths_[static_cast<size_t>(advancedRow_)];
        }
        break;
    case ChooserTab::None:
        break;
    }
}

ChooserEnd CChooserModel::Close() {
    ReleaseCapture();
    return ChooserEnd::Cancel;
}

ChooserEnd CChooserModel::DefaultSetting() {
    ReleaseCapture();
    if (result_.input < 0 || result_.input >= kInputCount) return ChooserEnd::Cancel;
    result_.value = static_cast<uint32_t>(kDefaultTypes[static_cast<size_t>(result_.input)]);
    result_.kind = ChoiceKind::Function;
    return ChooserEnd::Ok;
}

ChooserEnd CChooserModel::Ok() {
    if (disabled_) {
        result_.value = kDisableValue;
        result_.kind = ChoiceKind::Disable;
    } else {
        TakeVisiblePageResult();
    }
    ReleaseCapture();
    return result_.value != 0 ? ChooserEnd::Ok : ChooserEnd::Cancel;
}

} // namespace n640
