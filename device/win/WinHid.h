#pragma once
// The Windows HID backend: SetupAPI enumerates the HID device interfaces, the HID class driver
// gives attributes, preparsed data and capabilities, and the handles are overlapped so that a
// write the system leaves pending can be waited for with a bound.

#include "device/HidPort.h"

namespace n640 {

class CWinHidEnumerator final : public IHidEnumerator {
public:
    std::vector<std::string> InterfacePaths() override;   // UTF-8 device interface paths
    std::optional<HidIds> Attributes(const std::string& path) override;
    std::optional<std::vector<HidValueCap>> FeatureValueCaps(const std::string& path) override;
    std::unique_ptr<IHidHandle> Open(const std::string& path, HidAccess access) override;
    HidError LastError() const override { return lastError_; }

private:
    HidError lastError_;
};

// A present USB device whose hardware id names the firmware loader.
class CWinLoaderSearch final : public ILoaderSearch {
public:
    bool LoaderPresent() override;
};

} // namespace n640
