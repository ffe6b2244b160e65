#include "update/HttpDownloader.h"

#include <curl/curl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <unistd.h>

namespace n640 {

namespace {

struct Transfer {
    std::FILE* out = nullptr;
    bool writeFailed = false;
    const std::atomic<bool>* aborted = nullptr;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    if (std::fwrite(data, 1, bytes, t->out) != bytes) {
        t->writeFailed = true;
        return 0;  // ends the transfer
    }
    return bytes;
}

int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Transfer*>(user)->aborted->load() ? 1 : 0;
}

} // namespace

CHttpDownloader::CHttpDownloader(HttpDownloadLimits limits) : limits_(limits) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

CHttpDownloader::~CHttpDownloader() = default;

void CHttpDownloader::Abort() { aborted_.store(true); }

bool CHttpDownloader::Fetch(const std::string& url, const std::filesystem::path& temp) {
    Transfer t;
    t.aborted = &aborted_;
    t.out = std::fopen(temp.c_str(), "wb");
    if (t.out == nullptr) {
        error_ = "fopen " + temp.string() + ": " + std::strerror(errno);
        return false;
    }
    CURL* curl = curl_easy_init();
    if (curl == nullptr) {
        std::fclose(t.out);
        error_ = "curl_easy_init failed";
        return false;
    }
    char message[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits_.connectTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.totalTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, Progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &t);
    const CURLcode result = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);
    const bool flushed = std::fflush(t.out) == 0 && fsync(fileno(t.out)) == 0;
    const bool closed = std::fclose(t.out) == 0;
    if (result != CURLE_OK) {
        if (t.writeFailed) {
            error_ = "write " + temp.string() + " failed";
        } else if (result == CURLE_HTTP_RETURNED_ERROR) {
            error_ = "HTTP " + std::to_string(status);
        } else {
            error_ = std::string("curl: ") + (message[0] != 0 ? message : curl_easy_strerror(result));
        }
        return false;
    }
    if (status < 200 || status > 299) {
        error_ = "HTTP " + std::to_string(status);
        return false;
    }
    if (!flushed || !closed) {
        error_ = "write " + temp.string() + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace n640
