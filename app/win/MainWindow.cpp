#include "app/win/MainWindow.h"

#include <dbt.h>
#include <shellapi.h>

#include <functional>

#include "config/ProfileStore.h"
#include "config/Seeding.h"
#include "device/ApplyWorker.h"
#include "device/USBDriver.h"
#include "functions/win/SoftwareFunctions.h"
#include "i18n/LanguageTable.h"
#include "i18n/UiLanguage.h"
#include "macro/MacroLibrary.h"
#include "platform/Clock.h"
#include "platform/Poster.h"
#include "platform/Text.h"
#include "ui/controls/win/DlgProgress.h"
#include "ui/controls/win/LanguageMenu.h"
#include "ui/controls/win/XPMenu.h"

namespace n640::win {
namespace {

constexpr UINT_PTR kUpdaterTimer = 4;
constexpr UINT_PTR kArrivalTimer = 5;
constexpr UINT kUpdaterDelayMs = 3000;
constexpr int kMinimiseId = 1001;
constexpr int kHideId = 1002;
constexpr int kLanguageId = 1003;
constexpr int kFlagId = 1010;
constexpr int kIrrFirstId = 1100;

// GUID_DEVINTERFACE_USB_DEVICE
constexpr GUID kUsbDeviceInterface = {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

class CLanguageIndexStore final : public ILanguageIndexStore {
public:
    explicit CLanguageIndexStore(CProfileStore& store) : store_(store) {}
    bool WriteLanguageIndex(uint32_t index) override { return store_.WriteLanguageIndex(static_cast<int32_t>(index)); }

private:
    CProfileStore& store_;
};

RECT ToRect(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

Point ClientPoint(LPARAM lParam) { return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }

// Asks every box and dialog owned by the window to close.
BOOL CALLBACK CloseOwned(HWND window, LPARAM owner) {
    if (GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(owner)) PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

} // namespace

CMainWindow::CMainWindow(CServices& services) : services_(services) {}

CMainWindow::~CMainWindow() {
    ShutDown();
    if (iconBig_) DestroyIcon(iconBig_);
    if (iconSmall_) DestroyIcon(iconSmall_);
}

void CMainWindow::Run() {
    if (!Create(0, L"", WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU, 0, 0, 960, 640, nullptr)) return;
    services_.AttachMainWindow(Hwnd());
    // Outcomes that close the window have posted WM_CLOSE: the loop runs it without showing.
    Initialise();
    RunModal(nullptr, false);
    Destroy();
    services_.AttachMainWindow(nullptr);
}

bool CMainWindow::Initialise() {
    // 1. Icons.
    iconBig_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kAppIcon), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    iconSmall_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kAppIcon), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(iconBig_));
    SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(iconSmall_));

    // 2. First-run seeding.
    SeedDataDir(services_.Files(), services_.InstallDir(), services_.DataDir());

    // 3. First language.
    CProfileReader ini;
    const StartLanguage start = ChooseStartLanguage(services_.Language(), PathText(services_.InstallDir()), ini);

    // 4. Title (a second copy finds the window by it).
    SetWindowTextW(Hwnd(), W(std::u16string(kMainWindowTitle)));

    // 5. Macro library.
    services_.Macros().LoadMacroLibrary();
    // 6. Skin and the window's own controls.
    CreateControls();
    // 7. Pages.
    CreatePages();
    // 8. Tray icon.
    AddTrayIcon();
    // 9. Profile slots and the active profile.
    CProfileStore& store = services_.Store();
    store.LoadSlots();
    for (int i = 0; i < kProfileButtonCount; ++i) irr_[kTabCount + i].SetHighlight(store.IsSlotSelected(i));
    // 10. Device notices.
    RegisterDeviceNotices();
    // 11. The macro page's list at start. 12. MacroAssignments came with LoadSlots.
    macro_.FillList(kStartMacroCategory);
    // 13. Flag picture.
    SetFlag(start.flagPicture);
    MoveWindow(flag_, kFlagRect.left, kFlagRect.top, kFlagRect.Width(), kFlagRect.Height(), TRUE);
    // 14. The chosen language, switched once the loop runs.
    PostMessageW(Hwnd(), msg::SwitchLanguage, kStartupSwitch, store.ReadLanguageIndex());

