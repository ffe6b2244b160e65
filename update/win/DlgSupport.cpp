#include "update/win/DlgSupport.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <memory>

#include "app/MainWindowModel.h"
#include "app/win/Services.h"
#include "config/ProfileStore.h"
#include "i18n/UiLanguage.h"
#include "update/SupportPage.h"
#include "update/UpdateRules.h"

namespace n640::win {

namespace {

constexpr wchar_t kProfileFilter[] = L"CFG Files(*.cfg)\0*.cfg\0\0";

// Asks for a profile file with the system's dialog; empty when the user cancelled.
std::filesystem::path AskProfileFile(HWND owner, bool save) {
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kProfileFilter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = L"cfg";
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    return chosen ? std::filesystem::path(file) : std::filesystem::path();
}

} // namespace

CDlgSupport::CDlgSupport() = default;

CDlgSupport::~CDlgSupport() { StopUpdateCheck(); }

bool CDlgSupport::CreatePage(CServices& services, HWND parent, HBITMAP /*mainSheet*/) {
    services_ = &services;
    mainWindow_ = parent;
    PageArgs args;
    args.id = kSupportTemplateId;
    args.rect = kPageRect;
    args.skinDir = services.InstallDir() / L"skins";
    if (!CPage::CreatePage(parent, args)) return false;
    UseLanguageSheets();
    CreateControls(SupportControls());
    OnClick(kSupportUpdateButton, [this] {
        if (check_) check_->CheckForUpdate();
    });
    OnClick(kSupportWebButton, [] {
        const std::u16string site(kMakerWebSite);
        ShellExecuteW(nullptr, L"open", W(site), nullptr, nullptr, SW_SHOWMAXIMIZED);
    });
    OnClick(kSupportImportButton, [this] { OnImport(); });
    OnClick(kSupportExportButton, [this] { OnExport(); });
    OnClick(kSupportRestoreButton, [this] { OnRestoreDefaults(); });

    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(12, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    versionFont_.Reset(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH,
                                   L"MS Shell Dlg"));

    const UpdateFiles files = UpdateFilesIn(services.InstallDir());
    downloader_ = std::make_unique<CHttpDownloader>();
    UpdatePorts ports{*downloader_, services.Poster(), services.Notifier(), *this, *this, Hwnd(), mainWindow_,
                      services.Files()};
    check_ = std::make_unique<CUpdateCheck>(files, UpdateDescriptionAddress(ReadUpdateServer(files.serverSetting)),
                                            ports, services.UpdateCheckEvent());
    check_->SetFirmwareVersion(firmware_);
    check_->Start();
    return true;
}

void CDlgSupport::SetFirmwareVersion(const std::u16string& text) {
    firmware_ = text;
    if (check_) check_->SetFirmwareVersion(text);
}

void CDlgSupport::UseLanguageSheets() {
    const bool chinese = UiChinese();
    if (sheetsChinese_ == chinese) return;
    sheetsChinese_ = chinese;
    const std::filesystem::path dir = chinese ? SkinDir() / L"zh" : SkinDir();
    LoadSheets(dir / L"support_normal.bmp", dir / L"support_over.bmp", dir / L"support_down.bmp");
    Relayout();
}

void CDlgSupport::StartCheckTimer(uint32_t periodMs) { SetTimer(Hwnd(), kUpdateTimerId, periodMs, nullptr); }

void CDlgSupport::StopCheckTimer() { KillTimer(Hwnd(), kUpdateTimerId); }

void CDlgSupport::StartProgram(const std::filesystem::path& program, std::u16string_view parameter) {
    const std::wstring p(parameter.begin(), parameter.end());
    ShellExecuteW(nullptr, L"open", program.c_str(), p.c_str(), nullptr, SW_SHOWNORMAL);
}

void CDlgSupport::OnImport() {
    const std::filesystem::path file = AskProfileFile(Hwnd(), false);
    if (!file.empty()) services_->Store().ImportProfile(file);
}

void CDlgSupport::OnExport() {
    const std::filesystem::path file = AskProfileFile(Hwnd(), true);
    if (!file.empty()) services_->Store().ExportProfile(file);
}

void CDlgSupport::OnRestoreDefaults() {
    ConfirmRestoreDefaults(services_->Notifier(), services_->Poster(), mainWindow_, UiChinese());
}

void CDlgSupport::StopUpdateCheck() {
    if (check_) check_->Stop();
}

void CDlgSupport::PaintOver(HDC dc) {
    const HGDIOBJ oldFont = SelectObject(dc, versionFont_.Get());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, kVersionTextRgb);
    auto draw = [&](const std::u16string& text, const TextBox& box) {
        RECT r{box.x, box.y, box.x + box.width, box.y + box.height};
        DrawTextW(dc, W(text), -1, &r, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
    };
    draw(std::u16string(kDriverVersionText), kDriverVersionBox);
    draw(FirmwareVersionText(firmware_), kFirmwareVersionBox);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

LRESULT CDlgSupport::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kUpdatePassDone:
        if (check_) check_->OnPassDone(wParam, lParam);
        return 0;
    case WM_TIMER:
        if (wParam == kUpdateTimerId) {
            if (check_) check_->OnTimer();
            return 0;
        }
        break;
    case WM_SHOWWINDOW:
        if (wParam) UseLanguageSheets();
        break;
    case WM_PAINT:
        // A language switch repaints every page: the sheets follow it here.
        UseLanguageSheets();
        break;
    case WM_DESTROY:
        KillTimer(Hwnd(), kUpdateTimerId);
        StopUpdateCheck();
        break;
    default:
        break;
    }
    return CPage::OnMessage(message, wParam, lParam);
}

} // namespace n640::win
