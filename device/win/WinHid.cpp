#include "device/win/WinHid.h"

#include <windows.h>
#include <setupapi.h>
// The MinGW HID headers declare C functions without a C++ guard.
extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}

#include <string>
#include <vector>

#include "device/PlatformHid.h"
#include "device/USBDriver.h"
#include "device/win/DeviceIds.h"
#include "platform/Text.h"

namespace n640 {
namespace {

std::wstring Wide(const std::string& utf8) {
    const std::u16string text = Utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

std::string Narrow(const wchar_t* text) {
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text)));
}

// A handle closed when it goes out of scope.
class CWinHandle {
public:
    explicit CWinHandle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~CWinHandle() { Reset(); }
    CWinHandle(const CWinHandle&) = delete;
    CWinHandle& operator=(const CWinHandle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    void Reset() {
        if (valid()) CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE h_;
};

// "The device is not connected. (error 1167)".
std::string SystemErrorText(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::string result = n != 0 && text != nullptr ? Narrow(text) : std::string();
    if (text != nullptr) LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' ')) result.pop_back();
    if (!result.empty()) result += " ";
    return result + "(error " + std::to_string(code) + ")";
}

HANDLE OpenProbe(const std::string& path) {
    return CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

class CWinHidHandle final : public IHidHandle {
public:
    explicit CWinHidHandle(HANDLE h) : handle_(h), event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~CWinHidHandle() override {
        if (pending_) Cancel();
    }
    bool ok() const { return event_.get() != nullptr; }

    bool SetFeature(const uint8_t* report, size_t len) override {
        std::vector<uint8_t> buffer(report, report + len);
        return HidD_SetFeature(handle_.get(), buffer.data(), static_cast<ULONG>(len)) != FALSE ||
               Fail("HidD_SetFeature");
    }
    bool GetFeature(uint8_t* report, size_t len) override {
        return HidD_GetFeature(handle_.get(), report, static_cast<ULONG>(len)) != FALSE || Fail("HidD_GetFeature");
    }
    HidWriteStatus Write(const uint8_t* report, size_t len) override {
        if (pending_ || len > sizeof buffer_) {
            lastError_ = pending_ ? "WriteFile (output report): a write is still pending"
                                  : "WriteFile (output report): a report of " + std::to_string(len) + " bytes is refused";
            return HidWriteStatus::Failed;
        }
        // The system may read the buffer until the write finishes: it must outlive the call.
        std::copy(report, report + len, buffer_);
        overlapped_ = OVERLAPPED{};
        overlapped_.hEvent = event_.get();
        ResetEvent(event_.get());
        DWORD written = 0;
        if (WriteFile(handle_.get(), buffer_, static_cast<DWORD>(len), &written, &overlapped_))
            return HidWriteStatus::Done;
        if (GetLastError() == ERROR_IO_PENDING) {
            pending_ = true;
            return HidWriteStatus::Pending;
        }
        Fail("WriteFile (output report)");
        return HidWriteStatus::Failed;
    }
    bool WaitPendingWrite(uint32_t timeoutMs) override {
        if (!pending_) {
            lastError_ = "wait for a pending write: no write is pending";
            return false;
        }
        DWORD written = 0;
        if (WaitForSingleObject(event_.get(), timeoutMs) == WAIT_OBJECT_0) {
            pending_ = false;
            ResetEvent(event_.get());
            return GetOverlappedResult(handle_.get(), &overlapped_, &written, FALSE) != FALSE ||
                   Fail("GetOverlappedResult (output report)");
        }
        Cancel();
        lastError_ = "WaitForSingleObject (output report): the write did not finish in " + std::to_string(timeoutMs) +
                     " ms and was cancelled";
        return false;
    }
    std::string LastError() const override { return lastError_; }

private:
    // Records the failed call with GetLastError and its system text.
    bool Fail(const char* call) {
        const DWORD code = GetLastError();
        lastError_ = std::string(call) + ": " + SystemErrorText(code);
        return false;
    }

    // Cancels the write in flight and waits until the system has let go of the buffer.
    void Cancel() {
        CancelIo(handle_.get());
        DWORD written = 0;
        GetOverlappedResult(handle_.get(), &overlapped_, &written, TRUE);
        ResetEvent(event_.get());
        pending_ = false;
    }

    CWinHandle handle_;
    CWinHandle event_;
    OVERLAPPED overlapped_{};
    uint8_t buffer_[kOutputReportSize]{};
    bool pending_ = false;
    std::string lastError_;
};

} // namespace

std::vector<std::string> CWinHidEnumerator::InterfacePaths() {
    std::vector<std::string> paths;
    GUID guid;
    HidD_GetHidGuid(&guid);
    HDEVINFO set = SetupDiGetClassDevsW(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) return paths;
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    for (DWORD index = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &guid, index, &data); ++index) {
        DWORD needed = 0;
        SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &needed, nullptr);
        if (needed < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
        std::vector<uint8_t> storage(needed + sizeof(wchar_t));
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (SetupDiGetDeviceInterfaceDetailW(set, &data, detail, needed, nullptr, nullptr))
            paths.push_back(Narrow(detail->DevicePath));
    }
    SetupDiDestroyDeviceInfoList(set);
    return paths;
}

