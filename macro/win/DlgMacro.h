#pragma once
// The macro manager page: the skinned view of CMacroPageModel. It creates its controls from a
// table, forwards every click, list notice, key event (1034), pad press (1805), menu choice (1281)
// and the repeat-field timer to the model, and then draws what the model says.

#include <windows.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "macro/MacroPageModel.h"
#include "ui/controls/win/Page.h"

namespace n640::win {

// What the page works with; everything outlives the page.
struct MacroPageServices {
    std::filesystem::path installDir;
    CMacroLibrary& library;
    INotifier& notifier;
    IClock& clock;
    IPoster& poster;
    std::function<bool(uint32_t id)> isMacroInUse;
};

class CDlgMacro : public CPage {
public:
    CDlgMacro();
    ~CDlgMacro() override;

    // The page at rect of the parent (the main window's page area), hidden until shown.
    bool CreateMacroPage(const MacroPageServices& services, HWND parent, const Rect& rect);

    // ---- Calls of the main window ------------------------------------------------------
    // The repeat-field check before an apply; true when the field was left alone.
    bool CheckRepeatCount();
    // Closes the category menu if it is open.
    void CloseCategoryMenu();
    bool Recording() const { return model_ && model_->Recording(); }
    // Leaving the page: a running recording stops and is stored.
    void EndRecording();
    // Lists a category's macros (start-up: the user's own category) and remembers the selections.
    void FillList(int category);
    // After a language switch: the sheets and rectangles of the new layout and the new captions.
    void ReapplyLanguage();

    CMacroPageModel& Model() { return *model_; }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintOver(HDC dc) override;

private:
    void LoadLanguageSheets();
    void SetCaptions();
    void Wire();
    void OpenCategoryMenu();
    // Draws the model's state into the controls; runs after every forwarded action.
    void Sync();
    void SyncLists();
    void SyncEditor();
    void SetEditText(int id, const std::u16string& text);

    std::unique_ptr<CMacroPageModel> model_;
    std::filesystem::path installDir_;
    HBRUSH fieldBrush_ = nullptr;
    uint32_t shownMacroRevision_ = ~0u;
    uint32_t shownEventRevision_ = ~0u;
    bool syncing_ = false;
    bool layoutChinese_ = false;  // the layout the controls and sheets are in
};

} // namespace n640::win
