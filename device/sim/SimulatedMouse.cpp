#include "device/sim/SimulatedMouse.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "device/HidDescriptor.h"
#include "device/MemoryText.h"
#include "functions/FunctionModel.h"

namespace n640 {
namespace {

constexpr char kMemoryFileMagic[8] = {'N', '6', '4', '0', 'S', 'I', 'M', '1'};
constexpr size_t kFeatureLength = size_t{kSimFeatureReportCount} + 1;

std::string CommandName(uint8_t code) { return "command " + HexText(code, 2); }

SimMemory FactoryMemory() {
    SimMemory m{};
    // Each input's default code in its slot, slot 3 fixed, the rest empty.
    for (const InputInfo& input : kInputs) m.keyMatrix[input.matrixSlot] = input.defaultCode;
    m.keyMatrix[3] = kKeyMatrixSlot3;
    const int32_t dpi[7] = {1000, 2000, 3000, 0, 0, 0, 0};
    const DpiGroup group = MakeDpiGroup(dpi);
    const auto table = DpiTableData(group);
    std::copy(table.begin(), table.end(), m.dpiTable);
    m.dpiLevelValue = DpiLevelValueOf(group);
    m.ledColour = 0x000000FF;
    m.effect[0] = 1;
    m.effect[1] = 255;
    m.effect[2] = 1;
    m.reportInterval = 1;
    m.firmware[0] = 1;
    m.firmware[1] = 7;
    return m;
}

} // namespace

const std::array<SimFaultName, 9> kSimFaultNames = {{
    {"report-interval", cmd::ReportInterval},
    {"cycle-colours", cmd::CycleColours},
    {"dpi-level", cmd::DpiLevelValue},
    {"led-colour", cmd::LedColour},
    {"light-effect", cmd::LightEffect},
    {"dpi-table", cmd::DpiTable},
    {"key-matrix", cmd::KeyMatrix},
    {"macro", cmd::DownloadMacro},
    {"firmware", cmd::FirmwareVersion},
}};

std::string SimFaultNameList() {
    std::string text;
    for (const SimFaultName& f : kSimFaultNames) text.append(text.empty() ? "" : ", ").append(f.name);
    return text;
}

std::optional<uint8_t> ParseSimFault(std::string_view text) {
    for (const SimFaultName& f : kSimFaultNames) {
        if (f.name == text) return f.code;
    }
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (hex) text.remove_prefix(2);
    if (text.empty()) return std::nullopt;
    unsigned value = 0;
    for (const char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return std::nullopt;
        value = value * (hex ? 16 : 10) + static_cast<unsigned>(digit);
        if (value > 255) return std::nullopt;
    }
    return static_cast<uint8_t>(value);
}

std::optional<uint8_t> ParseSimFault(std::u16string_view text) {
    std::string narrow;
    for (const char16_t c : text) {
        if (c == 0 || c > 0x7F) return std::nullopt;
        narrow.push_back(static_cast<char>(c));
    }
    return ParseSimFault(narrow);
}

// A boot mouse: three buttons and two more, X, Y and wheel.
const std::vector<uint8_t>& SimBootMouseDescriptor() {
    static const std::vector<uint8_t> d = {
        0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00,  // Mouse, Pointer
        0x05, 0x09, 0x19, 0x01, 0x29, 0x05, 0x15, 0x00, 0x25, 0x01,  // Buttons 1..5
        0x95, 0x05, 0x75, 0x01, 0x81, 0x02,                          // 5 x 1 bit, input
        0x95, 0x01, 0x75, 0x03, 0x81, 0x01,                          // padding
        0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x09, 0x38,              // X, Y, Wheel
        0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x03, 0x81, 0x06,  // 3 x 8 bit, relative
        0xC0, 0xC0,
    };
    return d;
}

// The vendor interface: the command feature report (usage 0x22) and the 32-byte data output
// report (usage 0x23), both under the same report id.
const std::vector<uint8_t>& SimVendorDescriptor() {
    static const std::vector<uint8_t> d = {
        0x06, 0x01, 0xFF,             // Usage Page (0xFF01)
        0x09, 0x01,                   // Usage (1)
        0xA1, 0x01,                   // Collection (Application)
        0x85, kSimReportId,           //   Report ID
        0x15, 0x00, 0x26, 0xFF, 0x00, //   Logical 0..255
        0x75, 0x08,                   //   Report Size 8
        0x09, 0x22,                   //   Usage (0x22)
        0x95, static_cast<uint8_t>(kSimFeatureReportCount),
        0xB1, 0x02,                   //   Feature (Data, Var, Abs)
        0x09, 0x23,                   //   Usage (0x23)
        0x95, 0x20,                   //   Report Count 32
        0x91, 0x02,                   //   Output (Data, Var, Abs)
        0xC0,
    };
    return d;
}

CSimulatedMouse::CSimulatedMouse() : memory_(FactoryMemory()) {}

void CSimulatedMouse::Error(std::string text) {
    errors_.push_back(std::move(text));
}

bool CSimulatedMouse::OnSetFeature(const uint8_t* report, size_t len) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!plugged_ || report == nullptr) return false;
    if (len != kFeatureLength || report[0] != kSimReportId) {
        Error("feature report of " + std::to_string(len) + " bytes with id " + HexText(len ? report[0] : 0, 2));
        return false;
    }
    const uint8_t code = report[1];
    commands_.push_back(code);
    if (dataCommand_ != 0) {
        Error(CommandName(code) + " before the data of " + CommandName(dataCommand_) + " was complete");
        dataCommand_ = 0;
    }
    answerVersion_ = false;
    if (failing_.count(code)) return false;

    // The parameters each command must carry after its code; the rest of the report is zero.
    auto expect = [&](std::initializer_list<uint8_t> fixed, size_t variable) {
        size_t i = 2;
        for (uint8_t b : fixed) {
            if (report[i] != b) {
                Error(CommandName(code) + ": byte " + std::to_string(i) + " is " + HexText(report[i], 2));
                return false;
            }
            ++i;
        }
        for (size_t j = i + variable; j < len; ++j) {
            if (report[j] != 0) {
                Error(CommandName(code) + ": byte " + std::to_string(j) + " is not 0");
                return false;
            }
        }
        return true;
    };
    auto expectData = [&](size_t bytes) {
        dataCommand_ = code;
        dataExpected_ = bytes;
        data_.clear();
    };
    switch (code) {
    case cmd::ReportInterval:
        if (!expect({}, 1)) return false;
        if (report[2] != 1 && report[2] != 2 && report[2] != 4 && report[2] != 8)
            Error("report interval " + std::to_string(report[2]));
        memory_.reportInterval = report[2];
        return true;
    case cmd::CycleColours:
        if (!expect({0x01, 0x00, 0x20}, 0)) return false;
        expectData(kCycleColoursSize);
        return true;
    case cmd::DpiLevelValue:
        if (!expect({0x01}, 1)) return false;
        memory_.dpiLevelValue = report[3];
        return true;
    case cmd::LedColour:
        if (!expect({0x01}, 3)) return false;
        memory_.ledColour = uint32_t{report[4]} | uint32_t{report[3]} << 8 | uint32_t{report[5]} << 16;
        return true;
    case cmd::LightEffect:
        if (!expect({0x01}, 3)) return false;
        std::copy(report + 3, report + 6, memory_.effect);
        return true;
    case cmd::DpiTable:
        if (!expect({0x01, 0x07, 0x10}, 0)) return false;
        expectData(kDpiTableSize);
        return true;
    case cmd::KeyMatrix:
        if (!expect({0x01, 0x00, 0x40}, 0)) return false;
        expectData(kKeyMatrixSize);
        return true;
    case cmd::DownloadMacro:
        if (!expect({0x01}, 3) || report[4] != 0x00 || report[5] != 0x02) {
            Error(CommandName(code) + ": length is not 512");
            return false;
        }
        if (report[3] < 1 || report[3] > kMacroSlotCount) {
            Error(CommandName(code) + ": macro slot " + std::to_string(report[3]));
            return false;
        }
        dataSlot_ = report[3];
        expectData(kMacroBlockSize);
        return true;
    case cmd::FirmwareVersion:
        if (!expect({}, 0)) return false;
        answerVersion_ = true;
        return true;
    default:
        Error("unknown " + CommandName(code));
        return false;
    }
}

