#include "app/win/MainWindow.h"

#include <dbt.h>
#include <shellapi.h>

#include "config/ProfileStore.h"
#include "config/Seeding.h"
#include "device/ApplyWorker.h"
#include "device/PlatformHid.h"
#include "device/USBDriver.h"
#include "device/sim/SimulatedMouse.h"
#include "functions/HookState.h"
#include "functions/PointerSettings.h"
#include "functions/win/SoftwareFunctions.h"
#include "i18n/LanguageTable.h"
#include "i18n/UiLanguage.h"
#include "macro/MacroLibrary.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/Poster.h"
#include "platform/Text.h"
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
constexpr int kLanguageMenuFirst = 0x7000;

// GUID_DEVINTERFACE_USB_DEVICE
constexpr GUID kUsbDeviceInterface = {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

class CWinPoster final : public IPoster {
public:
    bool Post(WindowRef target, uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        return PostMessageW(static_cast<HWND>(target), message, wParam, lParam) != FALSE;
    }
};

class CLanguageIndexStore final : public ILanguageIndexStore {
public:
    explicit CLanguageIndexStore(CProfileStore& store) : store_(store) {}
    bool WriteLanguageIndex(uint32_t index) override { return store_.WriteLanguageIndex(static_cast<int32_t>(index)); }

private:
    CProfileStore& store_;
};

std::u16string PathText(const std::filesystem::path& p) { return U(p.c_str()); }

RECT ToRect(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

} // namespace

CMainWindow::CMainWindow(const ProcessObjects& process, IInputHooks& hooks) : process_(process), hooks_(hooks) {}

CMainWindow::~CMainWindow() {
    ShutDown();
    if (iconBig_) DestroyIcon(iconBig_);
    if (iconSmall_) DestroyIcon(iconSmall_);
}

void CMainWindow::Run() {
    if (!Create(0, L"", WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU, 0, 0, 960, 640, nullptr)) return;
    const bool running = Initialise();
    // Outcomes that close the window have posted WM_CLOSE: the loop runs it without showing.
    RunModal(nullptr, false);
    (void)running;
    Destroy();
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
    files_ = std::make_unique<CSystemFiles>();
    SeedDataDir(*files_, process_.installDir, process_.dataDir);

    // 3. First language.
    const std::u16string installText = PathText(process_.installDir);
    CProfileReader ini;
    const StartLanguage start = ChooseStartLanguage(LanguageTable(), installText, ini);

    // 4. Title (a second copy finds the window by it).
    SetWindowTextW(Hwnd(), W(std::u16string(kMainWindowTitle)));

    // 5. Macro library.
    notifier_ = std::make_unique<CDlgInfoNotifier>();
    TextLookup lookup = [](std::string_view key) { return LangText(key); };
    macros_ = std::make_unique<CMacroLibrary>(process_.dataDir, *files_, *notifier_, lookup,
                                              CSystemClock::Instance());
    macros_->LoadMacroLibrary();

    // 6. Skin and the window's own controls.
    CreateControls();
    // 7. Pages.
    CreatePages();
    // 8. Tray icon.
    AddTrayIcon();
    // 9. Profile slots and the active profile.
    store_ = std::make_unique<CProfileStore>(process_.dataDir, *files_, *notifier_, lookup);
    store_->LoadSlots();
    for (int i = 0; i < kProfileButtonCount; ++i) irr_[kTabCount + i].SetHighlight(store_->IsSlotSelected(i));
    // 10. Device notices.
    RegisterDeviceNotices();
    // 11. The macro page's list of category 21. 12. MacroAssignments came with LoadSlots.
    macro_.FillList(21);
    // 13. Flag picture.
    SetFlag(start.flagPicture);
    MoveWindow(flag_, kFlagRect.left, kFlagRect.top, kFlagRect.Width(), kFlagRect.Height(), TRUE);
    // 14. The chosen language, switched once the loop runs.
    PostMessageW(Hwnd(), msg::SwitchLanguage, kStartupSwitch, store_->ReadLanguageIndex());

    // 15. The HID link.
    poster_ = std::make_unique<CWinPoster>();
    pointer_ = std::make_unique<CSystemPointerSettings>(Hwnd());
    if (process_.demo.simulated) {
        sim_ = std::make_unique<CSimulatedMouse>();
        const std::filesystem::path state = process_.demo.stateFile
                                                ? std::filesystem::path(W(*process_.demo.stateFile))
                                                : process_.dataDir / L"SimulatedMouse.bin";
        process_.demo.stateFile = PathText(state);
        sim_->LoadFile(state.string());
        if (process_.demo.failCommand) sim_->FailCommand(*process_.demo.failCommand);
        hid_ = std::make_unique<CSimHidEnumerator>(*sim_);
        loader_ = std::make_unique<CSimLoaderSearch>(*sim_);
    } else {
        hid_ = MakePlatformHidEnumerator();
        loader_ = MakePlatformLoaderSearch();
    }
    link_ = std::make_unique<CUSBDriver>(*hid_, CSystemClock::Instance());
    if (!link_->Create()) {
        // Without the HID library the window runs without a mouse.
        ShowWindow(Hwnd(), SW_SHOW);
        return true;
    }
    // 16. The device search.
    return SearchDevice();
}

void CMainWindow::CreateControls() {
    const std::filesystem::path skins = process_.installDir / L"skins";
    normal_ = LoadSkinImage(skins / L"Main_Normal.bmp");
    over_ = LoadSkinImage(skins / L"Main_Over.bmp");
    down_ = LoadSkinImage(skins / L"Main_Down.bmp");
    const int w = normal_ ? normal_.width : 960;
    const int h = normal_ ? normal_.height : 640;
    const SIZE screen = FullScreenSize();
    SetWindowPos(Hwnd(), nullptr, (screen.cx - w) / 2, (screen.cy - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    hintFont_.Reset(SkinFont(14, 300));

    auto own = [&](CGDIBitmapBtn& b, const Rect& r, int id) {
        b.Create(u"", WS_VISIBLE, ToRect(r), Hwnd(), id);
        b.SetSkin(r.left, r.top, r.right, r.bottom, normal_.bitmap.Get(), over_.bitmap.Get(), down_.bitmap.Get(),
                  normal_.bitmap.Get());
    };
    own(minimise_, kMinimiseRect, kMinimiseId);
    own(hide_, kHideRect, kHideId);
    own(language_, kLanguageRect, kLanguageId);

    const auto& shapes = MainIrrShapes();
    for (int i = 0; i < kIrrButtonCount; ++i) {
        irr_[i].CreateShaped(u"", WS_VISIBLE, shapes[i], Hwnd(), kIrrFirstId + i);
        irr_[i].SetLatched(i < kTabCount + kProfileButtonCount);
    }
    ApplyLanguageLooks();

    flag_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BITMAP, kFlagRect.left, kFlagRect.top,
                            kFlagRect.Width(), kFlagRect.Height(), Hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFlagId)), GetModuleHandleW(nullptr), nullptr);
}

