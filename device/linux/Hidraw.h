#pragma once
// The Linux HID backend over hidraw: interfaces are the entries of /sys/class/hidraw, their
// ids come from the HID device's uevent, their capabilities from the report descriptor
// (HIDIOCGRDESC), and reports go through HIDIOCSFEATURE/HIDIOCGFEATURE and write().

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/HidPort.h"

namespace n640 {

// Where the report descriptor of a hidraw node comes from.
class IHidrawDescriptorReader {
public:
    virtual ~IHidrawDescriptorReader() = default;
    // devNode: "/dev/hidrawN"; hidDeviceDir: the HID device's sysfs directory.
    virtual std::optional<std::vector<uint8_t>> ReadDescriptor(const std::string& devNode,
                                                               const std::string& hidDeviceDir) = 0;
};

// HIDIOCGRDESC on the node; when the node cannot be opened (no permission yet), the copy the
// kernel shows in sysfs (report_descriptor), so the mouse is still recognised and the open
// reports AccessDenied.
class CHidrawDescriptorReader final : public IHidrawDescriptorReader {
public:
    std::optional<std::vector<uint8_t>> ReadDescriptor(const std::string& devNode,
                                                       const std::string& hidDeviceDir) override;
};

class CHidrawEnumerator final : public IHidEnumerator {
public:
    // sysfsRoot and devRoot may point at a fake tree; reader defaults to CHidrawDescriptorReader.
    explicit CHidrawEnumerator(std::string sysfsRoot = "/sys", std::string devRoot = "/dev",
                               IHidrawDescriptorReader* reader = nullptr);
    std::vector<std::string> InterfacePaths() override;   // devRoot + "/hidrawN", by N
    std::optional<HidIds> Attributes(const std::string& path) override;
    std::optional<std::vector<HidValueCap>> FeatureValueCaps(const std::string& path) override;
    std::unique_ptr<IHidHandle> Open(const std::string& path, HidAccess access) override;
    HidError LastError() const override { return lastError_; }

private:
    std::string HidDeviceDir(const std::string& path) const;

    std::string sysfsRoot_;
    std::string devRoot_;
    CHidrawDescriptorReader defaultReader_;
    IHidrawDescriptorReader* reader_;
    HidError lastError_;
};

// The reason of a failed open() of a hidraw node.
HidOpenError HidOpenErrorOfErrno(int error);

// Parses "HID_ID=0003:00003F1C:00005C21" out of a uevent text.
std::optional<HidIds> ParseHidUevent(const std::string& uevent);

// The loader among the USB devices in sysfs (bus/usb/devices/*/idVendor, idProduct).
class CSysfsLoaderSearch final : public ILoaderSearch {
public:
    explicit CSysfsLoaderSearch(std::string sysfsRoot = "/sys") : sysfsRoot_(std::move(sysfsRoot)) {}
    bool LoaderPresent() override;

private:
    std::string sysfsRoot_;
};

} // namespace n640