bool CSimulatedMouse::OnGetFeature(uint8_t* report, size_t len) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!plugged_ || report == nullptr || len != kFeatureLength || report[0] != kSimReportId) return false;
    std::fill(report, report + len, uint8_t{0});
    report[0] = kSimReportId;
    if (answerVersion_) {
        report[1] = cmd::FirmwareVersion;
        report[2] = memory_.firmware[0];
        report[3] = memory_.firmware[1];
        answerVersion_ = false;
    }
    return true;
}

HidWriteStatus CSimulatedMouse::OnOutput(const uint8_t* report, size_t len) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!plugged_ || report == nullptr) return HidWriteStatus::Failed;
    if (len != kOutputReportSize || report[0] != kSimReportId) {
        Error("output report of " + std::to_string(len) + " bytes");
        return HidWriteStatus::Failed;
    }
    if (pending_ == PendingWrites::NeverComplete) return HidWriteStatus::Pending;
    answerVersion_ = false;
    if (dataCommand_ == 0) {
        Error("output report without a command");
    } else {
        const size_t take = std::min(kOutputDataSize, dataExpected_ - data_.size());
        data_.insert(data_.end(), report + 1, report + 1 + take);
        if (std::any_of(report + 1 + take, report + len, [](uint8_t b) { return b != 0; }))
            Error(CommandName(dataCommand_) + ": data beyond its length is not 0");
        if (data_.size() == dataExpected_) StoreData();
    }
    return pending_ == PendingWrites::CompleteInTime ? HidWriteStatus::Pending : HidWriteStatus::Done;
}

