#include "device/win/WinHid.h"

#include <gtest/gtest.h>

#include "device/PlatformHid.h"
#include "device/RecordingLink.h"
#include "device/USBDriver.h"

namespace n640 {
namespace {

// Runs against the system's HID stack. Under Wine there is no mouse: discovery walks whatever
// HID interfaces exist and fails cleanly.
TEST(WinHid, OpenWithoutTheMouseFailsCleanly) {
    std::unique_ptr<IHidEnumerator> hid = MakePlatformHidEnumerator();
    CLinkLog log;
    CRecordingClock clock(log);
    CUSBDriver link(*hid, clock);
    ASSERT_TRUE(link.Create());
    EXPECT_FALSE(link.Open());
    EXPECT_FALSE(link.IsOpen());
    EXPECT_FALSE(link.GetFirmwareVersion());
    const uint8_t data[64] = {};
    EXPECT_FALSE(link.SetKeyMatrix(data, sizeof data));
    EXPECT_TRUE(log.Events().empty());
    // Interfaces that are not there cannot be probed or opened.
    EXPECT_FALSE(hid->Attributes("\\\\?\\hid#vid_3f1c&pid_5c21#nothing"));
    EXPECT_EQ(hid->Open("\\\\?\\hid#vid_3f1c&pid_5c21#nothing", HidAccess::Write), nullptr);
    EXPECT_NE(hid->LastError().open, HidOpenError::None);
    EXPECT_EQ(hid->LastError().text.rfind("CreateFileW: ", 0), 0u);
}

TEST(WinHid, NoLoaderWithoutTheDevice) {
    EXPECT_FALSE(MakePlatformLoaderSearch()->LoaderPresent());
}

} // namespace
} // namespace n640
