#pragma once
// The main settings page: DPI levels, pointer speed and precision, the sensor setting, report
// rate, wheel scrolling and the seven inputs. It edits the active profile in memory through the
// page model; the main window's OK writes it to the mouse.

#include <array>
#include <filesystem>
#include <memory>

#include "config/ProfileImage.h"
#include "ui/controls/win/IrrButton.h"
#include "ui/controls/win/Page.h"
#include "ui/pages/MainSetModel.h"
#include "ui/pages/MainSetPage.h"

namespace n640 {
class CMacroLibrary;
class INotifier;
} // namespace n640

namespace n640::win {

struct MainSetPageArgs {
    HWND parent = nullptr;
    Rect rect{};
    std::filesystem::path installDir{};
    ProfileImage* profile = nullptr;          // the active profile, for the page's whole life
    MacroAssignments* assignments = nullptr;
    const CMacroLibrary* macros = nullptr;
    INotifier* notifier = nullptr;
    HWND hintTarget = nullptr;
};

class CDlgMainSet : public CPage {
public:
    CDlgMainSet();
    ~CDlgMainSet() override;

    bool CreateMainSetPage(const MainSetPageArgs& args);
    // Loads every control from the active profile (and the layout of the interface language).
    void Refresh();
    // The scroll-lines entry's check: its text becomes the checked number, as does the profile's
    // wheel setting. True: the entry is acceptable (it always is once checked).
    bool CheckScrollLinesEntry();
    // The input whose function is being chosen; -1 while the chooser is closed.
    int EditingInput() const { return editingInput_; }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintOver(HDC dc) override;

private:
    void CreateInputButtons();
    void CreateEntry();
    void ShowView();
    void EditInput(int input);
    void TickSpots();
    void LoadLanguageLooks();
    Rect InputBox(int input) const;

    MainSetPageArgs args_;
    CMainSetPage model_;
    std::array<CIrrButton, kInputCount> inputs_;
    std::unique_ptr<CBitmapEdit> entry_;
    CBrushHandle entryBrush_;
    std::array<bool, kInputCount> spotLit_{};
    POINT lastPointer_{-1, -1};
    int editingInput_ = -1;
    int layoutChinese_ = -1;       // the interface language the looks were loaded for
};

} // namespace n640::win