bool CSimulatedMouse::OnWaitPending(uint32_t) {
    std::lock_guard<std::mutex> lock(mutex_);
    return plugged_ && pending_ == PendingWrites::CompleteInTime;
}

void CSimulatedMouse::StoreData() {
    switch (dataCommand_) {
    case cmd::CycleColours: std::copy(data_.begin(), data_.end(), memory_.cycleColours); break;
    case cmd::DpiTable: std::copy(data_.begin(), data_.end(), memory_.dpiTable); break;
    case cmd::KeyMatrix:
        for (size_t i = 0; i < kKeyMatrixSlots; ++i)
            memory_.keyMatrix[i] = uint32_t{data_[i * 4]} | uint32_t{data_[i * 4 + 1]} << 8 |
                                   uint32_t{data_[i * 4 + 2]} << 16 | uint32_t{data_[i * 4 + 3]} << 24;
        break;
    case cmd::DownloadMacro: std::copy(data_.begin(), data_.end(), memory_.macros[dataSlot_ - 1]); break;
    default: break;
    }
    dataCommand_ = 0;
    data_.clear();
}

void CSimulatedMouse::FailCommand(uint8_t code) {
    std::lock_guard<std::mutex> lock(mutex_);
    failing_.insert(code);
}

void CSimulatedMouse::ClearFailures() {
    std::lock_guard<std::mutex> lock(mutex_);
    failing_.clear();
}

void CSimulatedMouse::SetPendingWrites(PendingWrites mode) {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_ = mode;
}

void CSimulatedMouse::SetPlugged(bool plugged) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (plugged_ && !plugged) {
        ++generation_;
        dataCommand_ = 0;
        answerVersion_ = false;
    }
    plugged_ = plugged;
}

bool CSimulatedMouse::Plugged() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return plugged_;
}

void CSimulatedMouse::SetLoaderMode(bool loader) {
    std::lock_guard<std::mutex> lock(mutex_);
    loader_ = loader;
}

bool CSimulatedMouse::LoaderMode() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return loader_;
}

uint64_t CSimulatedMouse::Generation() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return generation_;
}

SimMemory CSimulatedMouse::Memory() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return memory_;
}

void CSimulatedMouse::SetMemory(const SimMemory& memory) {
    std::lock_guard<std::mutex> lock(mutex_);
    memory_ = memory;
}

void CSimulatedMouse::SetFirmwareVersion(uint8_t high, uint8_t low) {
    std::lock_guard<std::mutex> lock(mutex_);
    memory_.firmware[0] = high;
    memory_.firmware[1] = low;
}

std::vector<uint8_t> CSimulatedMouse::Commands() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
}

std::vector<std::string> CSimulatedMouse::ProtocolErrors() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return errors_;
}