void CMainWindow::ApplyLanguageLooks() {
    const IrrBitmapIds ids = IrrBitmapsFor(UiChinese());
    for (int i = 0; i < kIrrButtonCount; ++i) {
        irr_[i].SetBitmaps(ids.normal, ids.pressed, ids.hover, ids.disabled);
        irr_[i].SetTooltip(LangText(IrrTooltipKey(i)), true);
    }
}

void CMainWindow::SetFlag(uint32_t picture) {
    if (!flag_ || picture == 0) return;
    SendMessageW(flag_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(SharedResourceBitmap(static_cast<int>(picture))));
}

void CMainWindow::CreatePages() {
    HBITMAP bg = normal_.bitmap.Get();
    mainSet_.CreatePage(103, Hwnd(), bg);
    lighting_.CreatePage(104, Hwnd(), bg);
    macro_.CreatePage(105, Hwnd(), bg);
    stats_.CreatePage(106, Hwnd(), bg);
    support_.CreatePage(107, Hwnd(), bg);
    SwitchPage(1);
}

void CMainWindow::AddTrayIcon() {
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
    trayAdded_ = Shell_NotifyIconW(NIM_ADD, &tray_) != FALSE;
}

void CMainWindow::RegisterDeviceNotices() {
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kUsbDeviceInterface;
    deviceNotify_ = RegisterDeviceNotificationW(Hwnd(), &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

bool CMainWindow::SearchDevice() {
    SearchPorts ports{[&] { return loader_->LoaderPresent(); }, [&] { return link_->Open(); }};
    const SearchOutcome outcome = SearchAtStart(ports, CSystemClock::Instance());
    if (outcome == SearchOutcome::LoaderMode) {
        const std::filesystem::path tool = process_.installDir / L"FWUpdate" / L"DidizoVA.exe";
        ShellExecuteW(nullptr, L"open", tool.c_str(), UiChinese() ? L"1" : L"0", nullptr, SW_SHOWNORMAL);
        closing_ = true;
        PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
        return true;
    }
    mainSet_.RefreshFromProfile();
    lighting_.Refresh();
    if (outcome == SearchOutcome::Missing) {
        notifier_->ShowInfo(MouseMissingText(UiChinese()), InfoButtons::Ok, true);
        closing_ = true;
        PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
        return false;
    }
    applyWorker_ = std::make_unique<CApplyWorker>(
        ApplyData{store_->Profile(), store_->Assignments(), *macros_},
        ApplyPorts{*link_, CHookState::Instance(), *pointer_, CSystemClock::Instance(), *poster_,
                   process_.progress->Hwnd(), Hwnd()},
        *process_.applyEvent);
    applyWorker_->Start();
    // The update check's worker belongs to the support page's issue; its event exists already.
    ReadFirmwareVersion();
    ShowWindow(Hwnd(), SW_SHOW);
    SetForegroundWindow(Hwnd());
    BringWindowToTop(Hwnd());
    hooks_.Install(Hwnd());
    SetTimer(Hwnd(), kUpdaterTimer, kUpdaterDelayMs, nullptr);
    SetWindowLongW(Hwnd(), GWL_STYLE, GetWindowLongW(Hwnd(), GWL_STYLE) | WS_MINIMIZEBOX);
    return true;
}

void CMainWindow::ReadFirmwareVersion() {
    int version = 0;
    if (link_->GetFirmwareVersion(version) && version != 0) {
        support_.SetFirmwareVersion(Utf8ToUtf16(std::to_string(version)));
    } else {
        support_.SetFirmwareVersion(u"");
    }
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

LRESULT CMainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT painted = 0; PaintMessage(message, painted, [&](HDC dc) { Paint(dc); }))
        return painted;
    switch (message) {
    case WM_LBUTTONDOWN: {
        POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ClientToScreen(Hwnd(), &pt);
        PostMessageW(Hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
        return 0;
    }
    case WM_MOUSEMOVE: {
        if (!hint_.empty()) {
            hint_.clear();
            RECT r = ToRect(kHintRect);
            InvalidateRect(Hwnd(), &r, FALSE);
        }
        const Point p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        for (int id : HoverHintIds(p)) PostMessageW(Hwnd(), msg::ShowHint, 0, id);
        return 0;
    }
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        return 0;
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
        store_->SaveActiveProfile();
        if (applyWorker_) applyWorker_->SetIdle();
        SaveSimulatedMouse();
        return 0;
    case msg::ApplyFailed: {
        // The progress dialog must not stay over the window after a failure.
        process_.progress->Close();
        std::u16string text(ApplyFailureText(static_cast<int>(lParam)));
        if (text.empty()) text = u"Write to the mouse failed.\n";
        SaveSimulatedMouse();
        notifier_->ShowInfo(text);
        if (applyWorker_) applyWorker_->SetIdle();
        irr_[kOkButton].Invalidate();
        return 0;
    }
    case msg::HookMouseEvent:
        // A copy to the statistics page, then the input's software function.
        OnHookEvent(wParam, lParam, store_->Profile(), stats_.Hwnd());
        return 0;
    case msg::ShowHint: {
        hint_ = LangText(HintKey(static_cast<int>(lParam)));
        RECT r = ToRect(kHintRect);
        InvalidateRect(Hwnd(), &r, FALSE);
        return 0;
    }
    case msg::RestoreDefaults:
        store_->RestoreDefaults();
        mainSet_.RefreshFromProfile();
        lighting_.Refresh();
        RequestApply();
        return 0;
    case WM_DEVICECHANGE:
        OnDeviceChange(wParam, lParam);
        return TRUE;
    case WM_TIMER:
        if (wParam == kUpdaterTimer) {
            KillTimer(Hwnd(), kUpdaterTimer);
            const std::filesystem::path updater = process_.installDir / L"zentu_update" / L"ZentuUpdate.exe";
            if (std::filesystem::exists(updater)) {
                ShellExecuteW(nullptr, L"open", updater.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            }
        } else if (wParam == kArrivalTimer) {
            OnArrivalAttempt();
        }
        return 0;
    case WM_QUERYENDSESSION:
        stats_.SaveCounters();
        return TRUE;
    case WM_CLOSE:
        ShutDown();
        EndModal(0);
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

void CMainWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
    const HWND from = reinterpret_cast<HWND>(lParam);
    for (int i = 0; i < kIrrButtonCount; ++i) {
        if (from && from == irr_[i].Hwnd()) {
            OnIrrButton(i);
            return;
        }
    }
    switch (LOWORD(wParam)) {
    case kMinimiseId:
        ShowWindow(Hwnd(), SW_MINIMIZE);
        hooks_.ResetCapture();
        return;
    case kHideId:
        Hide();
        return;
    case kLanguageId: {
        // The skinned language menu belongs to the language issue; a plain popup stands in for it.
        HMENU menu = CreatePopupMenu();
        for (const LanguageInfo& l : kLanguages) {
            AppendMenuW(menu, MF_STRING, kLanguageMenuFirst + l.index, W(std::u16string(l.menuName)));
        }
        RECT r;
        GetWindowRect(language_.Hwnd(), &r);
        languageMenuOpen_ = true;
        const UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_BOTTOMALIGN | TPM_LEFTALIGN, r.left, r.top, 0,
                                           Hwnd(), nullptr);
        DestroyMenu(menu);
        if (chosen >= static_cast<UINT>(kLanguageMenuFirst)) {
            PostMessageW(Hwnd(), msg::SwitchLanguage, 0, static_cast<LPARAM>(chosen - kLanguageMenuFirst));
        } else {
            languageMenuOpen_ = false;
        }
        return;
    }
    default:
        break;
    }
    if (LOWORD(wParam) == kTrayConfigCommand) {
        ShowFromTray();
    } else if (LOWORD(wParam) == kTrayExitCommand) {
        PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
    }
}

void CMainWindow::OnIrrButton(int index) {
    if (index < kTabCount) {
        SwitchPage(index + 1);
    } else if (index < kTabCount + kProfileButtonCount) {
        SelectProfileButton(index - kTabCount);
    } else {
        // OK: the two entry checks, then the apply when none runs.
        macro_.CheckRepeatCount();
        if (store_->Profile().settings.wheelLines != -1) mainSet_.CheckScrollLines();
        RequestApply();
    }
}

void CMainWindow::RequestApply() {
    if (!applyWorker_) {
        // No mouse was opened, so nothing would ever answer: say so instead of waiting forever.
        notifier_->ShowInfo(MouseMissingText(UiChinese()));
        return;
    }
    if (applyWorker_->Request()) process_.progress->Show(Hwnd());
}

void CMainWindow::SwitchPage(int page) {
    const PageSwitch plan = PlanPageSwitch(page);
    if (plan.leaveMacroPage) {
        macro_.CloseCategoryMenu();
        if (macro_.Recording()) macro_.EndRecording();
    }
    for (int i = 0; i < kTabCount; ++i) irr_[i].SetHighlight(i + 1 == page);
    CSkinPage* pages[kTabCount] = {&mainSet_, &lighting_, &macro_, &stats_, &support_};
    if (page == 2) lighting_.LoadControls();
    for (int i = 0; i < kTabCount; ++i) ShowWindow(pages[i]->Hwnd(), plan.visible[i] ? SW_SHOW : SW_HIDE);
    for (int i = kTabCount; i < kIrrButtonCount; ++i) EnableWindow(irr_[i].Hwnd(), plan.profileAndOkEnabled);
    if (plan.refreshMainSettings) mainSet_.RefreshFromProfile();
    if (plan.refreshLighting) lighting_.Refresh();
}

void CMainWindow::SelectProfileButton(int slot) {
    for (int i = 0; i < kProfileButtonCount; ++i) irr_[kTabCount + i].SetHighlight(i == slot);
    store_->SelectProfile(slot);
    mainSet_.RefreshFromProfile();
    lighting_.Refresh();
}

void CMainWindow::ShowFromTray() {
    mainSet_.RefreshFromProfile();
    lighting_.Refresh();
    ShowWindow(Hwnd(), IsIconic(Hwnd()) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(Hwnd());
}

void CMainWindow::Hide() {
    macro_.CloseCategoryMenu();
    ShowWindow(Hwnd(), SW_HIDE);
    hooks_.ResetCapture();
}

void CMainWindow::OnTray(LPARAM event) {
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
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) return;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return;
    const auto* iface = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(data);
    if (!IsMouseNotice(U(iface->dbcc_name))) return;
    if (!link_) return;
    if (event == DBT_DEVICEARRIVAL) {
        if (arrival_.Active()) return;  // already trying
        arrival_.Begin();
        OnArrivalAttempt();
    } else {
        arrival_ = CArrivalRetry();
        KillTimer(Hwnd(), kArrivalTimer);
        link_->Close();
        hooks_.Remove();
        notifier_->ShowInfo(MouseMissingText(UiChinese()), InfoButtons::Ok, true);
        PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
    }
}

void CMainWindow::OnArrivalAttempt() {
    switch (arrival_.OnAttempt(link_->Open())) {
    case CArrivalRetry::Step::TryAgain:
        SetTimer(Hwnd(), kArrivalTimer, CArrivalRetry::kPeriodMs, nullptr);
        return;
    case CArrivalRetry::Step::Opened:
        KillTimer(Hwnd(), kArrivalTimer);
        ReadFirmwareVersion();
        hooks_.Install(Hwnd());
        notifier_->ShowInfo(MouseFoundText(UiChinese()), InfoButtons::Ok, true);
        return;
    case CArrivalRetry::Step::GiveUp:
        KillTimer(Hwnd(), kArrivalTimer);
        notifier_->ShowInfo(MouseMissingText(UiChinese()), InfoButtons::Ok, true);
        return;
    }
}

void CMainWindow::OnLanguageSwitch(WPARAM wParam, LPARAM lParam) {
    CLanguageIndexStore indexStore(*store_);
    const SwitchOutcome out = SwitchLanguage(LanguageTable(), PathText(process_.installDir), wParam, lParam,
                                             languageMenuOpen_, indexStore);
    if (out.closeMenu) languageMenuOpen_ = false;
    if (!out.handled) return;
    if (out.flagPicture) SetFlag(out.flagPicture);
    ApplyLanguageLooks();
    RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CMainWindow::SaveSimulatedMouse() {
    if (sim_ && process_.demo.stateFile) {
        sim_->SaveFile(std::filesystem::path(W(*process_.demo.stateFile)).string());
    }
}

void CMainWindow::ShutDown() {
    if (shutDown_) return;
    shutDown_ = true;
    // Closing from the tray while an apply runs: the progress dialog goes with the window.
    if (process_.progress) process_.progress->Close();
    // 1. Tray icon.
    if (trayAdded_) {
        Shell_NotifyIconW(NIM_DELETE, &tray_);
        trayAdded_ = false;
    }
    if (deviceNotify_) {
        UnregisterDeviceNotification(deviceNotify_);
        deviceNotify_ = nullptr;
    }
    hooks_.Remove();
    // 2. Pages, in order.
    mainSet_.Destroy();
    lighting_.Destroy();
    macro_.Destroy();
    stats_.Destroy();
    support_.Destroy();
    // 3.-5. Stop the workers and wait for them: a run in progress ends after its current step,
    // before the link it writes to goes away.
    if (applyWorker_) applyWorker_->Stop();
    if (process_.updateCheckEvent) process_.updateCheckEvent->Set();
    if (link_) link_->Close();
    SaveSimulatedMouse();
}

} // namespace n640::win
