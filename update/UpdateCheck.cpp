#include "update/UpdateCheck.h"

#include <utility>

#include "i18n/FileBytes.h"
#include "i18n/UiLanguage.h"

namespace n640 {

namespace {

std::filesystem::path StagingFileFor(const std::filesystem::path& image) {
    std::filesystem::path staging = image;
    staging += ".download";
    return staging;
}

} // namespace

bool DownloadFirmwareImage(IDownloader& downloader, IFiles& files, std::u16string_view address,
                           std::u16string_view sha256, const std::filesystem::path& image) {
    if (!IsDownloadAddress(address)) return false;
    files.CreateDirectories(image.parent_path());
    const std::filesystem::path staging = StagingFileFor(image);
    if (!downloader.Download(address, staging)) return false;
    std::string bytes;
    std::u16string error;
    bool usable = ReadFileBytes(staging.u16string(), bytes, error) && CheckImage(sha256, bytes) != ImageCheck::Mismatch;
    if (usable) usable = files.Replace(staging, image) == FileStatus::Ok;
    if (!usable) files.Remove(staging);
    return usable;
}

CUpdateCheck::CUpdateCheck(const UpdateFiles& files, std::u16string descriptionAddress, const UpdatePorts& ports,
                           CManualResetEvent& event)
    : files_(files), descriptionAddress_(std::move(descriptionAddress)), ports_(ports), event_(event) {}

CUpdateCheck::~CUpdateCheck() { Stop(); }

void CUpdateCheck::Start() {
    if (thread_.joinable() || !run_.load()) return;
    thread_ = std::thread([this] { ThreadMain(); });
}

void CUpdateCheck::Stop() {
    run_.store(false);
    ports_.downloader.Abort();
    event_.Set();
    if (thread_.joinable()) thread_.join();
}

// ---- user-interface thread ------------------------------------------------------------------

void CUpdateCheck::CheckForUpdate() {
    if (!idle_) return;
    idle_ = false;
    const UpdateDescription stored = ReadUpdateDescription(document_, files_.description);
    if (IsNewerVersion(stored.current, firmwareVersion_)) {
        // Found by an earlier check: ask at once, without going online.
        if (ports_.notifier.ShowInfo(UpdateQuestionText(UiChinese()), InfoButtons::OkCancel, false) == kInfoOk) {
            OfferImage(stored, true);
            return;
        }
        idle_ = true;
        return;
    }
    ports_.page.StartCheckTimer(kUpdateTimerMs);
    Queue(Awaiting::Description, descriptionAddress_, {});
}

void CUpdateCheck::OnTimer() {
    ports_.page.StopCheckTimer();
    if (awaiting_ != Awaiting::Description) return;
    // Give up on this pass: a request the worker has not taken yet is withdrawn, an answer that
    // still comes is dropped by its pass number.
    event_.Reset();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_.reset();
    }
    awaiting_ = Awaiting::Nothing;
    awaitedPass_ = 0;
    idle_ = true;
    ShowUpToDate();
}

void CUpdateCheck::OnPassDone(uintptr_t wParam, intptr_t lParam) {
    const auto pass = static_cast<uint32_t>(wParam);
    if (awaiting_ == Awaiting::Nothing || pass != awaitedPass_) return;  // an abandoned pass
    const Awaiting kind = awaiting_;
    const bool succeeded = lParam != 0;
    awaiting_ = Awaiting::Nothing;
    awaitedPass_ = 0;
    if (kind == Awaiting::Description) {
        ports_.page.StopCheckTimer();
        if (succeeded) {
            const UpdateDescription online = ReadUpdateDescription(document_, files_.description);
            newFirmwareAddress_ = online.newfile;
            newFirmwareSha256_ = online.sha256;
            if (IsNewerVersion(online.current, firmwareVersion_)) {
                if (ports_.notifier.ShowInfo(UpdateQuestionText(UiChinese()), InfoButtons::OkCancel, false) ==
                    kInfoOk) {
                    OfferImage(online, false);
                    return;
                }
                idle_ = true;
                return;
            }
        }
        idle_ = true;
        ShowUpToDate();
        return;
    }
    idle_ = true;
    if (succeeded) {
        StartFlashingTool();
    } else {
        ShowDownloadFailed();
    }
}

void CUpdateCheck::OfferImage(const UpdateDescription& description, bool imageMayBeInPlace) {
    if (imageMayBeInPlace && ports_.files.Exists(files_.image)) {
        std::string bytes;
        std::u16string error;
        if (ReadFileBytes(files_.image.u16string(), bytes, error) &&
            CheckImage(description.sha256, bytes) != ImageCheck::Mismatch) {
            idle_ = true;
            StartFlashingTool();
            return;
        }
    }
    if (!IsDownloadAddress(description.newfile)) {
        idle_ = true;
        ShowDownloadFailed();
        return;
    }
    Queue(Awaiting::Image, description.newfile, description.sha256);
}

void CUpdateCheck::Queue(Awaiting kind, std::u16string address, std::u16string sha256) {
    awaiting_ = kind;
    awaitedPass_ = ++lastPass_;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_ = Request{awaitedPass_, kind, std::move(address), std::move(sha256)};
    }
    event_.Set();
}

void CUpdateCheck::StartFlashingTool() {
    ports_.starter.StartProgram(files_.tool, FlashingToolParameter(UiChinese()));
    ports_.poster.Post(ports_.mainWindow, kCloseWindowMessage, 0, 0);
}

void CUpdateCheck::ShowUpToDate() { ports_.notifier.ShowInfo(UpToDateText(UiChinese()), InfoButtons::Ok, false); }

void CUpdateCheck::ShowDownloadFailed() {
    ports_.notifier.ShowInfo(DownloadFailedText(UiChinese()), InfoButtons::Ok, false);
}

// ---- worker thread --------------------------------------------------------------------------

void CUpdateCheck::ThreadMain() {
    while (run_.load()) {
        event_.Wait();
        if (!run_.load()) break;
        event_.Reset();
        std::optional<Request> request;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            request.swap(pending_);
        }
        if (!request) continue;
        const bool succeeded = Perform(*request);
        if (!run_.load()) break;
        ports_.poster.Post(ports_.pageWindow, kUpdatePassDone, request->pass, succeeded ? 1 : 0);
    }
}

bool CUpdateCheck::Perform(const Request& request) {
    if (request.kind == Awaiting::Image)
        return DownloadFirmwareImage(ports_.downloader, ports_.files, request.address, request.sha256, files_.image);
    ports_.files.CreateDirectories(files_.description.parent_path());
    return ports_.downloader.Download(request.address, files_.description);
}

} // namespace n640
