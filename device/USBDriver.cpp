#include "device/USBDriver.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace n640 {
namespace {

int Rank(HidOpenError e) {
    switch (e) {
    case HidOpenError::AccessDenied: return 3;
    case HidOpenError::Other: return 2;
    case HidOpenError::NotFound: return 1;
    case HidOpenError::None: break;
    }
    return 0;
}

} // namespace

bool IsMouseIds(HidIds ids) {
    return ids == kMouseIds;
}

std::optional<HidValueCap> CommandCapability(const std::vector<HidValueCap>& featureCaps) {
    const size_t examined = std::min(featureCaps.size(), kMaxFeatureValueCapsExamined);
    const auto end = featureCaps.begin() + static_cast<std::ptrdiff_t>(examined);
    const auto cap = std::find_if(featureCaps.begin(), end, [](const HidValueCap& c) {
        return c.usagePage == kVendorUsagePage && !c.isRange && c.usage == kVendorFeatureUsage;
    });
    if (cap == end) return std::nullopt;
    // Every feature report is built in the 255-byte request buffer: a longer report cannot be
    // the mouse's and would run past it.
    if (size_t{cap->reportCount} + 1 > kFeatureBufferSize) return std::nullopt;
    return *cap;
}

CUSBDriver::CUSBDriver(IHidEnumerator& hid, IClock& clock) : hid_(hid), clock_(clock) {}

CUSBDriver::~CUSBDriver() {
    std::lock_guard<std::mutex> lock(mutex_);
    CloseLocked();
}

bool CUSBDriver::Create() {
    return hid_.Available();
}

bool CUSBDriver::Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    CloseLocked();
    reply_.fill(0);
    lastError_ = {HidOpenError::NotFound, {}};
    for (const std::string& path : hid_.InterfacePaths()) {
        const std::optional<HidIds> ids = hid_.Attributes(path);
        if (!ids || !IsMouseIds(*ids)) continue;
        const std::optional<std::vector<HidValueCap>> caps = hid_.FeatureValueCaps(path);
        if (!caps) continue;
        const std::optional<HidValueCap> cap = CommandCapability(*caps);
        if (!cap) continue;
        std::unique_ptr<IHidHandle> read = hid_.Open(path, HidAccess::Read);
        if (!read) OpenFailed();
        std::unique_ptr<IHidHandle> write = hid_.Open(path, HidAccess::Write);
        if (!write) OpenFailed();
        if (!read || !write) continue;
        readHandle_ = std::move(read);
        writeHandle_ = std::move(write);
        reportId_ = cap->reportId;
        reportCount_ = cap->reportCount;
        lastError_ = {};
        return true;
    }
    return false;
}

void CUSBDriver::Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    CloseLocked();
}

void CUSBDriver::CloseLocked() {
    readHandle_.reset();
    writeHandle_.reset();
}

bool CUSBDriver::IsOpen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return readHandle_ && writeHandle_;
}

HidError CUSBDriver::LastError() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lastError_;
}

void CUSBDriver::OpenFailed() {
    HidError error = hid_.LastError();
    if (error.open == HidOpenError::None) error.open = HidOpenError::Other;  // failed without a reason
    // The most telling reason wins: access denied, then any other failure.
    if (Rank(error.open) > Rank(lastError_.open)) lastError_ = std::move(error);
}

bool CUSBDriver::Failed(const IHidHandle* handle, std::string what) {
    std::string reason = handle != nullptr ? handle->LastError() : std::string();
    lastError_.text = reason.empty() ? std::move(what) : std::move(reason);
    return false;
}

uint8_t CUSBDriver::ReportId() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return reportId_;
}

uint16_t CUSBDriver::ReportCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return reportCount_;
}

// --- transport primitives ---

bool CUSBDriver::SendFeature(const uint8_t* params, size_t len) {
    std::lock_guard<std::mutex> lock(mutex_);
    return SendFeatureLocked(params, len);
}

bool CUSBDriver::SendFeatureLocked(const uint8_t* params, size_t len) {
    if (!writeHandle_) return Failed(nullptr, "set feature report: the mouse is not open");
    // Parameters the report has no room for would be cut off silently: refuse them instead.
    if ((params == nullptr && len != 0) || len > reportCount_) {
        return Failed(nullptr, "set feature report: " + std::to_string(len) + " parameter bytes do not fit a report of " +
                                   std::to_string(reportCount_));
    }
    request_.fill(0);
    if (len != 0) std::memcpy(request_.data() + 1, params, len);
    request_[0] = reportId_;
    return writeHandle_->SetFeature(request_.data(), size_t{reportCount_} + 1) ||
           Failed(writeHandle_.get(), "set feature report failed");
}

bool CUSBDriver::ReadFeature(std::array<uint8_t, kFeatureBufferSize>& reply) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!readHandle_) return Failed(nullptr, "get feature report: the mouse is not open");
    reply_.fill(0);
    reply_[0] = reportId_;
    const bool ok = readHandle_->GetFeature(reply_.data(), size_t{reportCount_} + 1) ||
                    Failed(readHandle_.get(), "get feature report failed");
    reply = reply_;
    return ok;
}

bool CUSBDriver::WriteOne(const uint8_t* data, size_t len) {
    std::lock_guard<std::mutex> lock(mutex_);
    return WriteOneLocked(data, len);
}

bool CUSBDriver::WriteOneLocked(const uint8_t* data, size_t len) {
    if (!writeHandle_) return Failed(nullptr, "write (output report): the mouse is not open");
    if (data == nullptr || len == 0 || len > kOutputDataSize) {
        return Failed(nullptr, "write (output report): " + std::to_string(len) + " data bytes do not fit a report");
    }
    report_.fill(0);
    std::memcpy(report_.data() + 1, data, len);
    report_[0] = reportId_;
    const HidWriteStatus status = writeHandle_->Write(report_.data(), kOutputReportSize);
    clock_.Sleep(kWaitAfterOutput);
    return FinishWrite(status);
}

