#include "device/USBDriver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>

#include "device/win/DeviceIds.h"
#include "testing/LinkFixture.h"

namespace n640 {
namespace {

using ::testing::ElementsAre;
using n640::testing::SimLinkTest;

// --- discovery over a fake enumeration ---

struct FakeInterface {
    HidIds ids{kMouseVendorId, kMouseProductId};
    std::optional<std::vector<HidValueCap>> caps;
    HidOpenError readError = HidOpenError::None;
    HidOpenError writeError = HidOpenError::None;
};

HidValueCap Cap(uint16_t page, uint16_t usage, uint8_t id = 7, uint16_t count = 8, bool range = false) {
    HidValueCap c;
    c.usagePage = page;
    c.usage = usage;
    c.usageMax = usage;
    c.isRange = range;
    c.reportId = id;
    c.reportCount = count;
    c.bitSize = 8;
    return c;
}

class FakeHandle final : public IHidHandle {
public:
    FakeHandle(std::string path, int& live) : path_(std::move(path)), live_(live) { ++live_; }
    ~FakeHandle() override { --live_; }
    bool SetFeature(const uint8_t*, size_t) override { return true; }
    bool GetFeature(uint8_t*, size_t) override { return true; }
    HidWriteStatus Write(const uint8_t*, size_t) override { return HidWriteStatus::Done; }
    bool WaitPendingWrite(uint32_t) override { return true; }

private:
    std::string path_;
    int& live_;
};

class FakeEnumerator final : public IHidEnumerator {
public:
    std::vector<std::pair<std::string, FakeInterface>> interfaces;
    std::vector<std::string> opened;  // "path r" / "path w"
    int liveHandles = 0;

