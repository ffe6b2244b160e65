#pragma once
// The function chooser's state and rules: the four tabs, the disable box, the key-combination
// tab's capture through the input hook, the macro, basic and software-function tabs, and the
// result its three closing buttons leave for the main settings page's write-back.
//
// The capture is handed back on every path out: whenever another tab shows, while the disable box
// hides every page, and when the popup closes by any of its buttons.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "functions/HookState.h"
#include "macro/MacroLibrary.h"
#include "ui/pages/MainSetModel.h"

namespace n640 {

enum class ChooserTab : int {
    None = 0,              // the disable box is checked: no tab pressed, every page hidden
    KeyCombination = 1,
    Macro = 2,
    Basic = 3,
    Advanced = 4,
};

enum class ChooserEnd {
    Ok,
    Cancel,
};

// Rows of the software-function tab: sound, program, file, folder.
constexpr int kAdvancedRows = 4;

// The text of macro category `category` (1..21) in the macro tab's category list: its button
// text, except the Chinese text of category 13, which is its menu text.
std::u16string_view ChooserCategoryText(int category, bool chinese);

// A keyboard event of the capture (message 1034: the virtual key and the low-level hook's flags)
// is a press when its flags are one of 0, 1, 16, 17, 32, 33.
bool IsCapturedPress(uint32_t flags);

// What the browse button of a software-function row opens: rows 0..2 the open-file dialog with
// these settings, row 3 the folder browser.
struct BrowseRow {
    std::u16string_view filter;            // "|"-separated pairs, ending in "||"
    std::u16string_view defaultExtension;
    std::u16string_view fileName;
    std::u16string_view initialFolder;
};
inline constexpr std::array<BrowseRow, 3> kBrowseRows = {{
    {u"(*.wav*)|*.wav*||", u".wav*", u"*.wav*", u"c:\\Windows\\Media"},
    {u"(*.exe)|*.exe||", u".exe", u"*.exe", u"c:\\Program Files"},
    {u"(*.*)|*.*||", u".", u"*.*", u"D:\\"},
}};
constexpr int kFolderRow = 3;
// The filter as the open-file dialog takes it: each "|" becomes a NUL.
std::u16string DialogFilter(std::u16string_view filter);

class CChooserModel {
public:
    // popup: the chooser's own window, the hook's capture target while the key-combination tab
    // shows. input: 0..6; currentLabel: the input's label, shown in the title area.
    CChooserModel(CHookState& hooks, WindowRef popup, int input, std::u16string currentLabel);

    // The popup opens on the key-combination tab.
    void Open();
    void ShowTab(ChooserTab tab);
    // Toggles the box, then shows the key-combination tab (which hides every page while checked).
    void ToggleDisable();

    // Key-combination tab: an event forwarded by the hook. Modifier keys toggle their box on
    // presses only; any other key, pressed or released, becomes the captured key.
    void OnCapturedKey(uint32_t vk, uint32_t flags);
    // A click on one of the four boxes sets it directly.
    void SetModifiers(bool ctrl, bool alt, bool shift, bool win);

    // Macro tab: the category row (0..20) and the macro chosen in the right list (0 = none).
    // MacrosOfCategoryRow lists what the right list shows for a row, in library order.
    void SelectCategoryRow(int row) { categoryRow_ = row; macroId_ = 0; }
    void SelectMacro(uint32_t id) { macroId_ = id; }
    static std::vector<MacroListEntry> MacrosOfCategoryRow(const CMacroLibrary& library, int row);

    // Basic tab: the row of the 24-item function list (-1 = none).
    void SelectBasicRow(int row) { basicRow_ = row; }

    // Software-function tab: checking a row unchecks the others; a confirmed browse checks its
    // row and fills its path field (a cancelled one leaves the field as it was).
    void CheckAdvancedRow(int row);
    void SetAdvancedPath(int row, std::u16string_view path);

    // The three closing buttons; each hands the capture back.
    ChooserEnd Close();
    ChooserEnd DefaultSetting();
    ChooserEnd Ok();

    // --- What the view draws --------------------------------------------------------------
    int Input() const { return result_.input; }
    const std::u16string& CurrentLabel() const { return currentLabel_; }
    ChooserTab PressedTab() const { return disabled_ ? ChooserTab::None : tab_; }
    bool PageVisible(ChooserTab tab) const { return !disabled_ && tab == tab_; }
    bool Disabled() const { return disabled_; }
    bool Ctrl() const { return ctrl_; }
    bool Alt() const { return alt_; }
    bool Shift() const { return shift_; }
    bool Win() const { return win_; }
    uint32_t CapturedKey() const { return capturedVk_; }
    int CategoryRow() const { return categoryRow_; }
    uint32_t SelectedMacro() const { return macroId_; }
    int BasicRow() const { return basicRow_; }
    int CheckedAdvancedRow() const { return advancedRow_; }
    const std::u16string& AdvancedPath(int row) const;

    // The result the write-back reads after Ok or DefaultSetting.
    const ChooserResult& Result() const { return result_; }

private:
    // The visible page's own result: {value, kind}, value 0 when nothing usable was chosen.
    void TakeVisiblePageResult();
    void ReleaseCapture();
    void UpdateCapture();

    CHookState& hooks_;
    WindowRef popup_;
    std::u16string currentLabel_;
    ChooserTab tab_ = ChooserTab::KeyCombination;
    bool disabled_ = false;
    bool ctrl_ = false, alt_ = false, shift_ = false, win_ = false;
    uint32_t capturedVk_ = 0;
    int categoryRow_ = -1;
    uint32_t macroId_ = 0;
    int basicRow_ = -1;
    int advancedRow_ = -1;
    std::array<std::u16string, kAdvancedRows> advancedPaths_;
    ChooserResult result_;
};

} // namespace n640
