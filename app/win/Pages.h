#pragma once
// The five pages of the main window. Until their own skins and controls exist each page is an
// empty skinned child window at the page area, drawn from the main window's normal sheet, with the
// calls the main window makes on it.
//
// Every page is created by the main window with CreatePage(services, parent, mainSheet): the
// services of the program (app/win/Services.h), the main window as parent, and the main window's
// normal sheet for a page that has no sheets of its own.

#include <string>

#include "lighting/win/DlgLEDSet.h"
#include "macro/win/DlgMacro.h"
#include "stats/win/DlgSts.h"
#include "ui/pages/win/DlgMainSet.h"
#include "update/win/DlgSupport.h"
#include "ui/controls/win/Window.h"

namespace n640::win {

class CServices;

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
// The main settings page (ui/pages/win/DlgMainSet.h) with the chooser it opens.
class CMainSetPage : public CDlgMainSet {
public:
    bool CreatePage(CServices& services, HWND parent, HBITMAP mainSheet);
    void RefreshFromProfile() { Refresh(); }
    // The scroll-lines entry check before an apply; true when the entry is acceptable.
    bool CheckScrollLines() { return CheckScrollLinesEntry(); }
};

// The lighting page (lighting/win/DlgLEDSet.h): CreatePage, LoadControls and Refresh are its calls.
class CLightingPage : public CDlgLEDSet {};

// The macro manager (macro/win/DlgMacro.h): CheckRepeatCount, CloseCategoryMenu, Recording,
// EndRecording, FillList and ReapplyLanguage are its calls.
class CMacroPage : public CDlgMacro {
public:
    bool CreatePage(CServices& services, HWND parent, HBITMAP mainSheet);
};

// The statistics page (stats/win/DlgSts.h); SaveCounters is the main window's call at the end of
// the session.
class CStatsPage : public CDlgSts {
public:
    bool CreatePage(CServices& services, HWND parent, HBITMAP mainSheet);
    void SaveCounters() { SaveStatistics(); }
};

// The support page (update/win/DlgSupport.h): CreatePage, SetFirmwareVersion and FirmwareVersion.
class CSupportPage : public CDlgSupport {};

} // namespace n640::win
