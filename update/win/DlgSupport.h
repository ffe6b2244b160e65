#pragma once
// The support page: the driver and firmware versions, the update check, the maker's web site,
// import and export of a profile file and the restore of the defaults. A table of controls over
// the update check (UpdateCheck.h) and the support page's rules (SupportPage.h).

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "ui/controls/win/Page.h"
#include "update/HttpDownloader.h"
#include "update/UpdateCheck.h"

namespace n640::win {

class CServices;

class CDlgSupport : public CPage, private IUpdatePage, private IProgramStarter {
public:
    CDlgSupport();
    ~CDlgSupport() override;

    // The page at the main window's page area; starts the update-check worker on the services'
    // UpdateCheckEvent. The worker is stopped and joined when the page's window goes away.
    bool CreatePage(CServices& services, HWND parent, HBITMAP mainSheet);
    // The mouse's firmware version in decimal, empty when it was not read. Shown at the next paint.
    void SetFirmwareVersion(const std::u16string& text);
    const std::u16string& FirmwareVersion() const { return firmware_; }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintOver(HDC dc) override;

private:
    // IUpdatePage: timer 5 of the page.
    void StartCheckTimer(uint32_t periodMs) override;
    void StopCheckTimer() override;
    // IProgramStarter: the shell's "open".
    void StartProgram(const std::filesystem::path& program, std::u16string_view parameter) override;

    void UseLanguageSheets();
    void OnImport();
    void OnExport();
    void OnRestoreDefaults();
    void StopUpdateCheck();

    CServices* services_ = nullptr;
    HWND mainWindow_ = nullptr;
    std::u16string firmware_;
    std::optional<bool> sheetsChinese_;
    CFontHandle versionFont_;
    std::unique_ptr<CHttpDownloader> downloader_;
    std::unique_ptr<CUpdateCheck> check_;
};

} // namespace n640::win
