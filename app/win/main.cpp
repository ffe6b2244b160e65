// Process entry of the driver.

#include <windows.h>

#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>
#include <shellapi.h>

#include <vector>

#include "app/MainWindowModel.h"
#include "app/win/MainWindow.h"
#include "app/win/Services.h"
#include "functions/win/Hooks.h"
#include "i18n/LanguageTable.h"
#include "platform/Directories.h"
#include "platform/ManualResetEvent.h"
#include "platform/Notifier.h"
#include "ui/controls/win/DlgProgress.h"

namespace n640::win {
namespace {

// The system's low-level hooks over the process's hook state.
class CSystemHooks final : public IInputHooks {
public:
    void Install(HWND target) override {
        InstallHooks(target);
        // Key presses are not reported to the main window; every button press and wheel step is.
        n640::SetForwarding(false, false);
        SetClickPosting(true);
    }
    void Remove() override { RemoveHooks(); }
    void ResetCapture() override { n640::ResetCapture(); }
    bool Installed() const override { return HooksInstalled(); }
};

std::vector<std::u16string> CommandLineArgs() {
    std::vector<std::u16string> args;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv) return args;
    for (int i = 1; i < count; ++i) args.push_back(U(argv[i]));
    LocalFree(argv);
    return args;
}

int Run() {
    // 1. Common controls and GDI+.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
    OleInitialize(nullptr);

    // 2. One copy only: a second one asks the first to show itself and touches nothing else.
    CreateMutexW(nullptr, FALSE, W(std::u16string(kMutexName)));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        if (HWND first = FindWindowW(nullptr, W(std::u16string(kMainWindowTitle)))) {
            // The first copy may only come to the front when this one, which the user just
            // started, lets it.
            DWORD firstProcess = 0;
            GetWindowThreadProcessId(first, &firstProcess);
            AllowSetForegroundWindow(firstProcess ? firstProcess : ASFW_ANY);
            PostMessageW(first, msg::TrayEvent, 0, kTrayDoubleClick);
        }
        return 0;
    }

    // 3. The two worker events.
    static CManualResetEvent applyEvent;
    static CManualResetEvent updateCheckEvent;

    // 4., 5. DataDir and InstallDir. A temporary path the system cannot give whole would make
    // DataDir relative to whatever the current folder is: the program does not start then.
    ProcessSetup setup;
    setup.dataDir = DefaultDataDir();
    setup.installDir = ExecutableDir();
    if (setup.dataDir.empty() || !setup.dataDir.is_absolute()) {
        ShowSystemMessageBox(u"The folder for the settings cannot be found: the temporary folder (TEMP) is "
                             u"missing or longer than the system allows.",
                             nullptr);
        return 1;
    }
    setup.demo = ParseDemoOptions(CommandLineArgs());
    if (setup.demo.error) {
        ShowSystemMessageBox(*setup.demo.error, nullptr);
        return 1;
    }

    // 6. Texts before any window.
    LanguageTable().LoadLanguageFile(InstallPath(U(setup.installDir.c_str()), u"Language\\sc.xml"));

    // The progress dialog lives for the whole process.
    static CDlgProgress progress;
    progress.CreateOnce(setup.installDir);

    // 7. The main window, modal for the life of the process, over the program's services.
    {
        CSystemHooks hooks;
        CServices services(setup, applyEvent, updateCheckEvent, progress, hooks);
        CMainWindow window(services);
        window.Run();
    }
    progress.Destroy();
    OleUninitialize();
    Gdiplus::GdiplusShutdown(gdiplusToken);
    return 0;
}

} // namespace
} // namespace n640::win

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return n640::win::Run(); }
