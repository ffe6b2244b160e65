#include "update/HttpDownloader.h"

#include <windows.h>
#include <winhttp.h>

#include <string>

namespace n640 {

namespace {

std::string CallFailed(const char* call) { return std::string(call) + ": error " + std::to_string(GetLastError()); }

class CInternetHandle {
public:
    explicit CInternetHandle(HINTERNET h = nullptr) : h_(h) {}
    ~CInternetHandle() {
        if (h_) WinHttpCloseHandle(h_);
    }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    HINTERNET Get() const { return h_; }
    HINTERNET Release() {
        HINTERNET h = h_;
        h_ = nullptr;
        return h;
    }

private:
    HINTERNET h_;
};

} // namespace

CHttpDownloader::CHttpDownloader(HttpDownloadLimits limits) : limits_(limits) {}

CHttpDownloader::~CHttpDownloader() = default;

void CHttpDownloader::Abort() {
    aborted_.store(true);
    // Closing the request handle ends a call that blocks on it at once.
    std::lock_guard<std::mutex> lock(mutex_);
    if (activeHandle_) {
        WinHttpCloseHandle(static_cast<HINTERNET>(activeHandle_));
        activeHandle_ = nullptr;
    }
}

bool CHttpDownloader::Fetch(const std::string& url, const std::filesystem::path& temp) {
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, url.data(), static_cast<int>(url.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, url.data(), static_cast<int>(url.size()), wide.data(), wideLength);

    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    wchar_t host[256] = {};
    wchar_t path[2048] = {};
    parts.lpszHostName = host;
    parts.dwHostNameLength = ARRAYSIZE(host);
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = ARRAYSIZE(path);
    parts.dwExtraInfoLength = 1;  // the query stays part of the path
    if (!WinHttpCrackUrl(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &parts)) {
        error_ = CallFailed("WinHttpCrackUrl");
        return false;
    }
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
        error_ = "not an http or https address";
        return false;
    }
    std::wstring object(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo && parts.dwExtraInfoLength > 0) object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (object.empty()) object = L"/";

    CInternetHandle session(WinHttpOpen(L"N640Driver/1.0", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                        WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session.Get()) {
        error_ = CallFailed("WinHttpOpen");
        return false;
    }
    const int connect = static_cast<int>(limits_.connectTimeoutMs);
    const int receive = limits_.totalTimeoutMs != 0 ? static_cast<int>(limits_.totalTimeoutMs) : 0;
    WinHttpSetTimeouts(session.Get(), connect, connect, receive, receive);
    CInternetHandle connection(WinHttpConnect(session.Get(), host, parts.nPort, 0));
    if (!connection.Get()) {
        error_ = CallFailed("WinHttpConnect");
        return false;
    }
    HINTERNET request = WinHttpOpenRequest(connection.Get(), L"GET", object.c_str(), nullptr, WINHTTP_NO_REFERER,
                                           WINHTTP_DEFAULT_ACCEPT_TYPES,
                                           parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
    if (!request) {
        error_ = CallFailed("WinHttpOpenRequest");
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (aborted_.load()) {
            WinHttpCloseHandle(request);
            error_ = "download aborted";
            return false;
        }
        activeHandle_ = request;
    }
    // From here the request handle belongs to activeHandle_: an abort may close it at any time.
    auto finish = [&](bool result) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (activeHandle_) {
            WinHttpCloseHandle(static_cast<HINTERNET>(activeHandle_));
            activeHandle_ = nullptr;
        }
        return result;
    };

    if (!WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
        error_ = CallFailed("WinHttpSendRequest");
        return finish(false);
    }
    if (!WinHttpReceiveResponse(request, nullptr)) {
        error_ = CallFailed("WinHttpReceiveResponse");
        return finish(false);
    }
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                             &status, &size, WINHTTP_NO_HEADER_INDEX)) {
        error_ = CallFailed("WinHttpQueryHeaders");
        return finish(false);
    }
    if (status < 200 || status > 299) {
        error_ = "HTTP " + std::to_string(status);
        return finish(false);
    }
    // A Content-Length that the body does not reach is a short answer.
    DWORD announced = 0;
    size = sizeof announced;
    const bool hasLength =
        WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &announced, &size, WINHTTP_NO_HEADER_INDEX) != FALSE;

    HANDLE out = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        error_ = CallFailed("CreateFileW");
        return finish(false);
    }
    char buffer[16384];
    unsigned long long total = 0;
    bool ok = true;
    for (;;) {
        if (aborted_.load()) {
            error_ = "download aborted";
            ok = false;
            break;
        }
        DWORD got = 0;
        if (!WinHttpReadData(request, buffer, sizeof buffer, &got)) {
            error_ = CallFailed("WinHttpReadData");
            ok = false;
            break;
        }
        if (got == 0) break;
        DWORD written = 0;
        if (!WriteFile(out, buffer, got, &written, nullptr) || written != got) {
            error_ = CallFailed("WriteFile");
            ok = false;
            break;
        }
        total += got;
    }
    if (ok && hasLength && total != announced) {
        error_ = "short answer: " + std::to_string(total) + " of " + std::to_string(announced) + " bytes";
        ok = false;
    }
    if (ok && !FlushFileBuffers(out)) {
        error_ = CallFailed("FlushFileBuffers");
        ok = false;
    }
    CloseHandle(out);
    return finish(ok);
}

} // namespace n640