    std::vector<std::string> InterfacePaths() override {
        std::vector<std::string> paths;
        for (auto& [p, i] : interfaces) paths.push_back(p);
        return paths;
    }
    std::optional<HidIds> Attributes(const std::string& path) override { return Find(path).ids; }
    std::optional<std::vector<HidValueCap>> FeatureValueCaps(const std::string& path) override {
        return Find(path).caps;
    }
    std::unique_ptr<IHidHandle> Open(const std::string& path, HidAccess access) override {
        const FakeInterface& i = Find(path);
        const HidOpenError e = access == HidAccess::Read ? i.readError : i.writeError;
        if (e != HidOpenError::None) {
            lastError_ = {e, "open " + path + (e == HidOpenError::AccessDenied ? ": denied" : ": failed")};
            return nullptr;
        }
        opened.push_back(path + (access == HidAccess::Read ? " r" : " w"));
        return std::make_unique<FakeHandle>(path, liveHandles);
    }
    HidError LastError() const override { return lastError_; }

private:
    HidError lastError_;
    FakeInterface& Find(const std::string& path) {
        for (auto& [p, i] : interfaces)
            if (p == path) return i;
        throw std::logic_error("unknown path");
    }
};

class Discovery : public ::testing::Test {
protected:
    FakeEnumerator hid;
    CLinkLog log;
    CRecordingClock clock{log};
    CUSBDriver link{hid, clock};
};

TEST_F(Discovery, OnlyTheInterfaceWithTheVendorFeatureIsOpened) {
    FakeInterface mouse;  // the boot-mouse interface: no feature values at all
    mouse.caps = std::vector<HidValueCap>{};
    FakeInterface other;  // feature values, but not the vendor one
    other.caps = std::vector<HidValueCap>{Cap(0xFF01, 0x21), Cap(0xFF00, 0x22)};
    FakeInterface vendor;
    vendor.caps = std::vector<HidValueCap>{Cap(0x0C, 0x01), Cap(0xFF01, 0x22, 5, 64)};
    hid.interfaces = {{"if0", mouse}, {"if1", other}, {"if2", vendor}};
    ASSERT_TRUE(link.Open());
    EXPECT_THAT(hid.opened, ElementsAre("if2 r", "if2 w"));
    EXPECT_EQ(link.ReportId(), 5);
    EXPECT_EQ(link.ReportCount(), 64);
    EXPECT_EQ(link.LastError().open, HidOpenError::None);
    EXPECT_TRUE(link.IsOpen());
}

TEST_F(Discovery, SkipsWrongIdsRangesUnexaminedCapsAndOversizedReports) {
    FakeInterface wrongIds;
    wrongIds.ids = {kMouseVendorId, 0x5C22};
    wrongIds.caps = std::vector<HidValueCap>{Cap(0xFF01, 0x22)};
    FakeInterface range;  // usage 0x22 only as the start of a range
    range.caps = std::vector<HidValueCap>{Cap(0xFF01, 0x22, 7, 8, true)};
    FakeInterface eleventh;  // the vendor capability is the eleventh: not examined
    eleventh.caps = std::vector<HidValueCap>(10, Cap(0x01, 0x30));
    eleventh.caps->push_back(Cap(0xFF01, 0x22));
    FakeInterface oversized;  // its feature reports would not fit the 255-byte buffer
    oversized.caps = std::vector<HidValueCap>{Cap(0xFF01, 0x22, 7, 255)};
    FakeInterface noCaps;  // the capabilities cannot be had
    hid.interfaces = {{"a", wrongIds}, {"b", range}, {"c", eleventh}, {"d", oversized}, {"e", noCaps}};
    EXPECT_FALSE(link.Open());
    EXPECT_TRUE(hid.opened.empty());
    EXPECT_EQ(link.LastError().open, HidOpenError::NotFound);

    FakeInterface largest;
    largest.caps = std::vector<HidValueCap>{Cap(0xFF01, 0x22, 7, 254)};
    hid.interfaces.push_back({"f", largest});
    ASSERT_TRUE(link.Open());
    EXPECT_EQ(link.ReportCount(), 254);
}

// The one interface test discovery and `n640ctl devices` share: each list of capabilities is
// checked against the test itself and against what Open does with an interface that has it.
TEST_F(Discovery, CommandCapabilityDecidesWhatOpenOpens) {
    std::vector<HidValueCap> eleventh(10, Cap(0x01, 0x30));
    eleventh.push_back(Cap(0xFF01, 0x22));
    struct Case {
        const char* name;
        std::vector<HidValueCap> caps;
        std::optional<uint8_t> reportId;  // of the capability that qualifies
    };
    const Case cases[] = {
        {"the vendor feature after another one", {Cap(0x0C, 0x01), Cap(0xFF01, 0x22, 5, 64)}, 5},
        {"usage 0x22 only as the start of a range", {Cap(0xFF01, 0x22, 7, 8, true)}, std::nullopt},
        {"a range before the single usage", {Cap(0xFF01, 0x22, 3, 8, true), Cap(0xFF01, 0x22, 4, 8)}, 4},
        {"a report longer than the request buffer", {Cap(0xFF01, 0x22, 7, 255)}, std::nullopt},
        {"the longest report that fits", {Cap(0xFF01, 0x22, 6, 254)}, 6},
        {"the usage on another page, another usage", {Cap(0xFF00, 0x22), Cap(0xFF01, 0x21)}, std::nullopt},
        {"the vendor feature as the eleventh", eleventh, std::nullopt},
        {"no feature values", {}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<HidValueCap> cap = CommandCapability(c.caps);
        EXPECT_EQ(cap ? std::optional<uint8_t>(cap->reportId) : std::nullopt, c.reportId);
        FakeInterface i;
        i.caps = c.caps;
        hid.interfaces = {{"i", i}};
        EXPECT_EQ(link.Open(), c.reportId.has_value());
        if (c.reportId) {
            EXPECT_EQ(link.ReportId(), *c.reportId);
        }
    }
    EXPECT_TRUE(IsMouseIds(kMouseIds));
    EXPECT_FALSE(IsMouseIds({kMouseVendorId, 0x5C22}));
    EXPECT_FALSE(IsMouseIds(kLoaderIds));
}

TEST_F(Discovery, InterfaceThatCannotBeOpenedIsSkipped) {
    FakeInterface noWrite;
    noWrite.caps = std::vector<HidValueCap>{Cap(0xFF01, 0x22, 1)};
    noWrite.writeError = HidOpenError::Other;
    FakeInterface good;
    good.caps = std::vector<HidValueCap>{Cap(0xFF01, 0x22, 2)};
    hid.interfaces = {{"x", noWrite}, {"y", good}};
    ASSERT_TRUE(link.Open());
    EXPECT_EQ(link.ReportId(), 2);
    EXPECT_EQ(hid.liveHandles, 2);  // the read handle of "x" was closed again
    EXPECT_THAT(hid.opened, ElementsAre("x r", "y r", "y w"));
}

TEST_F(Discovery, NoDeviceAndAccessDenied) {
    EXPECT_FALSE(link.Open());
    EXPECT_EQ(link.LastError().open, HidOpenError::NotFound);
    EXPECT_EQ(link.LastError().text, "");
    EXPECT_FALSE(link.IsOpen());

    // The most telling failure of all the interfaces is kept, with the port's text for it.
    FakeInterface broken;
    broken.caps = std::vector<HidValueCap>{Cap(0xFF01, 0x22)};
    broken.writeError = HidOpenError::Other;
    FakeInterface denied;
    denied.caps = std::vector<HidValueCap>{Cap(0xFF01, 0x22)};
    denied.readError = denied.writeError = HidOpenError::AccessDenied;
    hid.interfaces = {{"b", broken}, {"d", denied}, {"c", broken}};
    EXPECT_FALSE(link.Open());
    EXPECT_EQ(link.LastError().open, HidOpenError::AccessDenied);
    EXPECT_EQ(link.LastError().text, "open d: denied");
    hid.interfaces = {{"b", broken}};
    EXPECT_FALSE(link.Open());
    EXPECT_EQ(link.LastError().open, HidOpenError::Other);
    EXPECT_EQ(link.LastError().text, "open b: failed");
}

TEST_F(Discovery, ReopenClosesFirstAndClosedLinkFailsEverything) {
    FakeInterface good;
    good.caps = std::vector<HidValueCap>{Cap(0xFF01, 0x22)};
    hid.interfaces = {{"g", good}};
    ASSERT_TRUE(link.Open());
    ASSERT_TRUE(link.Open());
    EXPECT_EQ(hid.liveHandles, 2);
    link.Close();
    EXPECT_EQ(hid.liveHandles, 0);
    EXPECT_FALSE(link.IsOpen());

    const uint8_t data[64] = {1};
    std::array<uint8_t, kFeatureBufferSize> reply{};
    EXPECT_FALSE(link.SendFeature(data, 2));
    EXPECT_FALSE(link.ReadFeature(reply));
    EXPECT_FALSE(link.WriteOne(data, 32));
    EXPECT_FALSE(link.WriteBlock(data, 64));
    EXPECT_FALSE(link.SetKeyMatrix(data, 64));
    EXPECT_FALSE(link.GetFirmwareVersion());
    EXPECT_TRUE(log.Events().empty());
}

TEST(DeviceIds, LoaderHardwareIdAndMousePath) {
    EXPECT_TRUE(IsLoaderHardwareId("USB\\VID_04D9&PID_8022&REV_0100"));
    EXPECT_TRUE(IsLoaderHardwareId("usb\\vid_04d9&pid_8022"));
    EXPECT_FALSE(IsLoaderHardwareId("USB\\VID_04D9&PID_8023"));
    EXPECT_TRUE(IsMouseInterfacePath("\\\\?\\hid#vid_3f1c&pid_5c21&mi_01#7&1&0&0000#{4d1e55b2}"));
    EXPECT_FALSE(IsMouseInterfacePath("\\\\?\\hid#vid_3f1c&pid_5c2#7"));
    EXPECT_EQ(IdsText(kMouseIds), "3F1C:5C21");
    EXPECT_EQ(WindowsIdsTag(kLoaderIds), "VID_04D9&PID_8022");  // leading zero kept
    EXPECT_TRUE(NamesDevice(u"\\\\?\\USB#Vid_3f1c&Pid_5C21#6&1a2b", kMouseIds));
}

// A failed call leaves what failed and why, through any wrapper of the handle; Open starts over.
using LinkErrors = SimLinkTest;
TEST_F(LinkErrors, LastErrorNamesTheFailedCallAndItsReason) {
    EXPECT_EQ(link.LastError().text, "");
    mouse.FailCommand(cmd::DpiLevelValue);
    EXPECT_FALSE(link.SetDpiLevelValue(3));
    EXPECT_EQ(link.LastError().text, "set feature report: the simulated mouse refused it");
    EXPECT_TRUE(link.SetLedColour(0x00336699));  // a success keeps the last failure
    EXPECT_EQ(link.LastError().text, "set feature report: the simulated mouse refused it");

    const uint8_t data[kKeyMatrixSize] = {};
    EXPECT_FALSE(link.WriteBlock(data, 33));
    EXPECT_EQ(link.LastError().text, "write (output reports): a block of 33 bytes");
    mouse.SetPlugged(false);
    EXPECT_FALSE(link.SetKeyMatrix(data, sizeof data));
    EXPECT_EQ(link.LastError().text, "set feature report: the simulated mouse was unplugged");
    mouse.SetPlugged(true);
    ASSERT_TRUE(link.Open());
    EXPECT_EQ(link.LastError().text, "");
    mouse.SetPendingWrites(CSimulatedMouse::PendingWrites::NeverComplete);
    EXPECT_FALSE(link.WriteOne(data, 32));
    EXPECT_EQ(link.LastError().text, "wait for a pending write: the simulated mouse refused it");
    link.Close();
    EXPECT_FALSE(link.SetDpiLevelValue(3));
    EXPECT_EQ(link.LastError().text, "set feature report: the mouse is not open");
}

TEST_F(Discovery, ParametersThatDoNotFitTheReportAreRefused) {
    FakeInterface small;
    small.caps = std::vector<HidValueCap>{Cap(0xFF01, 0x22, 7, 3)};
    hid.interfaces = {{"s", small}};
    CRecordingHid recording(hid, log);
    CUSBDriver smallLink(recording, clock);
    ASSERT_TRUE(smallLink.Open());
    EXPECT_FALSE(smallLink.SetLedColour(0x00336699));   // needs five parameter bytes
    EXPECT_EQ(smallLink.LastError().text, "set feature report: 5 parameter bytes do not fit a report of 3");
    EXPECT_TRUE(smallLink.SetDpiLevelValue(3));         // needs three
    ASSERT_EQ(log.Events().size(), 1u);
    EXPECT_EQ(log.Events()[0].Text(), "feature 07 0B 01 03");
}

// --- pacing of the output reports ---

using Pacing = SimLinkTest;

TEST_F(Pacing, BlockOf512BytesIs16ReportsEachBetweenWaits) {
    std::vector<uint8_t> block(512);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i);
    // Data without a command: the simulated mouse notes it, the link does not care.
    ASSERT_TRUE(link.WriteBlock(block.data(), block.size()));
    const auto events = log.Events();
    ASSERT_EQ(events.size(), 48u);
    for (size_t r = 0; r < 16; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(events[r * 3].Text(), "wait 50");
        ASSERT_EQ(events[r * 3 + 1].kind, LinkEvent::Kind::Output);
        ASSERT_EQ(events[r * 3 + 1].bytes.size(), 33u);
        EXPECT_EQ(events[r * 3 + 1].bytes[0], kSimReportId);
        EXPECT_TRUE(std::equal(block.begin() + r * 32, block.begin() + r * 32 + 32, events[r * 3 + 1].bytes.begin() + 1));
        EXPECT_EQ(events[r * 3 + 2].Text(), "wait 50");
    }
}

TEST_F(Pacing, EmptyAndRaggedBlocks) {
    const uint8_t data[33] = {};
    EXPECT_TRUE(link.WriteBlock(data, 0));
    EXPECT_FALSE(link.WriteBlock(data, 33));
    EXPECT_FALSE(link.WriteBlock(nullptr, 32));
    EXPECT_TRUE(log.Events().empty());
}

TEST_F(Pacing, OneReportIsFollowedByExactlyOneWait) {
    const uint8_t data[16] = {0xAB};
    ASSERT_TRUE(link.WriteOne(data, sizeof data));
    const auto events = log.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].bytes[1], 0xAB);
    EXPECT_EQ(events[0].bytes[17], 0x00);  // the 16-byte payload is followed by zeros
    EXPECT_EQ(events[1].Text(), "wait 50");
}