    // 15. The HID link.
    linkCreated_ = services_.Link().Create();
    if (!linkCreated_) {
        // Without the HID library the window runs without a mouse.
        ShowWindow(Hwnd(), SW_SHOW);
        return true;
    }
    // 16. The device search.
    return SearchDevice();
}

void CMainWindow::CreateControls() {
    const std::filesystem::path skins = services_.InstallDir() / L"skins";
    normal_ = LoadSkinImage(skins / L"Main_Normal.bmp");
    over_ = LoadSkinImage(skins / L"Main_Over.bmp");
    down_ = LoadSkinImage(skins / L"Main_Down.bmp");
    const int w = normal_ ? normal_.width : 960;
    const int h = normal_ ? normal_.height : 640;
    const SIZE screen = FullScreenSize();
    SetWindowPos(Hwnd(), nullptr, (screen.cx - w) / 2, (screen.cy - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    hintFont_.Reset(SkinFont(14, 300));

    const SkinSheets sheets{.normal = normal_.bitmap.Get(), .hover = over_.bitmap.Get(),
                            .pressed = down_.bitmap.Get(), .disabled = normal_.bitmap.Get()};
    auto own = [&](CGDIBitmapBtn& b, const Rect& r, int id, std::function<void()> onClick) {
        b.Create(Hwnd(), BitmapBtnArgs{.id = id, .rect = r, .onClick = std::move(onClick)});
        b.SetSkin(r, sheets);
    };
    own(minimise_, kMinimiseRect, kMinimiseId, [this] { Minimise(); });
    own(hide_, kHideRect, kHideId, [this] { Hide(); });
    own(language_, kLanguageRect, kLanguageId, [this] { OpenLanguageMenu(); });

    const auto& shapes = MainIrrShapes();
    for (int i = 0; i < kIrrButtonCount; ++i) {
        irr_[i].Create(Hwnd(), IrrButtonArgs{.id = kIrrFirstId + i,
                                             .shape = shapes[i],
                                             .latched = i < kTabCount + kProfileButtonCount,
                                             .tooltipKey = IrrTooltipKey(i),
                                             .onClick = [this, i] { OnIrrButton(i); }});
    }
    ApplyLanguageLooks();

    flag_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BITMAP, kFlagRect.left, kFlagRect.top,
                            kFlagRect.Width(), kFlagRect.Height(), Hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFlagId)), GetModuleHandleW(nullptr), nullptr);
}

void CMainWindow::ApplyLanguageLooks() {
    const IrrBitmapIds ids = IrrBitmapsFor(UiChinese());
    for (CIrrButton& b : irr_) b.SetBitmaps(ids.normal, ids.pressed, ids.hover, ids.disabled);
}

void CMainWindow::SetFlag(uint32_t picture) {
    if (!flag_ || picture == 0) return;
    SendMessageW(flag_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(SharedResourceBitmap(static_cast<int>(picture))));
}

void CMainWindow::CreatePages() {
    HBITMAP sheet = normal_.bitmap.Get();
    mainSet_.CreatePage(services_, Hwnd(), sheet);
    lighting_.CreatePage(services_, Hwnd(), sheet);
    macro_.CreatePage(services_, Hwnd(), sheet);
    stats_.CreatePage(services_, Hwnd(), sheet);
    support_.CreatePage(services_, Hwnd(), sheet);
    SwitchPage(1);
}

void CMainWindow::AddTrayIcon() {
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    tray_.cbSize = sizeof tray_;
    tray_.hWnd = Hwnd();
    tray_.uID = 0;
    tray_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
    tray_.uCallbackMessage = msg::TrayEvent;
    tray_.hIcon = iconSmall_;
    lstrcpynW(tray_.szTip, W(std::u16string(kMainWindowTitle)), ARRAYSIZE(tray_.szTip));
    lstrcpynW(tray_.szInfoTitle, L"Running", ARRAYSIZE(tray_.szInfoTitle));
    lstrcpynW(tray_.szInfo, W(std::u16string(kMainWindowTitle)), ARRAYSIZE(tray_.szInfo));
    tray_.dwInfoFlags = NIIF_INFO;
    tray_.uTimeout = 5000;
    // When the notification area does not exist yet (started before the shell), the icon is added
    // on its "TaskbarCreated" broadcast.
    trayAdded_ = Shell_NotifyIconW(NIM_ADD, &tray_) != FALSE;
}

