#pragma once
// The main window: the one top-level window of the driver and its message hub. It draws its face,
// forwards its buttons and the system's notices to the services and the pages, and holds no rule
// of its own (those are in MainWindowModel).

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <string>

#include "app/MainWindowModel.h"
#include "app/win/Pages.h"
#include "app/win/Services.h"
#include "ui/controls/win/GDIBitmapBtn.h"
#include "ui/controls/win/IrrButton.h"
#include "ui/controls/win/LanguageMenu.h"
#include "ui/controls/win/SkinImage.h"
#include "ui/controls/win/Window.h"

namespace n640::win {

// Messages the window posts to itself.
namespace own_msg {
// A device-interface notice, handled after the system's sent WM_DEVICECHANGE has returned:
// wParam 1 arrival, 0 removal.
constexpr UINT DeviceNotice = WM_APP + 1;
} // namespace own_msg

class CMainWindow : public CWindow {
public:
    explicit CMainWindow(CServices& services);
    ~CMainWindow() override;
    // Creates the window, initialises it and runs it modally until it closes.
    void Run();

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslate(MSG& msg) override;

private:
    bool Initialise();             // false: the window is closing
    void CreateControls();
    void CreatePages();
    void AddTrayIcon();
    void RegisterDeviceNotices();
    bool SearchDevice();           // false: the window is closing
    void ApplyLanguageLooks();
    void SetFlag(uint32_t picture);
    void PostClose();

    // One handler per message.
    void Paint(HDC dc);
    void OnLeftButtonDown(LPARAM lParam);
    void OnMouseMove(LPARAM lParam);
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnSysCommand(WPARAM wParam, LPARAM lParam);
    void OnApplySucceeded();
    void OnApplyFailed(LPARAM code);
    void OnHint(LPARAM id);
    void OnRestoreDefaults();
    void OnDeviceChange(WPARAM event, LPARAM data);
    void OnDeviceNotice(bool arrival);
    void OnTimer(WPARAM id);
    void OnTaskbarCreated();
    void OnClose();

    void OnIrrButton(int index);
    void Minimise();
    void OnOk();
    void OpenLanguageMenu();
    void SwitchPage(int page);
    void SelectProfileButton(int slot);
    void OnTray(LPARAM event);
    void ShowFromTray();
    void Hide();
    void OnArrivalAttempt();
    void ReadFirmwareVersion();
    void OnLanguageSwitch(WPARAM wParam, LPARAM lParam);
    // After a stretch in which this thread could not answer input (a blocking call), the system
    // may have dropped the low-level hooks: put them back when they should be there.
    void RestoreHooks();
    void ShutDown();

    CServices& services_;
    bool closing_ = false;
    bool shutDown_ = false;
    bool linkCreated_ = false;

    SkinImage normal_, over_, down_;
    std::array<CIrrButton, kIrrButtonCount> irr_;
    CGDIBitmapBtn minimise_, hide_, language_;
    HWND flag_ = nullptr;
    CMainSetPage mainSet_;
    CLightingPage lighting_;
    CMacroPage macro_;
    CStatsPage stats_;
    CSupportPage support_;
    std::u16string hint_;
    CFontHandle hintFont_;
    NOTIFYICONDATAW tray_{};
    bool trayAdded_ = false;
    UINT taskbarCreated_ = 0;
    HDEVNOTIFY deviceNotify_ = nullptr;
    CArrivalRetry arrival_;
    CLanguageMenu languageMenu_;
    HICON iconBig_ = nullptr;
    HICON iconSmall_ = nullptr;
};

} // namespace n640::win