TEST_F(Pacing, PendingWritesAreWaitedForWithABound) {
    mouse.SetPendingWrites(CSimulatedMouse::PendingWrites::CompleteInTime);
    const uint8_t data[64] = {};
    ASSERT_TRUE(link.WriteOne(data, 32));
    EXPECT_THAT(Lines(), ElementsAre(::testing::StartsWith("output"), "wait 50", "pending 1500"));
    log.Clear();
    ASSERT_TRUE(link.WriteBlock(data, 64));
    EXPECT_EQ(Only(LinkEvent::Kind::PendingWait).size(), 2u);

    // A write that never finishes fails the block at once instead of counting as done.
    mouse.SetPendingWrites(CSimulatedMouse::PendingWrites::NeverComplete);
    log.Clear();
    EXPECT_FALSE(link.WriteBlock(data, 64));
    EXPECT_EQ(Only(LinkEvent::Kind::Output).size(), 1u);
    EXPECT_EQ(log.Events().back().Text(), "pending 1500 failed");
}

TEST_F(Pacing, FailedWriteFailsTheBlockAtOnce) {
    const uint8_t data[64] = {};
    mouse.SetPlugged(false);
    EXPECT_FALSE(link.WriteBlock(data, 64));
    EXPECT_EQ(Only(LinkEvent::Kind::Output).size(), 1u);
    EXPECT_FALSE(link.WriteOne(data, 32));
}

