#pragma once
// The button function chooser: a modal popup with four tab pages (key combination, macro, basic,
// software function), the disable box, default setting and OK. Its rules are CChooserModel's; this
// window draws them and forwards clicks and the hook's captured keys.

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "ui/controls/win/Page.h"
#include "ui/pages/ChooserModel.h"

namespace n640 {
class CMacroLibrary;
} // namespace n640

namespace n640::win {

struct ChooserArgs {
    HWND parent = nullptr;                 // the main settings page; the popup is centred over it
    std::filesystem::path installDir{};
    int input = 0;
    std::u16string currentLabel{};
    const CMacroLibrary* macros = nullptr;
};

// A page that paints its own texts over its sheet.
class CPaintedPage : public CPage {
public:
    std::function<void(HDC)> paint;

protected:
    void PaintOver(HDC dc) override {
        if (paint) paint(dc);
    }
};

class CSettingDlg : public CWindow {
public:
    CSettingDlg();
    ~CSettingDlg() override;

    // Shows the popup modally over its parent; Ok when a choice was made (Result then holds it).
    ChooserEnd Run(const ChooserArgs& args);
    const ChooserResult& Result() const { return model_->Result(); }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool Build();
    CPaintedPage& CreateTab(int index, const wchar_t* folder, const std::wstring& name,
                            std::span<const ControlRow> controls);
    void BuildKeyTab();
    void BuildMacroTab();
    void BuildBasicTab();
    void BuildAdvancedTab();
    void ShowModel();
    void Finish(ChooserEnd end);
    void Browse(int row);
    void PaintFace(HDC dc);
    void PaintKeyTab(HDC dc);
    void PaintAdvancedTab(HDC dc);

    ChooserArgs args_;
    std::unique_ptr<CChooserModel> model_;
    CPaintedPage face_;
    std::array<CPaintedPage, 4> tabs_;     // key combination, macro, basic, advanced
    std::array<std::unique_ptr<CBitmapEdit>, kAdvancedRows> pathFields_;
    CBrushHandle fieldBrush_;
    ChooserEnd end_ = ChooserEnd::Cancel;
};

} // namespace n640::win