std::optional<HidIds> CWinHidEnumerator::Attributes(const std::string& path) {
    CWinHandle probe(OpenProbe(path));
    if (!probe.valid()) return std::nullopt;
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof attributes;
    if (!HidD_GetAttributes(probe.get(), &attributes)) return std::nullopt;
    return HidIds{attributes.VendorID, attributes.ProductID};
}

std::optional<std::vector<HidValueCap>> CWinHidEnumerator::FeatureValueCaps(const std::string& path) {
    CWinHandle probe(OpenProbe(path));
    if (!probe.valid()) return std::nullopt;
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (!HidD_GetPreparsedData(probe.get(), &preparsed) || preparsed == nullptr) return std::nullopt;
    std::optional<std::vector<HidValueCap>> result;
    HIDP_CAPS caps{};
    if (HidP_GetCaps(preparsed, &caps) != HIDP_STATUS_INVALID_PREPARSED_DATA) {
        HIDP_VALUE_CAPS values[kMaxFeatureValueCapsExamined]{};
        USHORT count = static_cast<USHORT>(
            caps.NumberFeatureValueCaps < kMaxFeatureValueCapsExamined ? caps.NumberFeatureValueCaps
                                                                       : kMaxFeatureValueCapsExamined);
        if (count != 0 &&
            HidP_GetSpecificValueCaps(HidP_Feature, 0, 0, 0, values, &count, preparsed) !=
                HIDP_STATUS_INVALID_PREPARSED_DATA) {
            std::vector<HidValueCap> list;
            for (USHORT i = 0; i < count && i < kMaxFeatureValueCapsExamined; ++i) {
                HidValueCap cap;
                cap.usagePage = values[i].UsagePage;
                cap.isRange = values[i].IsRange != FALSE;
                cap.usage = cap.isRange ? values[i].Range.UsageMin : values[i].NotRange.Usage;
                cap.usageMax = cap.isRange ? values[i].Range.UsageMax : values[i].NotRange.Usage;
                cap.reportId = values[i].ReportID;
                cap.reportCount = values[i].ReportCount;
                cap.bitSize = values[i].BitSize;
                list.push_back(cap);
            }
            result = std::move(list);
        }
    }
    HidD_FreePreparsedData(preparsed);
    return result;
}

std::unique_ptr<IHidHandle> CWinHidEnumerator::Open(const std::string& path, HidAccess access) {
    const HANDLE h = CreateFileW(Wide(path).c_str(), access == HidAccess::Read ? GENERIC_READ : GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                                 nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        const HidOpenError kind = code == ERROR_ACCESS_DENIED ? HidOpenError::AccessDenied
                                : (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) ? HidOpenError::NotFound
                                                                                                  : HidOpenError::Other;
        lastError_ = {kind, "CreateFileW: " + SystemErrorText(code)};
        return nullptr;
    }
    auto handle = std::make_unique<CWinHidHandle>(h);
    if (!handle->ok()) {
        lastError_ = {HidOpenError::Other, "CreateEventW: " + SystemErrorText(GetLastError())};
        return nullptr;
    }
    return handle;
}

bool CWinLoaderSearch::LoaderPresent() {
    HDEVINFO set = SetupDiGetClassDevsW(nullptr, L"USB", nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
    if (set == INVALID_HANDLE_VALUE) return false;
    bool found = false;
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    for (DWORD index = 0; !found && SetupDiEnumDeviceInfo(set, index, &info); ++index) {
        DWORD needed = 0;
        SetupDiGetDeviceRegistryPropertyW(set, &info, SPDRP_HARDWAREID, nullptr, nullptr, 0, &needed);
        if (needed == 0) continue;
        // Two spare wide characters keep the multi-string terminated whatever the registry holds.
        std::vector<wchar_t> ids(needed / sizeof(wchar_t) + 2, L'\0');
        if (!SetupDiGetDeviceRegistryPropertyW(set, &info, SPDRP_HARDWAREID, nullptr,
                                               reinterpret_cast<PBYTE>(ids.data()), needed, nullptr))
            continue;
        for (const wchar_t* id = ids.data(); *id != L'\0' && !found; id += wcslen(id) + 1)
            found = IsLoaderHardwareId(Narrow(id));
    }
    SetupDiDestroyDeviceInfoList(set);
    return found;
}

std::unique_ptr<IHidEnumerator> MakePlatformHidEnumerator() {
    return std::make_unique<CWinHidEnumerator>();
}

std::unique_ptr<ILoaderSearch> MakePlatformLoaderSearch() {
    return std::make_unique<CWinLoaderSearch>();
}

} // namespace n640
