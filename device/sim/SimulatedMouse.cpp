#include "device/sim/SimulatedMouse.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "device/HidDescriptor.h"
#include "functions/KeyNames.h"
#include "functions/KeyboardLayout.h"
#include "platform/Text.h"

namespace n640 {
namespace {

constexpr char kMemoryFileMagic[8] = {'N', '6', '4', '0', 'S', 'I', 'M', '1'};
constexpr size_t kFeatureLength = size_t{kSimFeatureReportCount} + 1;

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string CommandName(uint8_t code) { return "command " + Hex(code, 2); }

SimMemory FactoryMemory() {
    SimMemory m{};
    const uint32_t matrix[kKeyMatrixSlots] = {0x00F00001, 0x00F10001, 0x00F20001, kKeyMatrixSlot3,
                                              0x00F30001, 0x00F40001, 0, 0, 0, 0, 0, 0, 0, 0,
                                              0x00010004, 0x00020004};
    std::copy(std::begin(matrix), std::end(matrix), m.keyMatrix);
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

std::string JoinPlus(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& p : parts) text += (text.empty() ? "" : "+") + p;
    return text;
}

std::string MacroKeyText(uint8_t usage) {
    const uint8_t vk = UsageToVk(usage);
    const std::string name = vk != 0 ? Utf16ToUtf8(MacroKeyName(vk)) : std::string();
    return name.empty() ? "usage " + Hex(usage, 2) : name;
}

} // namespace

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
        Error("feature report of " + std::to_string(len) + " bytes with id " + Hex(len ? report[0] : 0, 2));
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
                Error(CommandName(code) + ": byte " + std::to_string(i) + " is " + Hex(report[i], 2));
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

// --- readable text ---

std::string DescribeDeviceCode(uint32_t code) {
    const uint8_t kind = static_cast<uint8_t>(code);
    const uint8_t b1 = static_cast<uint8_t>(code >> 8);
    const uint8_t b2 = static_cast<uint8_t>(code >> 16);
    const uint8_t b3 = static_cast<uint8_t>(code >> 24);
    if (code == 0) return "none";
    switch (kind) {
    case 0x00: {
        if (b3 != 0) break;
        std::vector<std::string> parts;
        if (b1 & 0x01) parts.push_back("Ctrl");
        if (b1 & 0x02) parts.push_back("Shift");
        if (b1 & 0x04) parts.push_back("Alt");
        if (b1 & 0x08) parts.push_back("Win");
        const std::string key = Utf16ToUtf8(KeyName(UsageToVk(b2), CPortableKeyboardLayout()));
        if (b2 != 0) parts.push_back(key.empty() ? "usage " + Hex(b2, 2) : key);
        return "key " + JoinPlus(parts);
    }
    case 0x01: {
        static const char* const kButtons[] = {"left", "right", "middle", "back", "forward"};
        if (b1 == 0 && b3 == 0 && b2 >= 0xF0 && b2 <= 0xF4) return std::string("button ") + kButtons[b2 - 0xF0];
        break;
    }
    case 0x03: {
        struct Media { uint16_t usage; const char* name; };
        static const Media kMedia[] = {{0xCD, "Play/Pause"}, {0xB7, "Stop"}, {0xB6, "Previous"},
                                       {0xB5, "Next"}, {0xE9, "Volume up"}, {0xEA, "Volume down"},
                                       {0xE2, "Mute"}, {0x183, "Music"}};
        const uint16_t usage = static_cast<uint16_t>(code >> 16);
        for (const Media& m : kMedia)
            if (m.usage == usage) return std::string("media ") + m.name;
        return "media " + Hex(usage, 4);
    }
    case 0x04:
        if (code == 0x00010004) return "wheel up";
        if (code == 0x00020004) return "wheel down";
        break;
    case 0x07:
        if (code == 0x00000007) return "disabled";
        if (code == kKeyMatrixSlot3) return "fixed";
        if (code == 0x08040007) return "sniper";
        break;
    case 0x09:
        return "macro slot " + std::to_string(b2) + ", " + std::to_string(b3) + " entries";
    case 0x0A:
        if (code == 0x0218F00A) return "fire";
        break;
    default: break;
    }
    return "code " + Hex(code, 8);
}

std::string DescribeMacroBlock(const uint8_t (&block)[kMacroBlockSize]) {
    size_t last = 0;  // last entry that is not zero
    for (size_t i = 1; i < kMacroBlockEntries; ++i)
        if (block[i * 2] != 0 || block[i * 2 + 1] != 0) last = i;
    if (last == 0 && block[0] == 0 && block[1] == 0) return "empty";
    std::string text = "repeat " + std::to_string(block[0] << 8 | block[1]) + ":";
    const char* separator = " ";
    auto add = [&](const std::string& item) {
        text += separator + item;
        separator = ", ";
    };
    for (size_t i = 1; i <= last; ++i) {
        const uint8_t b = block[i * 2];
        const uint8_t v = block[i * 2 + 1];
        if (b == 0) {
            if (v >= 1 && v <= 3 && i + 1 < kMacroBlockEntries) {
                static const uint32_t kUnit[] = {0, 20, 50, 100};
                const uint32_t count = uint32_t{block[(i + 1) * 2]} << 8 | block[(i + 1) * 2 + 1];
                add(std::to_string(count * kUnit[v]) + " ms");
                ++i;
            } else {
                add("long pause");
            }
            continue;
        }
        add(std::string(b & 0x80 ? "release " : "press ") + MacroKeyText(v));
        const uint32_t steps = b & 0x7F;
        if (steps > 1) add(std::to_string((steps - 1) * 10) + " ms");
    }
    return text;
}

std::string CSimulatedMouse::Describe() const {
    const SimMemory m = Memory();
    std::string text;
    auto line = [&](const std::string& l) { text += l + "\n"; };
    line("firmware " + std::to_string(m.firmware[0] * 10 + m.firmware[1]));
    line("report interval " + std::to_string(m.reportInterval) + " ms");
    std::string dpi = "dpi levels:";
    for (size_t i = 0; i < 7; ++i) {
        const int32_t value = DpiOfCode(m.dpiTable[i]);
        dpi += (i ? ", " : " ") + (value ? std::to_string(value) : std::string("-"));
    }
    line(dpi);
    std::string raw = "dpi table:";
    for (uint8_t b : m.dpiTable) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", b);
        raw += hex;
    }
    line(raw);
    line("dpi level value " + std::to_string(m.dpiLevelValue));
    line("led colour " + Hex(m.ledColour, 8));
    line("light effect " + std::to_string(m.effect[0]) + " " + std::to_string(m.effect[1]) + " " +
         std::to_string(m.effect[2]));
    std::string cycle = "cycle colours:";
    for (size_t i = 0; i < 3; ++i) {
        const uint32_t c = uint32_t{m.cycleColours[i * 3]} | uint32_t{m.cycleColours[i * 3 + 1]} << 8 |
                           uint32_t{m.cycleColours[i * 3 + 2]} << 16;
        cycle += (i ? ", " : " ") + Hex(c, 8);
    }
    line(cycle);
    for (size_t i = 0; i < kKeyMatrixSlots; ++i)
        line("slot " + std::to_string(i) + ": " + DescribeDeviceCode(m.keyMatrix[i]));
    for (int i = 0; i < kMacroSlotCount; ++i)
        line("macro " + std::to_string(i + 1) + ": " + DescribeMacroBlock(m.macros[i]));
    return text;
}

