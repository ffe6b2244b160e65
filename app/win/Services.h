#pragma once
// The objects the whole driver works with, built once by the process entry before the main window
// and kept until the process ends: the data files, the profile store, the macro library, the HID
// link (or the simulated mouse of the demo mode), the apply worker, the input hooks, the message
// poster, the language table, the progress dialog and the two directories. The main window and
// every page receive them from here instead of making their own.

#include <windows.h>

#include <filesystem>
#include <memory>

#include "app/MainWindowModel.h"
#include "platform/ManualResetEvent.h"
#include "platform/Notifier.h"

namespace n640 {
class CApplyWorker;
class CLanguageTable;
class CMacroLibrary;
class CProfileStore;
class CSimulatedMouse;
class CUSBDriver;
class IFiles;
class IHidEnumerator;
class ILoaderSearch;
class IPointerSettings;
class IPoster;
class CSystemFiles;
} // namespace n640

namespace n640::win {

class CDlgProgress;

// Installing and removing the low-level input hooks with a target window.
class IInputHooks {
public:
    virtual ~IInputHooks() = default;
    virtual void Install(HWND target) = 0;
    virtual void Remove() = 0;
    // Both capture switches off, target back to the home window.
    virtual void ResetCapture() = 0;
    virtual bool Installed() const = 0;
};

// The skinned message boxes of the driver, owned by the main window once it exists: the window
// is disabled while a box is open, and the box stays in front of it.
class COwnedNotifier final : public INotifier {
public:
    void SetOwner(HWND owner) { owner_ = owner; }
    HWND Owner() const { return owner_; }
    // How many boxes are open right now (nested boxes count each).
    int OpenBoxes() const { return open_; }
    int ShowInfo(std::u16string_view text, InfoButtons buttons, bool countdown) override;
    void ShowSystemInfo(std::u16string_view text, WindowRef owner) override;
    using INotifier::ShowInfo;
    using INotifier::ShowSystemInfo;

private:
    HWND owner_ = nullptr;
    int open_ = 0;
};

// What the process entry works out before anything else.
struct ProcessSetup {
    std::filesystem::path installDir;
    std::filesystem::path dataDir;
    DemoOptions demo;
};

class CServices {
public:
    CServices(const ProcessSetup& setup, CManualResetEvent& applyEvent, CManualResetEvent& updateCheckEvent,
              CDlgProgress& progress, IInputHooks& hooks);
    ~CServices();
    CServices(const CServices&) = delete;
    CServices& operator=(const CServices&) = delete;

    const std::filesystem::path& InstallDir() const { return setup_.installDir; }
    const std::filesystem::path& DataDir() const { return setup_.dataDir; }
    const DemoOptions& Demo() const { return setup_.demo; }

    IFiles& Files();
    INotifier& Notifier() { return notifier_; }
    COwnedNotifier& Boxes() { return notifier_; }
    CProfileStore& Store() { return *store_; }
    CMacroLibrary& Macros() { return *macros_; }
    CUSBDriver& Link() { return *link_; }
    ILoaderSearch& Loader() { return *loader_; }
    CApplyWorker* ApplyWorker() { return applyWorker_.get(); }
    CManualResetEvent& ApplyEvent() { return applyEvent_; }
    CManualResetEvent& UpdateCheckEvent() { return updateCheckEvent_; }
    IInputHooks& Hooks() { return hooks_; }
    IPoster& Poster() { return *poster_; }
    IClock& Clock();
    IPointerSettings& Pointer() { return *pointer_; }
    CLanguageTable& Language();
    TextLookup Lookup() const;
    CDlgProgress& Progress() { return progress_; }

    // The main window tells its handle once it exists: boxes are owned by it from then on, and
    // the pointer-settings notices of an apply go to it.
    void AttachMainWindow(HWND window);
    HWND MainWindow() const { return mainWindow_; }

    // Starts the apply worker once the mouse has been opened (true when it runs).
    bool StartApplyWorker();
    // The OK button's apply, after its two entry checks: false when it was refused because an
    // apply runs, no mouse was opened, or the program is closing. Shows the progress dialog
    // modally while the apply runs.
    bool RequestApply();

    // Shut-down: from now on nothing new starts. StopWorkers stops the apply worker and waits for
    // it while answering the messages it sends to this thread; CloseLink, after the pages are
    // gone, signals the update-check event and closes the link.
    void BeginClosing() { closing_ = true; }
    bool Closing() const { return closing_; }
    void StopWorkers();
    void CloseLink();

    // Demo mode: keeps the simulated mouse's memory in its state file.
    void SaveSimulatedMouse();

private:
    ProcessSetup setup_;
    CManualResetEvent& applyEvent_;
    CManualResetEvent& updateCheckEvent_;
    CDlgProgress& progress_;
    IInputHooks& hooks_;
    COwnedNotifier notifier_;
    HWND mainWindow_ = nullptr;
    bool closing_ = false;
    std::unique_ptr<CSystemFiles> files_;
    std::unique_ptr<CProfileStore> store_;
    std::unique_ptr<CMacroLibrary> macros_;
    std::unique_ptr<CSimulatedMouse> sim_;
    std::unique_ptr<IHidEnumerator> hid_;
    std::unique_ptr<ILoaderSearch> loader_;
    std::unique_ptr<CUSBDriver> link_;
    std::unique_ptr<IPoster> poster_;
    std::unique_ptr<IPointerSettings> pointer_;
    std::unique_ptr<CApplyWorker> applyWorker_;
};

} // namespace n640::win
