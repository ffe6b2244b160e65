#pragma once
// The download port over HTTP: WinHTTP on Windows, libcurl elsewhere. The answer is written to a
// temporary file beside the target, which takes the target's place only when the whole body of a
// 2xx answer arrived; anything else (no connection, a 404, a time-out, an abort, a short body, a
// full disk) leaves the target as it was and removes the temporary file.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>

#include "update/UpdateCheck.h"

namespace n640 {

struct HttpDownloadLimits {
    uint32_t connectTimeoutMs = 10000;
    uint32_t totalTimeoutMs = 120000;  // 0: no limit on the whole transfer
};

class CHttpDownloader final : public IDownloader {
public:
    explicit CHttpDownloader(HttpDownloadLimits limits = {});
    ~CHttpDownloader() override;
    CHttpDownloader(const CHttpDownloader&) = delete;
    CHttpDownloader& operator=(const CHttpDownloader&) = delete;

    bool Download(std::u16string_view address, const std::filesystem::path& file) override;
    void Abort() override;

    // Why the last download failed, naming the failed call ("WinHttpSendRequest: error 12029",
    // "curl: Couldn't connect to server", "HTTP 404"); empty after a success. Read it on the thread
    // that downloads.
    const std::string& LastError() const { return error_; }

private:
    bool Fetch(const std::string& url, const std::filesystem::path& temp);

    HttpDownloadLimits limits_;
    std::atomic<bool> aborted_{false};
    std::mutex mutex_;          // guards the handle an abort closes
    void* activeHandle_ = nullptr;
    std::string error_;
};

} // namespace n640