void CMainWindow::OnTaskbarCreated() {
    // The shell (re)started: its notification area has no icon of ours any more. The balloon was
    // shown once already.
    if (closing_) return;
    NOTIFYICONDATAW again = tray_;
    again.uFlags &= ~static_cast<UINT>(NIF_INFO);
    trayAdded_ = Shell_NotifyIconW(NIM_ADD, &again) != FALSE || Shell_NotifyIconW(NIM_MODIFY, &again) != FALSE;
}

void CMainWindow::RegisterDeviceNotices() {
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kUsbDeviceInterface;
    deviceNotify_ = RegisterDeviceNotificationW(Hwnd(), &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void CMainWindow::PostClose() {
    closing_ = true;
    PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
}

bool CMainWindow::SearchDevice() {
    SearchPorts ports{[&] { return services_.Loader().LoaderPresent(); }, [&] { return services_.Link().Open(); }};
    const SearchOutcome outcome = SearchAtStart(ports, services_.Clock());
    if (outcome == SearchOutcome::LoaderMode) {
        ShellExecuteW(nullptr, L"open", FirmwareToolPath(services_.InstallDir()).c_str(),
                      W(FirmwareToolArgument(UiChinese())), nullptr, SW_SHOWNORMAL);
        PostClose();
        return true;
    }
    mainSet_.RefreshFromProfile();
    lighting_.Refresh();
    if (outcome == SearchOutcome::Missing) {
        services_.Notifier().ShowInfo(MouseMissingText(UiChinese()), InfoButtons::Ok, true);
        PostClose();
        return false;
    }
    services_.StartApplyWorker();
    // The update check's worker belongs to the support page; its event exists already.
    ReadFirmwareVersion();
    ShowWindow(Hwnd(), SW_SHOW);
    SetForegroundWindow(Hwnd());
    BringWindowToTop(Hwnd());
    services_.Hooks().Install(Hwnd());
    SetTimer(Hwnd(), kUpdaterTimer, kUpdaterDelayMs, nullptr);
    SetWindowLongW(Hwnd(), GWL_STYLE, GetWindowLongW(Hwnd(), GWL_STYLE) | WS_MINIMIZEBOX);
    return true;
}

void CMainWindow::ReadFirmwareVersion() {
    const std::optional<int> version = services_.Link().GetFirmwareVersion();
    if (version && *version != 0) {
        support_.SetFirmwareVersion(Utf8ToUtf16(std::to_string(*version)));
    } else {
        support_.SetFirmwareVersion(u"");
    }
}

void CMainWindow::RestoreHooks() {
    if (!closing_ && services_.Hooks().Installed()) services_.Hooks().Install(Hwnd());
}

bool CMainWindow::PreTranslate(MSG& msg) {
    switch (FilterKey(msg.message, static_cast<unsigned>(msg.wParam), true)) {
    case KeyAction::Pass:
        return false;
    case KeyAction::Drop:
        return true;
    case KeyAction::Hide:
        Hide();
        return true;
    }
    return false;
}

LRESULT CMainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT painted = 0; PaintMessage(message, painted, [&](HDC dc) { Paint(dc); }))
        return painted;
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        OnTaskbarCreated();
        return 0;
    }
    switch (message) {
    case WM_LBUTTONDOWN:
        OnLeftButtonDown(lParam);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(lParam);
        return 0;
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            OnSysCommand(wParam, lParam);
            return 0;
        }
        return Default(message, wParam, lParam);
    case WM_MEASUREITEM:
        if (CXPMenu::OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return TRUE;
        return Default(message, wParam, lParam);
    case WM_DRAWITEM:
        if (CXPMenu::OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam))) return TRUE;
        return Default(message, wParam, lParam);
    case msg::SwitchLanguage:
        OnLanguageSwitch(wParam, lParam);
        return 0;
    case msg::TrayEvent:
        OnTray(lParam);
        return 0;
    case msg::ApplySucceeded:
        OnApplySucceeded();
        return 0;
    case msg::ApplyFailed:
        OnApplyFailed(lParam);
        return 0;
    case msg::HookMouseEvent:
        // A copy to the statistics page, then the input's software function.
        OnHookEvent(wParam, lParam, services_.Store().Profile(), stats_.Hwnd());
        return 0;
    case msg::ShowHint:
        OnHint(lParam);
        return 0;
    case msg::RestoreDefaults:
        OnRestoreDefaults();
        return 0;
    case WM_DEVICECHANGE:
        OnDeviceChange(wParam, lParam);
        return TRUE;
    case own_msg::DeviceNotice:
        OnDeviceNotice(wParam != 0);
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_QUERYENDSESSION:
        stats_.SaveCounters();
        return TRUE;
    case WM_CLOSE:
        OnClose();
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

