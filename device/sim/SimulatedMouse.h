#pragma once
// The simulated mouse: a byte-level model of the mouse behind the HID ports. It shows the
// mouse's two HID interfaces (a boot mouse and the vendor interface) with real report
// descriptors, takes the vendor feature report and the output reports that follow a command,
// keeps what the mouse keeps, answers the firmware query, and can be made to misbehave. Tests,
// the command-line tool (--device sim[:STATEFILE]) and the driver's demo mode plug it in as the
// link's backend:
//
//     CSimulatedMouse mouse;              // optionally mouse.LoadFile(path)
//     CSimHidEnumerator hid(mouse);
//     CUSBDriver link(hid, clock);        // link.Open() finds the simulated mouse
//
// All members are thread-safe.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "device/HidPort.h"
#include "device/ReportSet.h"

namespace n640 {

// What the mouse keeps in its memory (and what SaveFile writes, after a header).
struct SimMemory {
    uint32_t keyMatrix[kKeyMatrixSlots];
    uint32_t ledColour;                       // 0x00BBGGRR
    uint8_t dpiTable[kDpiTableSize];
    uint8_t cycleColours[kCycleColoursSize];  // as received: R G B ×3, then zeros
    uint8_t effect[3];                        // mode, p, q
    uint8_t dpiLevelValue;
    uint8_t reportInterval;                   // ms
    uint8_t firmware[2];                      // version = firmware[0]·10 + firmware[1]
    uint8_t reserved;
    uint8_t macros[kMacroSlotCount][kMacroBlockSize];
};
static_assert(sizeof(SimMemory) == 3708);
static_assert(offsetof(SimMemory, ledColour) == 64);
static_assert(offsetof(SimMemory, dpiTable) == 68);
static_assert(offsetof(SimMemory, cycleColours) == 84);
static_assert(offsetof(SimMemory, effect) == 116);
static_assert(offsetof(SimMemory, dpiLevelValue) == 119);
static_assert(offsetof(SimMemory, reportInterval) == 120);
static_assert(offsetof(SimMemory, firmware) == 121);
static_assert(offsetof(SimMemory, macros) == 124);

// The simulated vendor interface's report id and feature report count.
constexpr uint8_t kSimReportId = 0x02;
constexpr uint16_t kSimFeatureReportCount = 8;

// The commands the simulated mouse can be made to fail, by the names the tools take for them.
struct SimFaultName {
    std::string_view name;
    uint8_t code;
};
extern const std::array<SimFaultName, 9> kSimFaultNames;
// The names in table order, separated by ", ".
std::string SimFaultNameList();
// What --fail-command and N640_SIM_FAIL take: one of the names, or a command code in decimal or
// 0x hex from 0 to 255. nullopt for anything else.
std::optional<uint8_t> ParseSimFault(std::string_view text);
std::optional<uint8_t> ParseSimFault(std::u16string_view text);

// The two report descriptors the simulated mouse shows.
const std::vector<uint8_t>& SimBootMouseDescriptor();
const std::vector<uint8_t>& SimVendorDescriptor();

class CSimulatedMouse {
public:
    enum class PendingWrites {
        Off,             // output reports are written at once
        CompleteInTime,  // each write is left pending and finishes within the wait for it
        NeverComplete,   // each write is left pending and never finishes (the report is lost)
    };

    CSimulatedMouse();  // factory memory, firmware version 17

    // What arrives over USB. report[0] is the report id.
    bool OnSetFeature(const uint8_t* report, size_t len);
    bool OnGetFeature(uint8_t* report, size_t len);
    HidWriteStatus OnOutput(const uint8_t* report, size_t len);
    bool OnWaitPending(uint32_t timeoutMs);

    // Misbehaviour.
    void FailCommand(uint8_t code);     // the feature report of this command fails from now on
    void ClearFailures();
    void SetPendingWrites(PendingWrites mode);
    void SetPlugged(bool plugged);       // unplugging ends every open handle
    bool Plugged() const;
    void SetLoaderMode(bool loader);     // shows only the firmware loader's ids
    bool LoaderMode() const;
    // Bumped on each unplug, so handles opened before it stay dead.
    uint64_t Generation() const;

    // Memory.
    SimMemory Memory() const;
    void SetMemory(const SimMemory& memory);
    void SetFirmwareVersion(uint8_t high, uint8_t low);
    // The memory as text (DescribeMemory of device/MemoryText.h).
    std::string Describe() const;
    // Keeps the memory between program runs. LoadFile leaves the memory alone when the file is
    // missing or is not a saved memory.
    bool SaveFile(const std::string& path) const;
    bool LoadFile(const std::string& path);

    // Commands received, in order, and what the mouse found wrong with what it was sent.
    std::vector<uint8_t> Commands() const;
    std::vector<std::string> ProtocolErrors() const;

private:
    void StoreData();
    void Error(std::string text);

    mutable std::mutex mutex_;
    SimMemory memory_{};
    std::set<uint8_t> failing_;
    PendingWrites pending_ = PendingWrites::Off;
    bool plugged_ = true;
    bool loader_ = false;
    uint64_t generation_ = 0;
    bool answerVersion_ = false;   // the last command was the firmware query
    uint8_t dataCommand_ = 0;      // command whose data is expected, 0 for none
    uint8_t dataSlot_ = 0;
    size_t dataExpected_ = 0;
    std::vector<uint8_t> data_;
    std::vector<uint8_t> commands_;
    std::vector<std::string> errors_;
};

// The simulated mouse's HID interfaces: paths "sim:0" (boot mouse) and "sim:1" (vendor).
class CSimHidEnumerator final : public IHidEnumerator {
public:
    explicit CSimHidEnumerator(CSimulatedMouse& mouse) : mouse_(mouse) {}
    std::vector<std::string> InterfacePaths() override;
    std::optional<HidIds> Attributes(const std::string& path) override;
    std::optional<std::vector<HidValueCap>> FeatureValueCaps(const std::string& path) override;
    std::unique_ptr<IHidHandle> Open(const std::string& path, HidAccess access) override;
    HidError LastError() const override { return lastError_; }

private:
    CSimulatedMouse& mouse_;
    HidError lastError_;
};

// Finds the simulated mouse when it is plugged in and in firmware-loader mode.
class CSimLoaderSearch final : public ILoaderSearch {
public:
    explicit CSimLoaderSearch(CSimulatedMouse& mouse) : mouse_(mouse) {}
    bool LoaderPresent() override { return mouse_.Plugged() && mouse_.LoaderMode(); }

private:
    CSimulatedMouse& mouse_;
};

} // namespace n640
