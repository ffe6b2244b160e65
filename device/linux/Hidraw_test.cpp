#include "device/linux/Hidraw.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

#include "device/RecordingLink.h"
#include "device/USBDriver.h"
#include "device/sim/SimulatedMouse.h"

namespace n640 {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

// A fake /sys and /dev in a temporary directory.
class FakeSysfs : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("n640-sysfs-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(root / "dev");
    }
    void TearDown() override { fs::remove_all(root); }

    void Write(const fs::path& path, const std::string& text) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    // A hidraw node whose HID device shows these ids and this descriptor in sysfs.
    void AddHidraw(const std::string& name, const std::string& hidId, const std::vector<uint8_t>& descriptor) {
        const fs::path device = root / "sys" / "class" / "hidraw" / name / "device";
        Write(device / "uevent", "DRIVER=hid-generic\nHID_ID=" + hidId + "\nHID_NAME=Test\n");
        Write(device / "report_descriptor", std::string(descriptor.begin(), descriptor.end()));
    }

    fs::path root;
};

TEST(HidrawUevent, Ids) {
    const auto ids = ParseHidUevent("DRIVER=x\nHID_ID=0003:00003F1C:00005C21\n");
    ASSERT_TRUE(ids);
    EXPECT_EQ(ids->vendorId, 0x3F1C);
    EXPECT_EQ(ids->productId, 0x5C21);
    EXPECT_FALSE(ParseHidUevent("HID_NAME=x\n"));
    EXPECT_FALSE(ParseHidUevent("HID_ID=0003:00003F1C\n"));
    EXPECT_FALSE(ParseHidUevent("HID_ID=0003:00013F1C:00005C21\n"));
}

TEST_F(FakeSysfs, DiscoveryFindsTheVendorInterface) {
    AddHidraw("hidraw10", "0003:00003F1C:00005C21", SimVendorDescriptor());
    AddHidraw("hidraw2", "0003:00003F1C:00005C21", SimBootMouseDescriptor());
    AddHidraw("hidraw1", "0003:0000046D:0000C52B", SimVendorDescriptor());  // another maker's device
    Write(root / "sys" / "class" / "hidraw" / "notes" / "x", "");
    CHidrawEnumerator hid((root / "sys").string(), (root / "dev").string());
    const std::string dev = (root / "dev").string();
    EXPECT_THAT(hid.InterfacePaths(), ElementsAre(dev + "/hidraw1", dev + "/hidraw2", dev + "/hidraw10"));
    const auto caps = hid.FeatureValueCaps(dev + "/hidraw10");
    ASSERT_TRUE(caps);
    ASSERT_EQ(caps->size(), 1u);
    EXPECT_EQ((*caps)[0].usage, 0x22);

    // The node itself is missing: the mouse is recognised but cannot be opened.
    CLinkLog log;
    CRecordingClock clock(log);
    CUSBDriver link(hid, clock);
    EXPECT_FALSE(link.Open());
    EXPECT_EQ(link.LastError().open, HidOpenError::NotFound);

    // A node that can be opened (a plain file here) is opened for both handles.
    Write(root / "dev" / "hidraw10", "");
    ASSERT_TRUE(link.Open());
    EXPECT_EQ(link.ReportId(), kSimReportId);
    EXPECT_EQ(link.ReportCount(), kSimFeatureReportCount);
    EXPECT_FALSE(link.GetFirmwareVersion());  // a plain file takes no feature report
}

TEST(HidrawOpen, ErrorReasons) {
    EXPECT_EQ(HidOpenErrorOfErrno(EACCES), HidOpenError::AccessDenied);
    EXPECT_EQ(HidOpenErrorOfErrno(EPERM), HidOpenError::AccessDenied);
    EXPECT_EQ(HidOpenErrorOfErrno(ENOENT), HidOpenError::NotFound);
    EXPECT_EQ(HidOpenErrorOfErrno(ENODEV), HidOpenError::NotFound);
    EXPECT_EQ(HidOpenErrorOfErrno(EBUSY), HidOpenError::Other);
}