// --- the HID interfaces ---

namespace {

class CSimHandle final : public IHidHandle {
public:
    CSimHandle(CSimulatedMouse& mouse) : mouse_(mouse), generation_(mouse.Generation()) {}
    bool SetFeature(const uint8_t* report, size_t len) override {
        return Alive() && mouse_.OnSetFeature(report, len);
    }
    bool GetFeature(uint8_t* report, size_t len) override { return Alive() && mouse_.OnGetFeature(report, len); }
    HidWriteStatus Write(const uint8_t* report, size_t len) override {
        return Alive() ? mouse_.OnOutput(report, len) : HidWriteStatus::Failed;
    }
    bool WaitPendingWrite(uint32_t timeoutMs) override { return Alive() && mouse_.OnWaitPending(timeoutMs); }

private:
    bool Alive() const { return mouse_.Plugged() && mouse_.Generation() == generation_; }
    CSimulatedMouse& mouse_;
    uint64_t generation_;
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

std::unique_ptr<IHidHandle> CSimHidEnumerator::Open(const std::string& path, HidAccess, HidOpenError* error) {
    if (!mouse_.Plugged() || !DescriptorOf(path)) {
        if (error) *error = HidOpenError::NotFound;
        return nullptr;
    }
    if (error) *error = HidOpenError::None;
    return std::make_unique<CSimHandle>(mouse_);
}

} // namespace n640
