#include "device/HidDescriptor.h"

#include <algorithm>
#include <optional>

namespace n640 {
namespace {

// Item types and tags of the short items.
constexpr uint8_t kTypeMain = 0, kTypeGlobal = 1, kTypeLocal = 2;
constexpr uint8_t kMainInput = 8, kMainOutput = 9, kMainCollection = 10, kMainFeature = 11,
                  kMainEndCollection = 12;
constexpr uint8_t kGlobalUsagePage = 0, kGlobalReportSize = 7, kGlobalReportId = 8,
                  kGlobalReportCount = 9, kGlobalPush = 10, kGlobalPop = 11;
constexpr uint8_t kLocalUsage = 0, kLocalUsageMin = 1, kLocalUsageMax = 2;
constexpr uint8_t kLongItemPrefix = 0xFE;
constexpr uint32_t kMaxCollectionDepth = 256;

struct GlobalState {
    uint16_t usagePage = 0;
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint8_t reportId = 0;
};

// A local usage or usage range, with its page resolved when the item was read.
struct LocalUsage {
    uint16_t page;
    uint16_t first;
    uint16_t last;
    bool isRange;
};

class Parser {
public:
    Parser(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    HidDescriptorInfo Run() {
        info_.ok = Parse() && depth_ == 0;
        return std::move(info_);
    }

private:
    bool Parse() {
        size_t pos = 0;
        while (pos < size_) {
            const uint8_t prefix = data_[pos];
            if (prefix == kLongItemPrefix) {
                // Long item: prefix, data size, tag, data. Nothing in it concerns us.
                if (size_ - pos < 3) return false;
                const size_t dataSize = data_[pos + 1];
                if (size_ - pos - 3 < dataSize) return false;
                pos += 3 + dataSize;
                continue;
            }
            const size_t dataSize = (prefix & 3) == 3 ? 4 : (prefix & 3);
            if (size_ - pos - 1 < dataSize) return false;
            uint32_t value = 0;
            for (size_t i = 0; i < dataSize; ++i) value |= static_cast<uint32_t>(data_[pos + 1 + i]) << (8 * i);
            const uint8_t type = (prefix >> 2) & 3;
            const uint8_t tag = prefix >> 4;
            pos += 1 + dataSize;
            bool good = true;
            switch (type) {
            case kTypeMain: good = Main(tag, value); break;
            case kTypeGlobal: good = Global(tag, value, dataSize); break;
            case kTypeLocal: good = Local(tag, value, dataSize); break;
            default: break;  // reserved type: skipped
            }
            if (!good) return false;
        }
        return true;
    }

    bool Global(uint8_t tag, uint32_t value, size_t dataSize) {
        switch (tag) {
        case kGlobalUsagePage: global_.usagePage = static_cast<uint16_t>(value); break;
        case kGlobalReportSize: global_.reportSize = value; break;
        case kGlobalReportCount: global_.reportCount = value; break;
        case kGlobalReportId:
            if (dataSize == 0 || value == 0 || value > 0xFF) return false;
            global_.reportId = static_cast<uint8_t>(value);
            info_.usesReportIds = true;
            break;
        case kGlobalPush:
            if (stack_.size() >= kHidMaxPushDepth) return false;
            stack_.push_back(global_);
            break;
        case kGlobalPop:
            if (stack_.empty()) return false;
            global_ = stack_.back();
            stack_.pop_back();
            break;
        default: break;  // logical/physical extents, units: not needed
        }
        return true;
    }

    bool Local(uint8_t tag, uint32_t value, size_t dataSize) {
        // A four-byte usage carries its own page in the high half.
        const uint16_t page = dataSize == 4 ? static_cast<uint16_t>(value >> 16) : global_.usagePage;
        const uint16_t id = static_cast<uint16_t>(value);
        switch (tag) {
        case kLocalUsage:
            if (locals_.size() >= kHidMaxLocalUsages) return false;
            locals_.push_back({page, id, id, false});
            break;
        case kLocalUsageMin:
            pendingMin_ = LocalUsage{page, id, id, true};
            break;
        case kLocalUsageMax:
            if (pendingMin_) {
                if (locals_.size() >= kHidMaxLocalUsages) return false;
                LocalUsage range = *pendingMin_;
                range.last = std::max(range.first, id);
                locals_.push_back(range);
                pendingMin_.reset();
            }
            break;
        default: break;  // designators, strings, delimiters
        }
        return true;
    }

    bool Main(uint8_t tag, uint32_t flags) {
        bool good = true;
        switch (tag) {
        case kMainInput: good = Field(info_.inputValueCaps, flags); break;
        case kMainOutput: good = Field(info_.outputValueCaps, flags); break;
        case kMainFeature: good = Field(info_.featureValueCaps, flags); break;
        case kMainCollection:
            if (++depth_ > kMaxCollectionDepth) good = false;
            break;
        case kMainEndCollection:
            if (depth_ == 0) good = false;
            else --depth_;
            break;
        default: break;
        }
        locals_.clear();
        pendingMin_.reset();
        return good;
    }

    // One input, output or feature item. Constant fields are padding; array fields and one-bit
    // variables are buttons. Every other variable field gives value capabilities: one per usage,
    // the last usage (or range) taking the fields that remain.
    bool Field(std::vector<HidValueCap>& caps, uint32_t flags) {
        const bool constant = flags & 1;
        const bool variable = flags & 2;
        if (global_.reportCount > 0xFFFF || global_.reportSize > 0xFFFF) return false;
        if (constant || !variable || global_.reportSize <= 1 || global_.reportCount == 0) return true;
        uint32_t remaining = global_.reportCount;
        auto add = [&](const LocalUsage& u, uint32_t count) {
            if (caps.size() >= kHidMaxValueCaps) return false;
            HidValueCap cap;
            cap.usagePage = u.page;
            cap.isRange = u.isRange;
            cap.usage = u.first;
            cap.usageMax = u.last;
            cap.reportId = global_.reportId;
            cap.reportCount = static_cast<uint16_t>(count);
            cap.bitSize = static_cast<uint16_t>(global_.reportSize);
            caps.push_back(cap);
            return true;
        };
        if (locals_.empty()) return add(LocalUsage{global_.usagePage, 0, 0, false}, remaining);
        for (size_t i = 0; i < locals_.size() && remaining > 0; ++i) {
            const LocalUsage& u = locals_[i];
            uint32_t count = 1;
            if (i + 1 == locals_.size()) count = remaining;
            else if (u.isRange) count = std::min<uint32_t>(remaining, uint32_t{u.last} - u.first + 1);
            if (!add(u, count)) return false;
            remaining -= count;
        }
        return true;
    }

    const uint8_t* data_;
    size_t size_;
    HidDescriptorInfo info_;
    GlobalState global_;
    std::vector<GlobalState> stack_;
    std::vector<LocalUsage> locals_;
    std::optional<LocalUsage> pendingMin_;
    uint32_t depth_ = 0;
};

} // namespace

HidDescriptorInfo ParseReportDescriptor(const uint8_t* data, size_t size) {
    if (data == nullptr) size = 0;
    return Parser(data, size).Run();
}

} // namespace n640
