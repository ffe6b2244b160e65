#include "device/linux/Hidraw.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "device/HidDescriptor.h"
#include "device/PlatformHid.h"

namespace n640 {
namespace fs = std::filesystem;

namespace {

std::optional<std::string> ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The number of a "hidrawN" name, or -1.
long HidrawNumber(const std::string& name) {
    if (name.rfind("hidraw", 0) != 0 || name.size() == 6) return -1;
    long n = 0;
    for (size_t i = 6; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || n > 1000000) return -1;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

class CFd {
public:
    explicit CFd(int fd) : fd_(fd) {}
    ~CFd() { if (fd_ >= 0) ::close(fd_); }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

class CHidrawHandle final : public IHidHandle {
public:
    explicit CHidrawHandle(int fd) : fd_(fd) {}
    bool SetFeature(const uint8_t* report, size_t len) override {
        if (report == nullptr || len == 0 || len > kMaxReport) return Refuse("ioctl (SFEATURE)", len);
        std::vector<uint8_t> buffer(report, report + len);
        return ::ioctl(fd_.get(), HIDIOCSFEATURE(len), buffer.data()) >= 0 || Fail("ioctl (SFEATURE)", errno);
    }
    bool GetFeature(uint8_t* report, size_t len) override {
        if (report == nullptr || len == 0 || len > kMaxReport) return Refuse("ioctl (GFEATURE)", len);
        return ::ioctl(fd_.get(), HIDIOCGFEATURE(len), report) >= 0 || Fail("ioctl (GFEATURE)", errno);
    }
    HidWriteStatus Write(const uint8_t* report, size_t len) override {
        ssize_t written;
        do {
            written = ::write(fd_.get(), report, len);
        } while (written < 0 && errno == EINTR);
        if (written == static_cast<ssize_t>(len)) return HidWriteStatus::Done;
        if (written < 0) {
            Fail("write (output report)", errno);
        } else {
            lastError_ = "write (output report): " + std::to_string(written) + " of " + std::to_string(len) +
                         " bytes written";
        }
        return HidWriteStatus::Failed;
    }
    // Writes to hidraw finish before write() returns; nothing is ever left pending.
    bool WaitPendingWrite(uint32_t) override {
        lastError_ = "wait for a pending write: hidraw leaves no write pending";
        return false;
    }
    std::string LastError() const override { return lastError_; }

private:
    static constexpr size_t kMaxReport = 4096;
    bool Fail(const char* call, int error) {
        lastError_ = std::string(call) + ": " + std::generic_category().message(error);
        return false;
    }
    bool Refuse(const char* call, size_t len) {
        lastError_ = std::string(call) + ": a report of " + std::to_string(len) + " bytes is refused";
        return false;
    }

    CFd fd_;
    std::string lastError_;
};

} // namespace

HidOpenError HidOpenErrorOfErrno(int error) {
    switch (error) {
    case EACCES:
    case EPERM: return HidOpenError::AccessDenied;
    case ENOENT:
    case ENODEV:
    case ENXIO: return HidOpenError::NotFound;
    default: return HidOpenError::Other;
    }
}

std::optional<HidIds> ParseHidUevent(const std::string& uevent) {
    std::istringstream lines(uevent);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("HID_ID=", 0) != 0) continue;
        unsigned bus = 0, vendor = 0, product = 0;
        char tail = 0;
        if (std::sscanf(line.c_str() + 7, "%x:%x:%x%c", &bus, &vendor, &product, &tail) != 3) return std::nullopt;
        if (vendor > 0xFFFF || product > 0xFFFF) return std::nullopt;
        return HidIds{static_cast<uint16_t>(vendor), static_cast<uint16_t>(product)};
    }
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> CHidrawDescriptorReader::ReadDescriptor(const std::string& devNode,
                                                                            const std::string& hidDeviceDir) {
    CFd fd(::open(devNode.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() >= 0) {
        int size = 0;
        hidraw_report_descriptor descriptor{};
        if (::ioctl(fd.get(), HIDIOCGRDESCSIZE, &size) >= 0 && size >= 0 && size <= HID_MAX_DESCRIPTOR_SIZE) {
            descriptor.size = static_cast<uint32_t>(size);
            if (::ioctl(fd.get(), HIDIOCGRDESC, &descriptor) >= 0)
                return std::vector<uint8_t>(descriptor.value, descriptor.value + size);
        }
    }
    const std::optional<std::string> text = ReadText(fs::path(hidDeviceDir) / "report_descriptor");
    if (!text) return std::nullopt;
    return std::vector<uint8_t>(text->begin(), text->end());
}

CHidrawEnumerator::CHidrawEnumerator(std::string sysfsRoot, std::string devRoot, IHidrawDescriptorReader* reader)
    : sysfsRoot_(std::move(sysfsRoot)), devRoot_(std::move(devRoot)), reader_(reader ? reader : &defaultReader_) {}

std::vector<std::string> CHidrawEnumerator::InterfacePaths() {
    std::vector<std::pair<long, std::string>> found;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(sysfsRoot_) / "class" / "hidraw", ec)) {
        const std::string name = entry.path().filename().string();
        const long n = HidrawNumber(name);
        if (n >= 0) found.emplace_back(n, devRoot_ + "/" + name);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    for (auto& [n, path] : found) paths.push_back(std::move(path));
    return paths;
}

std::string CHidrawEnumerator::HidDeviceDir(const std::string& path) const {
    const std::string name = fs::path(path).filename().string();
    return (fs::path(sysfsRoot_) / "class" / "hidraw" / name / "device").string();
}

std::optional<HidIds> CHidrawEnumerator::Attributes(const std::string& path) {
    const std::optional<std::string> uevent = ReadText(fs::path(HidDeviceDir(path)) / "uevent");
    if (!uevent) return std::nullopt;
    return ParseHidUevent(*uevent);
}

std::optional<std::vector<HidValueCap>> CHidrawEnumerator::FeatureValueCaps(const std::string& path) {
    const std::optional<std::vector<uint8_t>> descriptor = reader_->ReadDescriptor(path, HidDeviceDir(path));
    if (!descriptor) return std::nullopt;
    HidDescriptorInfo info = ParseReportDescriptor(descriptor->data(), descriptor->size());
    if (!info.ok) return std::nullopt;
    return std::move(info.featureValueCaps);
}

std::unique_ptr<IHidHandle> CHidrawEnumerator::Open(const std::string& path, HidAccess) {
    // Feature reports go both ways on either handle, so both are opened for reading and writing.
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        lastError_ = {HidOpenErrorOfErrno(error), "open (" + path + "): " + std::generic_category().message(error)};
        return nullptr;
    }
    return std::make_unique<CHidrawHandle>(fd);
}

bool CSysfsLoaderSearch::LoaderPresent() {
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(sysfsRoot_) / "bus" / "usb" / "devices", ec)) {
        const std::optional<std::string> vendor = ReadText(entry.path() / "idVendor");
        const std::optional<std::string> product = ReadText(entry.path() / "idProduct");
        if (!vendor || !product) continue;
        unsigned v = 0, p = 0;
        if (std::sscanf(vendor->c_str(), "%x", &v) == 1 && std::sscanf(product->c_str(), "%x", &p) == 1 &&
            v == kLoaderVendorId && p == kLoaderProductId)
            return true;
    }
    return false;
}

std::unique_ptr<IHidEnumerator> MakePlatformHidEnumerator() {
    return std::make_unique<CHidrawEnumerator>();
}

std::unique_ptr<ILoaderSearch> MakePlatformLoaderSearch() {
    return std::make_unique<CSysfsLoaderSearch>();
}

} // namespace n640
