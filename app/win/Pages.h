#pragma once
// The five pages of the main window. Until their own skins and controls exist each page is an
// empty skinned child window at the page area, drawn from the main window's normal sheet, with the
// calls the main window makes on it.

#include <string>

#include "ui/controls/win/Window.h"

namespace n640::win {

class CSkinPage : public CWindow {
public:
    // templateId names the page (103 main settings, 104 lighting, 105 macros, 106 statistics,
    // 107 support); background is the main window's normal sheet, which outlives the page.
    bool CreatePage(int templateId, HWND parent, HBITMAP background);
    int TemplateId() const { return templateId_; }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int templateId_ = 0;
    HBITMAP background_ = nullptr;
};

// The calls of the main window on its pages, each owned by the page's own issue.
class CMainSetPage : public CSkinPage {
public:
    void RefreshFromProfile() { Invalidate(); }
    // The scroll-lines entry check before an apply; true when the entry is acceptable.
    bool CheckScrollLines() { return true; }
};

class CLightingPage : public CSkinPage {
public:
    void LoadControls() {}
    void Refresh() { Invalidate(); }
};

class CMacroPage : public CSkinPage {
public:
    bool CheckRepeatCount() { return true; }
    void CloseCategoryMenu() {}
    bool Recording() const { return false; }
    void EndRecording() {}
    void FillList(int /*category*/) {}
};

class CStatsPage : public CSkinPage {
public:
    void SaveCounters() {}
};

class CSupportPage : public CSkinPage {
public:
    void SetFirmwareVersion(const std::u16string& text) { firmware_ = text; }
    const std::u16string& FirmwareVersion() const { return firmware_; }

private:
    std::u16string firmware_;
};

} // namespace n640::win
