#include "app/win/Services.h"

#include "config/ProfileStore.h"
#include "device/ApplyWorker.h"
#include "device/PlatformHid.h"
#include "device/USBDriver.h"
#include "device/sim/SimulatedMouse.h"
#include "functions/HookState.h"
#include "functions/PointerSettings.h"
#include "i18n/LanguageTable.h"
#include "i18n/UiLanguage.h"
#include "macro/MacroLibrary.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/Poster.h"
#include "platform/Text.h"
#include "ui/controls/win/DlgInfo.h"
#include "ui/controls/win/DlgProgress.h"

namespace n640::win {
namespace {

class CWinPoster final : public IPoster {
public:
    bool Post(WindowRef target, uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        return PostMessageW(static_cast<HWND>(target), message, wParam, lParam) != FALSE;
    }
};

// How often the shut-down looks at the worker while it answers the worker's sent messages.
constexpr DWORD kStopPollMs = 20;

} // namespace

int COwnedNotifier::ShowInfo(std::u16string_view text, InfoButtons buttons, bool countdown) {
    CDlgInfo box(std::u16string(text), buttons == InfoButtons::OkCancel ? 1 : 0, countdown, owner_);
    ++open_;
    const int result = box.Run();
    --open_;
    return result;
}

void COwnedNotifier::ShowSystemInfo(std::u16string_view text, WindowRef owner) {
    ShowSystemMessageBox(text, owner ? owner : static_cast<WindowRef>(owner_));
}

CServices::CServices(const ProcessSetup& setup, CManualResetEvent& applyEvent, CManualResetEvent& updateCheckEvent,
                     CDlgProgress& progress, IInputHooks& hooks)
    : setup_(setup), applyEvent_(applyEvent), updateCheckEvent_(updateCheckEvent), progress_(progress), hooks_(hooks),
      files_(std::make_unique<CSystemFiles>()), poster_(std::make_unique<CWinPoster>()) {
    const TextLookup lookup = Lookup();
    store_ = std::make_unique<CProfileStore>(setup_.dataDir, *files_, notifier_, lookup);
    macros_ = std::make_unique<CMacroLibrary>(setup_.dataDir, *files_, notifier_, lookup, CSystemClock::Instance());
    if (setup_.demo.simulated) {
        sim_ = std::make_unique<CSimulatedMouse>();
        if (!setup_.demo.stateFile) {
            setup_.demo.stateFile = PathText(setup_.dataDir / L"SimulatedMouse.bin");
        }
        sim_->LoadFile(std::filesystem::path(W(*setup_.demo.stateFile)).string());
        if (setup_.demo.failCommand) sim_->FailCommand(*setup_.demo.failCommand);
        hid_ = std::make_unique<CSimHidEnumerator>(*sim_);
        loader_ = std::make_unique<CSimLoaderSearch>(*sim_);
    } else {
        hid_ = MakePlatformHidEnumerator();
        loader_ = MakePlatformLoaderSearch();
    }
    link_ = std::make_unique<CUSBDriver>(*hid_, CSystemClock::Instance());
}

CServices::~CServices() {
    closing_ = true;
    StopWorkers();
    CloseLink();
}

IFiles& CServices::Files() { return *files_; }
IClock& CServices::Clock() { return CSystemClock::Instance(); }
CLanguageTable& CServices::Language() { return LanguageTable(); }
TextLookup CServices::Lookup() const {
    return [](std::string_view key) { return LangText(key); };
}

void CServices::AttachMainWindow(HWND window) {
    mainWindow_ = window;
    notifier_.SetOwner(window);
    pointer_ = std::make_unique<CSystemPointerSettings>(window);
}

bool CServices::StartApplyWorker() {
    if (applyWorker_ || closing_ || !pointer_) return applyWorker_ != nullptr;
    applyWorker_ = std::make_unique<CApplyWorker>(
        ApplyData{store_->Profile(), store_->Assignments(), *macros_},
        ApplyPorts{*link_, CHookState::Instance(), *pointer_, CSystemClock::Instance(), *poster_, progress_.Hwnd(),
                   mainWindow_},
        applyEvent_);
    applyWorker_->Start();
    return true;
}

bool CServices::RequestApply() {
    if (closing_) return false;
    if (!applyWorker_) {
        // No mouse was opened, so nothing would ever answer: say so instead of waiting forever.
        notifier_.ShowInfo(MouseMissingText(UiChinese()));
        return false;
    }
    if (!applyWorker_->Request()) return false;
    progress_.Show(mainWindow_);
    return true;
}

void CServices::StopWorkers() {
    if (!applyWorker_) return;
    applyWorker_->RequestStop();
    // A run may be sending the pointer-settings notice to this thread: answer sent messages (and
    // only those, so no handler of ours runs again) until the thread has returned.
    while (!applyWorker_->Ended()) {
        MSG m;
        PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kStopPollMs, QS_SENDMESSAGE);
    }
    applyWorker_->Join();
}

void CServices::CloseLink() {
    // The update-check worker belongs to the support page, which has stopped it when it was
    // destroyed; the signal only wakes a worker that is still waiting.
    updateCheckEvent_.Set();
    if (link_) link_->Close();
    SaveSimulatedMouse();
}

void CServices::SaveSimulatedMouse() {
    if (sim_ && setup_.demo.stateFile) sim_->SaveFile(std::filesystem::path(W(*setup_.demo.stateFile)).string());
}

} // namespace n640::win