bool CUSBDriver::WriteBlock(const uint8_t* data, size_t len) {
    std::lock_guard<std::mutex> lock(mutex_);
    return WriteBlockLocked(data, len);
}

bool CUSBDriver::WriteBlockLocked(const uint8_t* data, size_t len) {
    if (data == nullptr || len % kOutputDataSize != 0) {
        return Failed(nullptr, "write (output reports): a block of " + std::to_string(len) + " bytes");
    }
    if (len == 0) return true;
    if (!writeHandle_) return Failed(nullptr, "write (output report): the mouse is not open");
    for (size_t offset = 0; offset < len; offset += kOutputDataSize) {
        std::memcpy(report_.data() + 1, data + offset, kOutputDataSize);
        clock_.Sleep(kWaitBeforeBlockReport);
        report_[0] = reportId_;
        const HidWriteStatus status = writeHandle_->Write(report_.data(), kOutputReportSize);
        clock_.Sleep(kWaitAfterOutput);
        if (!FinishWrite(status)) return false;
    }
    return true;
}

bool CUSBDriver::FinishWrite(HidWriteStatus status) {
    if (status == HidWriteStatus::Done) return true;
    if (status == HidWriteStatus::Pending) {
        return writeHandle_->WaitPendingWrite(kPendingWriteBound) ||
               Failed(writeHandle_.get(), "write (output report): it did not finish in " +
                                              std::to_string(kPendingWriteBound) + " ms");
    }
    return Failed(writeHandle_.get(), "write (output report) failed");
}

// --- the report set ---

bool CUSBDriver::CommandWithData(const uint8_t* params, size_t paramLen, uint32_t wait, const uint8_t* data,
                                 size_t len, bool block) {
    if (!SendFeatureLocked(params, paramLen)) return false;
    clock_.Sleep(wait);
    return block ? WriteBlockLocked(data, len) : WriteOneLocked(data, len);
}

bool CUSBDriver::SetReportInterval(int32_t interval) {
    const uint8_t params[] = {cmd::ReportInterval, ReportIntervalByte(interval)};
    return SendFeature(params, sizeof params);
}

bool CUSBDriver::SetCycleColours(const uint8_t* data, size_t len) {
    if (data == nullptr || len != kCycleColoursSize) return false;
    const uint8_t params[] = {cmd::CycleColours, 0x01, 0x00, 0x20};
    std::lock_guard<std::mutex> lock(mutex_);
    return CommandWithData(params, sizeof params, kWaitBeforeOneReport, data, len, false);
}

bool CUSBDriver::SetDpiLevelValue(uint8_t value) {
    const uint8_t params[] = {cmd::DpiLevelValue, 0x01, value};
    return SendFeature(params, sizeof params);
}

bool CUSBDriver::SetLedColour(uint32_t colour) {
    const std::array<uint8_t, 3> grb = LedColourBytes(colour);
    const uint8_t params[] = {cmd::LedColour, 0x01, grb[0], grb[1], grb[2]};
    return SendFeature(params, sizeof params);
}

bool CUSBDriver::SetLightEffect(const LightEffect& effect) {
    const uint8_t params[] = {cmd::LightEffect, 0x01, effect.mode, effect.p, effect.q};
    return SendFeature(params, sizeof params);
}

bool CUSBDriver::SetDpiTable(const uint8_t* data, size_t len) {
    if (data == nullptr || len != kDpiTableSize) return false;
    const uint8_t params[] = {cmd::DpiTable, 0x01, 0x07, 0x10};
    std::lock_guard<std::mutex> lock(mutex_);
    return CommandWithData(params, sizeof params, kWaitBeforeOneReport, data, len, false);
}

bool CUSBDriver::SetKeyMatrix(const uint8_t* data, size_t len) {
    if (data == nullptr || len != kKeyMatrixSize) return false;
    const uint8_t params[] = {cmd::KeyMatrix, 0x01, 0x00, 0x40};
    std::lock_guard<std::mutex> lock(mutex_);
    return CommandWithData(params, sizeof params, kWaitBeforeBlock, data, len, true);
}

uint32_t CUSBDriver::DownloadMacro(int slot, const MacroRecord& record) {
    const MacroBlock block = EncodeMacroBlock(record);
    const uint8_t params[] = {cmd::DownloadMacro, 0x01, static_cast<uint8_t>(slot), 0x00, 0x02};
    std::lock_guard<std::mutex> lock(mutex_);
    CommandWithData(params, sizeof params, kWaitBeforeBlock, block.bytes.data(), block.bytes.size(), true);
    return block.entries;
}

std::optional<int> CUSBDriver::GetFirmwareVersion() {
    const uint8_t params[] = {cmd::FirmwareVersion};
    std::lock_guard<std::mutex> lock(mutex_);
    if (!SendFeatureLocked(params, sizeof params)) return std::nullopt;
    clock_.Sleep(kWaitBeforeAnswer);
    if (!readHandle_) {
        Failed(nullptr, "get feature report: the mouse is not open");
        return std::nullopt;
    }
    reply_.fill(0);
    reply_[0] = reportId_;
    if (!readHandle_->GetFeature(reply_.data(), size_t{reportCount_} + 1)) {
        Failed(readHandle_.get(), "get feature report failed");
        return std::nullopt;
    }
    const std::optional<int> version = FirmwareVersionOf(reply_.data(), reply_.size());
    if (!version) Failed(nullptr, "get feature report: the answer holds no firmware version");
    return version;
}

} // namespace n640
