#pragma once
// The main window: the one top-level window of the driver and its message hub.

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>

#include "app/MainWindowModel.h"
#include "app/win/Pages.h"
#include "platform/ManualResetEvent.h"
#include "ui/controls/win/DlgInfo.h"
#include "ui/controls/win/DlgProgress.h"
#include "ui/controls/win/GDIBitmapBtn.h"
#include "ui/controls/win/IrrButton.h"
#include "ui/controls/win/SkinImage.h"
#include "ui/controls/win/Window.h"

namespace n640 {
class CApplyWorker;
class CMacroLibrary;
class CProfileStore;
class CSimulatedMouse;
class CSystemFiles;
class CUSBDriver;
class IHidEnumerator;
class ILoaderSearch;
class IPointerSettings;
class IPoster;
} // namespace n640

namespace n640::win {

// Process-wide objects made by the process entry before the window.
struct ProcessObjects {
    std::filesystem::path installDir;
    std::filesystem::path dataDir;
    CManualResetEvent* applyEvent = nullptr;
    CManualResetEvent* updateCheckEvent = nullptr;
    CDlgProgress* progress = nullptr;
    DemoOptions demo;
};

// Installing and removing the low-level input hooks with a target window.
class IInputHooks {
public:
    virtual ~IInputHooks() = default;
    virtual void Install(HWND target) = 0;
    virtual void Remove() = 0;
    // Both capture switches off, target back to the home window.
    virtual void ResetCapture() = 0;
};

class CMainWindow : public CWindow {
public:
    CMainWindow(const ProcessObjects& process, IInputHooks& hooks);
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

    void Paint(HDC dc);
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnIrrButton(int index);
    void SwitchPage(int page);
    void SelectProfileButton(int slot);
    void RequestApply();
    void OnTray(LPARAM event);
    void ShowFromTray();
    void Hide();
    void OnDeviceChange(WPARAM event, LPARAM data);
    void OnArrivalAttempt();
    void ReadFirmwareVersion();
    void OnLanguageSwitch(WPARAM wParam, LPARAM lParam);
    void SaveSimulatedMouse();
    void ShutDown();

    ProcessObjects process_;
    IInputHooks& hooks_;
    bool closing_ = false;
    bool shutDown_ = false;

    std::unique_ptr<CSystemFiles> files_;
    std::unique_ptr<CDlgInfoNotifier> notifier_;
    std::unique_ptr<CProfileStore> store_;
    std::unique_ptr<CMacroLibrary> macros_;
    std::unique_ptr<CSimulatedMouse> sim_;
    std::unique_ptr<IHidEnumerator> hid_;
    std::unique_ptr<ILoaderSearch> loader_;
    std::unique_ptr<CUSBDriver> link_;
    std::unique_ptr<IPoster> poster_;
    std::unique_ptr<IPointerSettings> pointer_;
    std::unique_ptr<CApplyWorker> applyWorker_;

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
    HDEVNOTIFY deviceNotify_ = nullptr;
    CArrivalRetry arrival_;
    bool languageMenuOpen_ = false;
    HICON iconBig_ = nullptr;
    HICON iconSmall_ = nullptr;
};

} // namespace n640::win
