#pragma once
// Ports of the HID link: the enumeration of HID interfaces and the handles opened on one of
// them. The Windows backend (SetupAPI and the HID class driver), the Linux backend (hidraw),
// the simulated mouse and test fakes implement them; CUSBDriver only talks to these.
//
// One result style throughout the link: a query that yields a value returns it as an optional
// (an opened handle as a pointer, null on failure), a command returns true when it succeeded,
// and the reason of a failure is read afterwards from the object's LastError().

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace n640 {

// USB vendor and product id of a HID interface.
struct HidIds {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    friend constexpr bool operator==(const HidIds&, const HidIds&) = default;
};

// One value capability of a report (what the HID parser reports per value field).
struct HidValueCap {
    uint16_t usagePage = 0;
    bool isRange = false;
    uint16_t usage = 0;      // the usage, or the first of the range
    uint16_t usageMax = 0;   // last usage of a range (equals usage when not a range)
    uint8_t reportId = 0;
    uint16_t reportCount = 0;
    uint16_t bitSize = 0;
};

// Result of a write of one output report.
enum class HidWriteStatus {
    Done,     // the report was written
    Pending,  // the system took the write but has not finished it: call WaitPendingWrite
    Failed,   // the write failed
};

// Why an open failed; the command-line tool turns AccessDenied into a hint about permissions.
enum class HidOpenError {
    None,
    NotFound,
    AccessDenied,
    Other,
};

// Why a call of the link failed: the text names the failed call and gives the system's reason
// ("write (output report): Broken pipe"); open is the kind of failure when the call was an open
// (None otherwise).
struct HidError {
    HidOpenError open = HidOpenError::None;
    std::string text;
};

enum class HidAccess {
    Read,
    Write,
};

// A handle opened on one HID interface. The read handle is used for GetFeature, the write
// handle for SetFeature and output reports.
class IHidHandle {
public:
    virtual ~IHidHandle() = default;
    // report[0] is the report id; len includes it.
    virtual bool SetFeature(const uint8_t* report, size_t len) = 0;
    // report[0] holds the report id on entry; the answer fills report[0..len).
    virtual bool GetFeature(uint8_t* report, size_t len) = 0;
    virtual HidWriteStatus Write(const uint8_t* report, size_t len) = 0;
    // After Pending: waits up to timeoutMs for the write to finish. True when it finished and
    // succeeded; false when it failed or did not finish in time (the write is then cancelled).
    virtual bool WaitPendingWrite(uint32_t timeoutMs) = 0;
    // The call of this handle that failed last and the system's reason, e.g.
    // "write (output report): Broken pipe"; empty when nothing failed or the backend cannot tell.
    virtual std::string LastError() const { return {}; }
};

// Enumeration of the present HID interfaces and the probes discovery needs.
class IHidEnumerator {
public:
    virtual ~IHidEnumerator() = default;
    // True when the backend can be used at all (checked once by CUSBDriver::Create).
    virtual bool Available() { return true; }
    // Paths of the present HID interfaces, in enumeration order.
    virtual std::vector<std::string> InterfacePaths() = 0;
    // Vendor and product id; nullopt when the interface cannot be probed.
    virtual std::optional<HidIds> Attributes(const std::string& path) = 0;
    // The feature value capabilities of the interface (at least the first ten, in the order the
    // parser lists them); nullopt when they cannot be had.
    virtual std::optional<std::vector<HidValueCap>> FeatureValueCaps(const std::string& path) = 0;
    // Opens the interface for reading or writing; null on failure, with the reason in LastError().
    virtual std::unique_ptr<IHidHandle> Open(const std::string& path, HidAccess access) = 0;
    // Why the most recent failed Open failed (open None when the backend cannot tell); kept until
    // the next failure. Callers serialise Open and LastError (CUSBDriver holds its lock).
    virtual HidError LastError() const { return {}; }
};

// Presence of the mouse in firmware-loader mode (a USB device with the loader's ids).
class ILoaderSearch {
public:
    virtual ~ILoaderSearch() = default;
    virtual bool LoaderPresent() = 0;
};

// The mouse as the HID link knows it: its USB ids, the vendor feature capability that carries
// its commands, and the USB ids of its firmware loader. Everything that looks for the mouse or
// names it uses these.
constexpr HidIds kMouseIds{0x3F1C, 0x5C21};
constexpr HidIds kLoaderIds{0x04D9, 0x8022};
constexpr uint16_t kVendorUsagePage = 0xFF01;
constexpr uint16_t kVendorFeatureUsage = 0x22;
constexpr uint16_t kMouseVendorId = kMouseIds.vendorId;
constexpr uint16_t kMouseProductId = kMouseIds.productId;
constexpr uint16_t kLoaderVendorId = kLoaderIds.vendorId;
constexpr uint16_t kLoaderProductId = kLoaderIds.productId;

// One id as four upper-case hex digits ("3F1C").
std::string HexId(uint16_t id);
// Vendor and product id as the tool shows them ("3F1C:5C21").
std::string IdsText(HidIds ids);

} // namespace n640