bool CSimulatedMouse::SaveFile(const std::string& path) const {
    const SimMemory memory = Memory();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(kMemoryFileMagic, sizeof kMemoryFileMagic);
    out.write(reinterpret_cast<const char*>(&memory), sizeof memory);
    out.close();
    return static_cast<bool>(out);
}

bool CSimulatedMouse::LoadFile(const std::string& path) {
    // A state file is a regular file of one fixed size: nothing else is opened (a pipe or a device
    // would never end), and no more than one byte beyond that size is read.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::vector<char> bytes(sizeof kMemoryFileMagic + sizeof(SimMemory) + 1);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    if (bytes.size() != sizeof kMemoryFileMagic + sizeof(SimMemory) ||
        !std::equal(std::begin(kMemoryFileMagic), std::end(kMemoryFileMagic), bytes.begin()))
        return false;
    SimMemory memory;
    std::memcpy(&memory, bytes.data() + sizeof kMemoryFileMagic, sizeof memory);
    SetMemory(memory);
    return true;
}

std::string CSimulatedMouse::Describe() const {
    return DescribeMemory(Memory());
}

// --- the HID interfaces ---

namespace {

class CSimHandle final : public IHidHandle {
public:
    CSimHandle(CSimulatedMouse& mouse) : mouse_(mouse), generation_(mouse.Generation()) {}
    bool SetFeature(const uint8_t* report, size_t len) override {
        return Check("set feature report", Alive() && mouse_.OnSetFeature(report, len));
    }
    bool GetFeature(uint8_t* report, size_t len) override {
        return Check("get feature report", Alive() && mouse_.OnGetFeature(report, len));
    }
    HidWriteStatus Write(const uint8_t* report, size_t len) override {
        const HidWriteStatus status = Alive() ? mouse_.OnOutput(report, len) : HidWriteStatus::Failed;
        Check("write (output report)", status != HidWriteStatus::Failed);
        return status;
    }
    bool WaitPendingWrite(uint32_t timeoutMs) override {
        return Check("wait for a pending write", Alive() && mouse_.OnWaitPending(timeoutMs));
    }
    std::string LastError() const override { return lastError_; }

private:
    bool Alive() const { return mouse_.Plugged() && mouse_.Generation() == generation_; }
    // Records a failed call with the simulated mouse's reason.
    bool Check(const char* call, bool ok) {
        if (!ok) {
            lastError_ = std::string(call) + ": " +
                         (Alive() ? "the simulated mouse refused it" : "the simulated mouse was unplugged");
        }
        return ok;
    }
    CSimulatedMouse& mouse_;
    uint64_t generation_;
    std::string lastError_;
};

const std::vector<uint8_t>* DescriptorOf(const std::string& path) {
    if (path == "sim:0") return &SimBootMouseDescriptor();
    if (path == "sim:1") return &SimVendorDescriptor();
    return nullptr;
}

} // namespace

std::vector<std::string> CSimHidEnumerator::InterfacePaths() {
    if (!mouse_.Plugged()) return {};
    return {"sim:0", "sim:1"};
}

std::optional<HidIds> CSimHidEnumerator::Attributes(const std::string& path) {
    if (!mouse_.Plugged() || !DescriptorOf(path)) return std::nullopt;
    if (mouse_.LoaderMode()) return HidIds{kLoaderVendorId, kLoaderProductId};
    return HidIds{kMouseVendorId, kMouseProductId};
}

std::optional<std::vector<HidValueCap>> CSimHidEnumerator::FeatureValueCaps(const std::string& path) {
    const std::vector<uint8_t>* descriptor = DescriptorOf(path);
    if (!mouse_.Plugged() || !descriptor) return std::nullopt;
    HidDescriptorInfo info = ParseReportDescriptor(descriptor->data(), descriptor->size());
    if (!info.ok) return std::nullopt;
    return std::move(info.featureValueCaps);
}

std::unique_ptr<IHidHandle> CSimHidEnumerator::Open(const std::string& path, HidAccess) {
    if (!mouse_.Plugged() || !DescriptorOf(path)) {
        lastError_ = {HidOpenError::NotFound, "open (" + path + "): " +
                                                  (mouse_.Plugged() ? "no such interface" : "the simulated mouse was unplugged")};
        return nullptr;
    }
    return std::make_unique<CSimHandle>(mouse_);
}

} // namespace n640