TEST_F(FakeSysfs, PermissionDeniedIsReportedAsSuch) {
    if (::geteuid() == 0) GTEST_SKIP() << "root opens any file";
    AddHidraw("hidraw0", "0003:00003F1C:00005C21", SimVendorDescriptor());
    Write(root / "dev" / "hidraw0", "");
    fs::permissions(root / "dev" / "hidraw0", fs::perms::none);
    CHidrawEnumerator hid((root / "sys").string(), (root / "dev").string());
    CLinkLog log;
    CRecordingClock clock(log);
    CUSBDriver link(hid, clock);
    EXPECT_FALSE(link.Open());
    EXPECT_EQ(link.LastError().open, HidOpenError::AccessDenied);
    EXPECT_EQ(link.LastError().text,
              "open (" + (root / "dev").string() + "/hidraw0): " + std::generic_category().message(EACCES));
}

// A node that takes no HID ioctl and no write (/dev/full): each failed call is named with errno.
TEST_F(FakeSysfs, FailedCallsAreNamedWithTheSystemsReason) {
    AddHidraw("hidraw0", "0003:00003F1C:00005C21", SimVendorDescriptor());
    fs::create_symlink("/dev/full", root / "dev" / "hidraw0");
    CHidrawEnumerator hid((root / "sys").string(), (root / "dev").string());
    CLinkLog log;
    CRecordingClock clock(log);
    CUSBDriver link(hid, clock);
    ASSERT_TRUE(link.Open());
    EXPECT_FALSE(link.SetDpiLevelValue(3));
    EXPECT_EQ(link.LastError().text, "ioctl (SFEATURE): " + std::generic_category().message(ENOTTY));
    std::array<uint8_t, kFeatureBufferSize> reply{};
    EXPECT_FALSE(link.ReadFeature(reply));
    EXPECT_EQ(link.LastError().text, "ioctl (GFEATURE): " + std::generic_category().message(ENOTTY));
    const uint8_t data[kOutputDataSize] = {1};
    EXPECT_FALSE(link.WriteOne(data, sizeof data));
    EXPECT_EQ(link.LastError().text, "write (output report): " + std::generic_category().message(ENOSPC));
}

TEST_F(FakeSysfs, DescriptorComesFromTheReaderPort) {
    struct Reader : IHidrawDescriptorReader {
        std::vector<std::string> asked;
        std::optional<std::vector<uint8_t>> ReadDescriptor(const std::string& node, const std::string&) override {
            asked.push_back(node);
            if (node.find("hidraw3") != std::string::npos) return std::vector<uint8_t>{0x06, 0x01};  // malformed
            return SimVendorDescriptor();
        }
    } reader;
    CHidrawEnumerator hid((root / "sys").string(), (root / "dev").string(), &reader);
    EXPECT_TRUE(hid.FeatureValueCaps("/x/hidraw0"));
    EXPECT_FALSE(hid.FeatureValueCaps("/x/hidraw3"));
    EXPECT_THAT(reader.asked, ElementsAre("/x/hidraw0", "/x/hidraw3"));
}

TEST_F(FakeSysfs, LoaderByUsbIds) {
    Write(root / "sys" / "bus" / "usb" / "devices" / "1-1" / "idVendor", "3f1c\n");
    Write(root / "sys" / "bus" / "usb" / "devices" / "1-1" / "idProduct", "5c21\n");
    Write(root / "sys" / "bus" / "usb" / "devices" / "1-1:1.0" / "bInterfaceClass", "03\n");
    CSysfsLoaderSearch search((root / "sys").string());
    EXPECT_FALSE(search.LoaderPresent());
    Write(root / "sys" / "bus" / "usb" / "devices" / "2-3" / "idVendor", "04d9\n");
    Write(root / "sys" / "bus" / "usb" / "devices" / "2-3" / "idProduct", "8022\n");
    EXPECT_TRUE(search.LoaderPresent());
    EXPECT_FALSE(CSysfsLoaderSearch((root / "nothing").string()).LoaderPresent());
}

} // namespace
} // namespace n640