// --- one command at a time ---

// A clock that yields on every wait, so that two threads really do interleave.
class YieldingClock final : public IClock {
public:
    void Sleep(uint32_t) override { std::this_thread::yield(); }
    uint64_t TickMs() override { return 0; }
};

TEST(USBDriverThreads, FirmwareQueryNeverInterleavesWithABlock) {
    CSimulatedMouse mouse;
    CSimHidEnumerator sim(mouse);
    CLinkLog log;
    CRecordingHid hid(sim, log);
    YieldingClock yielding;
    CRecordingClock clock(log, &yielding);
    CUSBDriver link(hid, clock);
    ASSERT_TRUE(link.Open());

    MacroRecord record{};
    record.repeatCount = 1;
    record.eventCount = 1;
    record.events[0] = MakeEvent(kEventPress, 65);
    std::atomic<int> versionsRead{0};
    std::thread worker([&] {
        for (int i = 0; i < 5; ++i) link.DownloadMacro(1, record);
    });
    std::thread ui([&] {
        for (int i = 0; i < 20; ++i) {
            if (link.GetFirmwareVersion() == 17) ++versionsRead;
        }
    });
    worker.join();
    ui.join();
    EXPECT_EQ(versionsRead.load(), 20);
    EXPECT_TRUE(mouse.ProtocolErrors().empty());
    // Each download is its feature report followed by its 16 output reports, uninterrupted.
    const auto events = log.Events();
    for (size_t i = 0; i < events.size(); ++i) {
        if (events[i].kind != LinkEvent::Kind::Feature || events[i].bytes[1] != cmd::DownloadMacro) continue;
        int outputs = 0;
        size_t j = i + 1;
        for (; j < events.size() && events[j].kind != LinkEvent::Kind::Feature; ++j)
            if (events[j].kind == LinkEvent::Kind::Output) ++outputs;
        EXPECT_EQ(outputs, 16);
    }
}

} // namespace
} // namespace n640
