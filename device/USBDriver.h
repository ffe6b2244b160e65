#pragma once
// CUSBDriver: the one channel to the mouse. Finds it among the HID interfaces, opens a read and
// a write handle on it, and sends the nine commands of the mouse as feature reports followed,
// where a command carries data, by 33-byte output reports. Every fixed wait goes through the
// clock; every byte goes through the HID port, so the same code runs on Windows, on Linux and
// against the simulated mouse.
//
// Thread safety: one lock guards the request buffer and the handles and is held for the whole
// of each command (feature report, waits and data), so a firmware query on the user-interface
// thread never interleaves with an apply on the worker thread, and Close waits for a command
// in progress.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/HidPort.h"
#include "device/ReportSet.h"
#include "macro/MacroRecord.h"
#include "platform/Clock.h"

namespace n640 {

// Fixed waits of the link, in milliseconds.
constexpr uint32_t kWaitAfterOutput = 50;     // after every output report
constexpr uint32_t kWaitBeforeBlockReport = 50;
constexpr uint32_t kWaitBeforeOneReport = 50; // between a feature report and one output report
constexpr uint32_t kWaitBeforeBlock = 100;    // between a feature report and a block
constexpr uint32_t kWaitBeforeAnswer = 50;    // between the firmware query and its answer
constexpr uint32_t kPendingWriteBound = 1500; // longest wait for a write the system left pending
constexpr size_t kMaxFeatureValueCapsExamined = 10;

// The one test of which HID interface is the mouse's command channel. An interface qualifies
// when its ids are the mouse's and, among its first kMaxFeatureValueCapsExamined feature value
// capabilities, one is usage kVendorFeatureUsage of page kVendorUsagePage as a single usage (not
// a range) whose report fits the request buffer. Returns that capability, or nullopt.
std::optional<HidValueCap> CommandCapability(const std::vector<HidValueCap>& featureCaps);
bool IsMouseIds(HidIds ids);

class CUSBDriver {
public:
    // Neither port is owned; both must outlive the driver.
    CUSBDriver(IHidEnumerator& hid, IClock& clock);
    ~CUSBDriver();
    CUSBDriver(const CUSBDriver&) = delete;
    CUSBDriver& operator=(const CUSBDriver&) = delete;

    // Checks that the HID backend can be used; start-up does not search for the mouse without it.
    bool Create();
    // Discovery: closes the link, then opens the first interface that qualifies (IsMouseIds and
    // CommandCapability). True when both handles are open.
    bool Open();
    void Close();
    bool IsOpen() const;
    // Why the last call failed. open tells why the last Open failed: NotFound when no interface
    // qualified, AccessDenied when the mouse was found but the system refused to open it (other
    // open failures count as Other), None once an Open succeeded. text is what the last failed
    // call was and why: the port's text naming the system call and the system's reason
    // ("write (output report): Broken pipe"), or what the link itself refused. Each Open starts
    // the record over (an Open that fails leaves the text of its most telling open failure); the
    // record is kept across Close.
    HidError LastError() const;
    // Report id and report count of the capability found by the last successful Open.
    uint8_t ReportId() const;
    uint16_t ReportCount() const;

    // Transport primitives.
    // Sends a feature report whose bytes 1.. are params[0..len) (the rest zero); fails without
    // sending when len exceeds the report count.
    bool SendFeature(const uint8_t* params, size_t len);
    // Reads the feature report (reportCount + 1 bytes) into reply, the rest zero.
    bool ReadFeature(std::array<uint8_t, kFeatureBufferSize>& reply);
    // One output report of up to 32 data bytes, then a 50 ms wait.
    bool WriteOne(const uint8_t* data, size_t len);
    // A block, a multiple of 32 bytes, as output reports each between waits of 50 ms.
    bool WriteBlock(const uint8_t* data, size_t len);

    // The report set.
    bool SetReportInterval(int32_t interval);
    bool SetCycleColours(const uint8_t* data, size_t len);   // exactly 32 bytes
    bool SetDpiLevelValue(uint8_t value);
    bool SetLedColour(uint32_t colour);                      // 0x00BBGGRR
    bool SetLightEffect(const LightEffect& effect);
    bool SetDpiTable(const uint8_t* data, size_t len);       // exactly 16 bytes
    bool SetKeyMatrix(const uint8_t* data, size_t len);      // exactly 64 bytes
    // Encodes the macro and sends it to slot (1..7); returns the entries used (the transfer's
    // result is not part of the answer).
    uint32_t DownloadMacro(int slot, const MacroRecord& record);
    // Queries the firmware version (answer byte 2 · 10 + byte 3); nullopt on failure.
    std::optional<int> GetFirmwareVersion();

private:
    void CloseLocked();
    // Records why a call failed: the handle's own text, else what. Returns false.
    bool Failed(const IHidHandle* handle, std::string what);
    // Records why an open of an interface failed, when it tells more than what is recorded.
    void OpenFailed();
    bool SendFeatureLocked(const uint8_t* params, size_t len);
    bool WriteOneLocked(const uint8_t* data, size_t len);
    bool WriteBlockLocked(const uint8_t* data, size_t len);
    // After the write of one output report: waits for it when the system left it pending.
    bool FinishWrite(HidWriteStatus status);
    bool CommandWithData(const uint8_t* params, size_t paramLen, uint32_t wait, const uint8_t* data,
                         size_t len, bool block);

    IHidEnumerator& hid_;
    IClock& clock_;
    mutable std::mutex mutex_;
    std::unique_ptr<IHidHandle> readHandle_;
    std::unique_ptr<IHidHandle> writeHandle_;
    std::array<uint8_t, kFeatureBufferSize> request_{};
    std::array<uint8_t, kFeatureBufferSize> reply_{};
    std::array<uint8_t, kOutputReportSize> report_{};
    uint8_t reportId_ = 0;
    uint16_t reportCount_ = 0;
    HidError lastError_{HidOpenError::NotFound, {}};
};

} // namespace n640
