#pragma once
// The firmware update check of the support page: CheckForUpdate, the UpdateCheckWorker thread and
// the page's 2-second timer (timer 5), over ports so that the same logic runs in the driver and in
// the tests.
//
// Threads. Everything but the downloads runs on the user-interface thread: the page's timer, the
// firmware version text, the new firmware address, the update description's document, the message
// boxes and the hand-over to the flashing tool. The worker thread only downloads: it sleeps on the
// UpdateCheckEvent, takes the one pending request, fetches it and posts kUpdatePassDone to the page
// with the request's pass number. The page hands that message to OnPassDone, which decides on the
// user-interface thread whether the answer still counts, so the race of the timer and the answer at
// the 2000 ms mark is settled in one place: whichever the page sees first wins, and a late answer
// is dropped by its pass number.
//
// Close. Stop clears UpdateRun, aborts a download in progress, signals the event and joins the
// worker; the page calls it when its window goes away.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "i18n/XmlDocument.h"
#include "platform/File.h"
#include "platform/ManualResetEvent.h"
#include "platform/Notifier.h"
#include "platform/Poster.h"
#include "update/UpdateRules.h"

namespace n640 {

constexpr uint32_t kUpdateTimerId = 5;
constexpr uint32_t kUpdateTimerMs = 2000;
// Worker -> support page: a download ended. wParam the pass number, lParam 1 success, 0 failure.
constexpr uint32_t kUpdatePassDone = 0x8000 + 0x185;  // in the application's range (WM_APP + n)
constexpr uint32_t kCloseWindowMessage = 0x0010;     // WM_CLOSE

// The download port. Implementations write the answer to a temporary file beside `file` and put it
// in the place of `file` only when the whole answer arrived with a success status; on any failure
// `file` keeps what it held and false is returned. Called on the worker thread.
class IDownloader {
public:
    virtual ~IDownloader() = default;
    virtual bool Download(std::u16string_view address, const std::filesystem::path& file) = 0;
    // From another thread, at close: the download in progress, and every later one, fails soon.
    virtual void Abort() = 0;
};

// Fetches a firmware image: the address must pass IsDownloadAddress, the answer goes to a staging
// file beside image and takes its place only when it arrived whole and matches the description's
// sha256 (when it has one); otherwise the staging file is removed and image keeps what it held.
bool DownloadFirmwareImage(IDownloader& downloader, IFiles& files, std::u16string_view address,
                           std::u16string_view sha256, const std::filesystem::path& image);

// The support page's window as the update check needs it (user-interface thread).
class IUpdatePage {
public:
    virtual ~IUpdatePage() = default;
    virtual void StartCheckTimer(uint32_t periodMs) = 0;  // timer 5
    virtual void StopCheckTimer() = 0;
};

// Starts a program with the shell's "open" verb, one parameter, no working directory, shown
// normally. The result is not checked.
class IProgramStarter {
public:
    virtual ~IProgramStarter() = default;
    virtual void StartProgram(const std::filesystem::path& program, std::u16string_view parameter) = 0;
};

struct UpdatePorts {
    IDownloader& downloader;  // worker thread
    IPoster& poster;          // the worker's kUpdatePassDone, the close request to the main window
    INotifier& notifier;
    IUpdatePage& page;
    IProgramStarter& starter;
    WindowRef pageWindow = nullptr;
    WindowRef mainWindow = nullptr;
    IFiles& files = CSystemFiles::Instance();
};

class CUpdateCheck {
public:
    // files: where the description, the image and the tool live; descriptionAddress: the URL the
    // description is fetched from; event: the process-wide UpdateCheckEvent. All must outlive this.
    CUpdateCheck(const UpdateFiles& files, std::u16string descriptionAddress, const UpdatePorts& ports,
                 CManualResetEvent& event);
    ~CUpdateCheck();  // Stop
    CUpdateCheck(const CUpdateCheck&) = delete;
    CUpdateCheck& operator=(const CUpdateCheck&) = delete;

    // Starts the worker thread (once).
    void Start();
    // Clears UpdateRun, aborts a running download, signals the event and joins the worker.
    void Stop();

    // ---- user-interface thread ----
    void SetFirmwareVersion(std::u16string text) { firmwareVersion_ = std::move(text); }
    const std::u16string& FirmwareVersion() const { return firmwareVersion_; }
    const std::u16string& NewFirmwareAddress() const { return newFirmwareAddress_; }
    // UpdateIdle: no check is in progress.
    bool Idle() const { return idle_; }

    // The update button.
    void CheckForUpdate();
    // Timer 5: the server did not answer in time.
    void OnTimer();
    // kUpdatePassDone from the worker.
    void OnPassDone(uintptr_t wParam, intptr_t lParam);

private:
    enum class Awaiting { Nothing, Description, Image };
    struct Request {
        uint32_t pass = 0;
        Awaiting kind = Awaiting::Nothing;
        std::u16string address;
        std::u16string sha256;
    };

    void Queue(Awaiting kind, std::u16string address, std::u16string sha256);
    // The question was answered OK: fetch the image (address and digest rules first), or, when
    // usable is set and a valid image is already in place, hand over at once.
    void OfferImage(const UpdateDescription& description, bool imageMayBeInPlace);
    void StartFlashingTool();
    void ShowUpToDate();
    void ShowDownloadFailed();

    void ThreadMain();
    bool Perform(const Request& request);

    UpdateFiles files_;
    std::u16string descriptionAddress_;
    UpdatePorts ports_;
    CManualResetEvent& event_;

    // user-interface thread only
    std::u16string firmwareVersion_;
    std::u16string newFirmwareAddress_;
    std::u16string newFirmwareSha256_;
    CXmlDocument document_;  // the update check's own document, never shared with the language table
    bool idle_ = true;
    Awaiting awaiting_ = Awaiting::Nothing;
    uint32_t awaitedPass_ = 0;
    uint32_t lastPass_ = 0;

    // shared with the worker
    std::mutex mutex_;
    std::optional<Request> pending_;
    std::atomic<bool> run_{true};
    std::thread thread_;
};

} // namespace n640