void CMainWindow::Paint(HDC dc) {
    RECT client;
    GetClientRect(Hwnd(), &client);
    BlitBitmap(dc, 0, 0, normal_ ? normal_.width : client.right, normal_ ? normal_.height : client.bottom,
               normal_.bitmap.Get());
    if (hint_.empty()) return;
    HGDIOBJ old = SelectObject(dc, hintFont_.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(190, 190, 190));
    RECT r = ToRect(kHintRect);
    DrawTextW(dc, W(hint_), -1, &r, DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOCLIP);
    SelectObject(dc, old);
}

void CMainWindow::OnLeftButtonDown(LPARAM lParam) {
    // Dragging the background moves the window as its caption would; the press goes in screen
    // coordinates.
    POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(Hwnd(), &pt);
    PostMessageW(Hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
}

void CMainWindow::OnMouseMove(LPARAM lParam) {
    if (!hint_.empty()) {
        hint_.clear();
        RECT r = ToRect(kHintRect);
        InvalidateRect(Hwnd(), &r, FALSE);
    }
    for (int id : HoverHintIds(ClientPoint(lParam))) PostMessageW(Hwnd(), msg::ShowHint, 0, id);
}

void CMainWindow::OnHint(LPARAM id) {
    hint_ = LangText(HintKey(static_cast<int>(id)));
    RECT r = ToRect(kHintRect);
    InvalidateRect(Hwnd(), &r, FALSE);
}

void CMainWindow::OnCommand(WPARAM wParam, LPARAM) {
    // The window's own buttons report to their callbacks; what is left are the tray menu's items.
    switch (LOWORD(wParam)) {
    case kTrayConfigCommand:
        ShowFromTray();
        return;
    case kTrayExitCommand:
        PostClose();
        return;
    default:
        return;
    }
}

void CMainWindow::Minimise() {
    ShowWindow(Hwnd(), SW_MINIMIZE);
    services_.Hooks().ResetCapture();
}

void CMainWindow::OnSysCommand(WPARAM, LPARAM) {
    // The system menu's Close (Alt+Space) and the taskbar's close do what Alt+F4 does: hide to the
    // tray. The program ends only through "Exit", a removal or a start-up outcome.
    Hide();
}

void CMainWindow::OpenLanguageMenu() {
    if (languageMenu_.IsOpen()) return;
    RECT r;
    GetWindowRect(language_.Hwnd(), &r);
    languageMenu_.Open(Hwnd(), r);
}

void CMainWindow::OnIrrButton(int index) {
    if (index < kTabCount) {
        SwitchPage(index + 1);
    } else if (index < kTabCount + kProfileButtonCount) {
        SelectProfileButton(index - kTabCount);
    } else {
        OnOk();
    }
}

void CMainWindow::OnOk() {
    // The two entry checks, then the apply when none runs.
    macro_.CheckRepeatCount();
    if (ChecksScrollLines(services_.Store().Profile().settings.wheelLines)) mainSet_.CheckScrollLines();
    if (closing_) return;
    services_.RequestApply();
}

void CMainWindow::OnApplySucceeded() {
    if (!closing_) services_.Store().SaveActiveProfile();
    if (CApplyWorker* worker = services_.ApplyWorker()) worker->SetIdle();
    services_.SaveSimulatedMouse();
}

void CMainWindow::OnApplyFailed(LPARAM code) {
    // The progress dialog must not stay over the window after a failure.
    services_.Progress().Close();
    services_.SaveSimulatedMouse();
    if (!closing_) services_.Notifier().ShowInfo(ApplyFailureMessage(static_cast<int>(code)));
    if (CApplyWorker* worker = services_.ApplyWorker()) worker->SetIdle();
    irr_[kOkButton].Invalidate();
}

void CMainWindow::OnRestoreDefaults() {
    if (closing_) return;
    services_.Store().RestoreDefaults();
    mainSet_.RefreshFromProfile();
    lighting_.Refresh();
    services_.RequestApply();
}

void CMainWindow::SwitchPage(int page) {
    const PageSwitch plan = PlanPageSwitch(page);
    if (plan.leaveMacroPage) {
        macro_.CloseCategoryMenu();
        if (macro_.Recording()) macro_.EndRecording();
    }
    for (int i = 0; i < kTabCount; ++i) irr_[i].SetHighlight(i + 1 == page);
    CWindow* pages[kTabCount] = {&mainSet_, &lighting_, &macro_, &stats_, &support_};
    if (plan.loadLightingControls) lighting_.LoadControls();
    for (int i = 0; i < kTabCount; ++i) ShowWindow(pages[i]->Hwnd(), plan.visible[i] ? SW_SHOW : SW_HIDE);
    for (int i = kTabCount; i < kIrrButtonCount; ++i) EnableWindow(irr_[i].Hwnd(), plan.profileAndOkEnabled);
    if (plan.refreshMainSettings) mainSet_.RefreshFromProfile();
    if (plan.refreshLighting) lighting_.Refresh();
}

void CMainWindow::SelectProfileButton(int slot) {
    for (int i = 0; i < kProfileButtonCount; ++i) irr_[kTabCount + i].SetHighlight(i == slot);
    services_.Store().SelectProfile(slot);
    mainSet_.RefreshFromProfile();
    lighting_.Refresh();
}

void CMainWindow::ShowFromTray() {
    if (closing_) return;
    mainSet_.RefreshFromProfile();
    lighting_.Refresh();
    ShowWindow(Hwnd(), IsIconic(Hwnd()) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(Hwnd());
}

void CMainWindow::Hide() {
    macro_.CloseCategoryMenu();
    ShowWindow(Hwnd(), SW_HIDE);
    services_.Hooks().ResetCapture();
}

void CMainWindow::OnTray(LPARAM event) {
    if (closing_) return;
    if (event == kTrayDoubleClick) {
        ShowFromTray();
    } else if (event == kTrayRightUp) {
        CXPMenu menu;
        menu.AppendItem(kTrayConfigCommand, u"Config", kConfigIcon, kConfigIcon);
        menu.AppendItem(kTrayExitCommand, u"Exit", kExitIcon, kExitIcon);
        POINT pt;
        GetCursorPos(&pt);
        menu.Track(Hwnd(), pt, TPM_RIGHTBUTTON);
    }
}

void CMainWindow::OnDeviceChange(WPARAM event, LPARAM data) {
    // Only the notice is read here: the system waits for this sent message, so the handling (device
    // input and output, boxes with their own message loops) runs after it has returned.
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) return;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return;
    const auto* iface = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(data);
    if (!IsMouseNotice(U(iface->dbcc_name))) return;
    PostMessageW(Hwnd(), own_msg::DeviceNotice, event == DBT_DEVICEARRIVAL ? 1 : 0, 0);
}

void CMainWindow::OnDeviceNotice(bool arrival) {
    if (closing_ || !linkCreated_) return;
    if (arrival) {
        if (arrival_.Active()) return;  // already trying
        arrival_.Begin();
        OnArrivalAttempt();
        return;
    }
    arrival_ = CArrivalRetry();
    KillTimer(Hwnd(), kArrivalTimer);
    // The hooks go first: nothing after this may hold the thread while they are installed. The
    // worker stops writing to the mouse that went away; the link is closed at shut-down, once the
    // worker has ended, so this thread never waits for its writes.
    services_.Hooks().Remove();
    if (CApplyWorker* worker = services_.ApplyWorker()) worker->RequestStop();
    services_.Progress().Close();
    services_.Notifier().ShowInfo(MouseMissingText(UiChinese()), InfoButtons::Ok, true);
    PostClose();
}

void CMainWindow::OnArrivalAttempt() {
    const CApplyWorker* worker = services_.ApplyWorker();
    if (!arrival_.MayTry(worker && !worker->Idle())) {
        // An apply holds the link: look again at the next turn instead of waiting for it.
        if (arrival_.Active()) SetTimer(Hwnd(), kArrivalTimer, CArrivalRetry::kPeriodMs, nullptr);
        return;
    }
    const bool opened = services_.Link().Open();
    RestoreHooks();
    switch (arrival_.OnAttempt(opened)) {
    case CArrivalRetry::Step::TryAgain:
        SetTimer(Hwnd(), kArrivalTimer, CArrivalRetry::kPeriodMs, nullptr);
        return;
    case CArrivalRetry::Step::Opened:
        KillTimer(Hwnd(), kArrivalTimer);
        ReadFirmwareVersion();
        services_.Hooks().Install(Hwnd());
        services_.Notifier().ShowInfo(MouseFoundText(UiChinese()), InfoButtons::Ok, true);
        return;
    case CArrivalRetry::Step::GiveUp:
        KillTimer(Hwnd(), kArrivalTimer);
        services_.Notifier().ShowInfo(MouseMissingText(UiChinese()), InfoButtons::Ok, true);
        return;
    }
}

void CMainWindow::OnTimer(WPARAM id) {
    if (id == kUpdaterTimer) {
        KillTimer(Hwnd(), kUpdaterTimer);
        const std::filesystem::path updater = UpdaterPath(services_.InstallDir());
        if (std::filesystem::exists(updater)) {
            ShellExecuteW(nullptr, L"open", updater.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            RestoreHooks();
        }
    } else if (id == kArrivalTimer) {
        KillTimer(Hwnd(), kArrivalTimer);
        OnArrivalAttempt();
    }
}

void CMainWindow::OnLanguageSwitch(WPARAM wParam, LPARAM lParam) {
    CLanguageIndexStore indexStore(services_.Store());
    const SwitchOutcome out = SwitchLanguage(services_.Language(), PathText(services_.InstallDir()), wParam, lParam,
                                             languageMenu_.IsOpen(), indexStore);
    if (out.closeMenu) languageMenu_.Close();
    if (!out.handled) return;
    if (out.flagPicture) SetFlag(out.flagPicture);
    ApplyLanguageLooks();
    ReapplyTexts();
    // Pages with a Chinese and an English layout take it at once.
    mainSet_.RefreshFromProfile();
    lighting_.Refresh();
    macro_.ReapplyLanguage();
    RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CMainWindow::OnClose() {
    ShutDown();
    EndModal(0);
}

void CMainWindow::ShutDown() {
    if (shutDown_) return;
    shutDown_ = true;
    closing_ = true;
    services_.BeginClosing();
    // Nothing of the window can be used any more, whatever box or dialog is open over it: it goes
    // from the screen, and the boxes and the progress dialog it owns are asked to close, so that
    // no nested loop keeps the process alive.
    if (Hwnd()) {
        ShowWindow(Hwnd(), SW_HIDE);
        EnableWindow(Hwnd(), FALSE);
        EnumThreadWindows(GetCurrentThreadId(), CloseOwned, reinterpret_cast<LPARAM>(Hwnd()));
    }
    services_.Progress().Close();
    // 1. Tray icon.
    if (trayAdded_) {
        Shell_NotifyIconW(NIM_DELETE, &tray_);
        trayAdded_ = false;
    }
    if (deviceNotify_) {
        UnregisterDeviceNotification(deviceNotify_);
        deviceNotify_ = nullptr;
    }
    KillTimer(Hwnd(), kArrivalTimer);
    KillTimer(Hwnd(), kUpdaterTimer);
    services_.Hooks().Remove();
    // The workers end before anything they use goes away: a run in progress stops after its current
    // step while this thread keeps answering the notices the run sends to it.
    services_.StopWorkers();
    // 2. Pages, in order.
    mainSet_.Destroy();
    lighting_.Destroy();
    macro_.Destroy();
    stats_.Destroy();
    support_.Destroy();
    // 3. The link.
    services_.CloseLink();
}

} // namespace n640::win
