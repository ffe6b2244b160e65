#include "device/ReportSet.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "testing/LinkFixture.h"

namespace n640 {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using n640::testing::SimLinkTest;

std::unique_ptr<MacroRecord> Macro(uint32_t repeat, std::initializer_list<uint32_t> events) {
    auto r = std::make_unique<MacroRecord>();
    *r = MacroRecord{};
    r->repeatCount = repeat;
    for (uint32_t e : events) r->events[r->eventCount++] = e;
    return r;
}
uint32_t Press(uint32_t vk) { return MakeEvent(kEventPress, vk); }
uint32_t Release(uint32_t vk) { return MakeEvent(kEventRelease, vk); }
uint32_t Delay(uint32_t ms) { return MakeEvent(kEventDelay, ms); }

TEST(ReportSet, DpiCodes) {
    const struct { int32_t dpi; uint8_t code; } cases[] = {
        {250, 1}, {500, 2}, {3500, 14}, {3750, 0x80}, {4000, 0x28}, {5000, 0x2A}, {6000, 0x2C},
        {7000, 0x2E}, {4500, 0x80}, {8000, 0x80}, {0, 0x80}, {-250, 0x80}, {251, 0x80}, {125, 0x80},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(DpiCode(c.dpi), c.code);
        if (c.code != 0x80) {
            EXPECT_EQ(DpiOfCode(c.code), c.dpi);
        }
    }
}

TEST(ReportSet, DpiGroups) {
    const struct {
        int32_t levels[7];
        std::array<uint8_t, 8> group;
        uint8_t levelValue;
    } cases[] = {
        {{750, 1250, 1500, 2000, 2500, 3500, 4000}, {0x03, 0x05, 0x06, 0x08, 0x0A, 0x0E, 0x28, 0x02}, 3},
        {{500, 0, 0, 0, 0, 0, 0}, {0x02, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x02}, 1},
        {{0, 0, 0, 0, 0, 0, 0}, {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x02}, 0},
        {{1000, 999, 2000, 0, 0, 0, 0}, {0x04, 0x80, 0x08, 0x80, 0x80, 0x80, 0x80, 0x02}, 2},
    };
    for (const auto& c : cases) {
        const DpiGroup group = MakeDpiGroup(c.levels);
        EXPECT_EQ(group.bytes, c.group);
        EXPECT_EQ(DpiLevelValueOf(group), c.levelValue);
        const auto table = DpiTableData(group);
        EXPECT_TRUE(std::equal(c.group.begin(), c.group.end(), table.begin()));
        EXPECT_TRUE(std::equal(c.group.begin(), c.group.end(), table.begin() + 8));
    }
}

TEST(ReportSet, LightEffects) {
    // brightness, breath speed and cycle speed above one byte: only their low byte is sent.
    const int32_t brightness = 0x1FE, breath = 7, cycle = 0x103, own = 1;
    const struct { int32_t mode; LightEffect effect; } cases[] = {
        {1, {1, 0xFE, 1}}, {2, {2, 7, 1}}, {3, {3, 2, 3}}, {4, {4, 10, 2}}, {5, {5, 0x03, 1}},
        {6, {0, 0, 0}}, {0, {0, 0, 0}}, {7, {0, 0, 0}}, {-1, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        EXPECT_EQ(LightEffectOf(c.mode, brightness, breath, cycle, own), c.effect);
    }
}

TEST(ReportSet, ReportIntervals) {
    const struct { int32_t interval; uint8_t sent; } cases[] = {
        {1, 1}, {2, 2}, {4, 4}, {8, 8}, {0, 2}, {3, 2}, {16, 2}, {-1, 2}, {0x101, 2},
    };
    for (const auto& c : cases) EXPECT_EQ(ReportIntervalByte(c.interval), c.sent) << c.interval;
}

TEST(ReportSet, ColourByteOrders) {
    EXPECT_THAT(LedColourBytes(0x00336699), ElementsAre(0x66, 0x99, 0x33));
    const uint32_t colours[3] = {0x00030201, 0x00060504, 0x00090807};
    const auto data = CycleColoursData(colours);
    EXPECT_THAT(std::vector<uint8_t>(data.begin(), data.begin() + 9), ElementsAre(1, 2, 3, 4, 5, 6, 7, 8, 9));
    EXPECT_TRUE(std::all_of(data.begin() + 9, data.end(), [](uint8_t b) { return b == 0; }));
}

TEST(ReportSet, KeyMatrixIsLittleEndian) {
    uint32_t matrix[16] = {0x00F00001};
    matrix[15] = 0x00020004;
    const auto data = KeyMatrixData(matrix);
    EXPECT_THAT(std::vector<uint8_t>(data.begin(), data.begin() + 4), ElementsAre(0x01, 0x00, 0xF0, 0x00));
    EXPECT_THAT(std::vector<uint8_t>(data.end() - 4, data.end()), ElementsAre(0x04, 0x00, 0x02, 0x00));
}

// The entries of a block from entry 0, as many as asked for.
std::vector<uint8_t> Entries(const MacroBlock& block, size_t count) {
    return std::vector<uint8_t>(block.bytes.begin(), block.bytes.begin() + count * 2);
}

TEST(ReportSet, MacroEncodings) {
    const uint32_t A = 65;
    {
        SCOPED_TRACE("press, short pause, release");
        const MacroBlock b = EncodeMacroBlock(*Macro(1, {Press(A), Delay(50), Release(A)}));
        EXPECT_EQ(b.entries, 3u);
        EXPECT_THAT(Entries(b, 4), ElementsAre(0x00, 0x01, 0x06, 0x04, 0x81, 0x04, 0x00, 0x00));
    }
    {
        SCOPED_TRACE("2000 ms in 20 ms units");
        const MacroBlock b = EncodeMacroBlock(*Macro(0x0102, {Press(A), Delay(2000), Release(A)}));
        EXPECT_EQ(b.entries, 5u);
        EXPECT_THAT(Entries(b, 5), ElementsAre(0x01, 0x02, 0x01, 0x04, 0x00, 0x01, 0x00, 0x64, 0x81, 0x04));
    }
    {
        SCOPED_TRACE("1270 ms rides on the press");
        const MacroBlock b = EncodeMacroBlock(*Macro(1, {Press(A), Delay(1270)}));
        EXPECT_EQ(b.entries, 2u);
        EXPECT_EQ(b.bytes[2], 0x80);
    }
    {
        SCOPED_TRACE("mouse buttons and Enter");
        const MacroBlock b = EncodeMacroBlock(*Macro(1, {Press(1), Press(2), Press(4), Press(13), Press(0x141)}));
        EXPECT_THAT(Entries(b, 6), ElementsAre(0x00, 0x01, 0x01, 0xF0, 0x01, 0xF1, 0x01, 0xF2, 0x01, 0x28, 0x01, 0x00));
    }
}

TEST(ReportSet, MacroDelayUnits) {
    const struct { uint32_t ms; uint8_t unit; uint16_t count; } cases[] = {
        {1280, 1, 64}, {1310700, 1, 65535}, {1310701, 2, 26214}, {3276750, 2, 65535},
        {3276751, 3, 32767}, {6553500, 3, 65535},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ms);
        const MacroBlock b = EncodeMacroBlock(*Macro(1, {Press(65), Delay(c.ms)}));
        EXPECT_EQ(b.entries, 4u);
        EXPECT_THAT(std::vector<uint8_t>(b.bytes.begin() + 4, b.bytes.begin() + 8),
                    ElementsAre(0x00, c.unit, c.count >> 8, c.count & 0xFF));
    }
    // Beyond the longest unit: one empty entry.
    const MacroBlock b = EncodeMacroBlock(*Macro(1, {Press(65), Delay(6553501), Release(65)}));
    EXPECT_EQ(b.entries, 4u);
    EXPECT_THAT(Entries(b, 4), ElementsAre(0x00, 0x01, 0x01, 0x04, 0x00, 0x00, 0x81, 0x04));
}

TEST(ReportSet, MacroFillingTheBlock) {
    auto full = Macro(1, {});
    for (uint32_t i = 0; i < 300; ++i) full->events[full->eventCount++] = i % 2 ? Release(66) : Press(65);
    const MacroBlock b = EncodeMacroBlock(*full);
    EXPECT_EQ(b.entries, 256u);
    EXPECT_EQ(b.entries & 0xFF, 0u);   // the count's low byte in the device code
    EXPECT_EQ(b.bytes[510], 0x01);     // entry 255 is the 255th event, a press
    EXPECT_EQ(b.bytes[511], 0x04);

    // A long pause needs two entries: with one left it is not sent, nor is anything after it.
    auto tight = Macro(1, {});
    for (uint32_t i = 0; i < 254; ++i) tight->events[tight->eventCount++] = Press(65);
    tight->events[tight->eventCount++] = Delay(2000);
    tight->events[tight->eventCount++] = Press(66);
    const MacroBlock t = EncodeMacroBlock(*tight);
    EXPECT_EQ(t.entries, 255u);
    EXPECT_EQ(t.bytes[510], 0x00);
    EXPECT_EQ(t.bytes[511], 0x00);
}

TEST(ReportSet, MacroGuards) {
    // A pause before any key has nothing to ride on: the repeat count in the header stays.
    const MacroBlock lead = EncodeMacroBlock(*Macro(0x0203, {Delay(500), Press(65)}));
    EXPECT_THAT(Entries(lead, 2), ElementsAre(0x02, 0x03, 0x01, 0x04));
    // An event count beyond the record's room reads no further than the record.
    auto bogus = Macro(1, {});
    bogus->eventCount = 100000;
    EXPECT_EQ(EncodeMacroBlock(*bogus).entries, 1u);
}

TEST(ReportSet, FirmwareAnswers) {
    const uint8_t good[] = {0x02, 0x80, 0x01, 0x07};
    EXPECT_EQ(FirmwareVersionOf(good, sizeof good), 17);
    const uint8_t wrong[] = {0x02, 0x81, 0x01, 0x07};
    EXPECT_EQ(FirmwareVersionOf(wrong, sizeof wrong), std::nullopt);
    EXPECT_EQ(FirmwareVersionOf(good, 3), std::nullopt);
    EXPECT_EQ(FirmwareVersionOf(nullptr, 4), std::nullopt);
}

// --- the commands as they go over the link ---

using ReportSetLink = SimLinkTest;

TEST_F(ReportSetLink, SingleFeatureCommands) {
    EXPECT_TRUE(link.SetLedColour(0x00336699));
    EXPECT_TRUE(link.SetReportInterval(3));
    EXPECT_TRUE(link.SetDpiLevelValue(3));
    EXPECT_TRUE(link.SetLightEffect({5, 9, 1}));
    // Every feature report is reportCount + 1 bytes, report id first, zero after the parameters.
    EXPECT_THAT(Lines(), ElementsAre("feature 02 0C 01 66 99 33 00 00 00", "feature 02 01 02 00 00 00 00 00 00",
                                     "feature 02 0B 01 03 00 00 00 00 00", "feature 02 0D 01 05 09 01 00 00 00"));
}

TEST_F(ReportSetLink, DataCommandsAndTheirPacing) {
    const int32_t levels[7] = {750, 1250, 1500, 2000, 2500, 3500, 4000};
    const auto table = DpiTableData(MakeDpiGroup(levels));
    ASSERT_TRUE(link.SetDpiTable(table.data(), table.size()));
    EXPECT_THAT(Lines(), ElementsAre("feature 02 11 01 07 10 00 00 00 00", "wait 50",
                                     "output 02 03 05 06 08 0A 0E 28 02 03 05 06 08 0A 0E 28 02"
                                     " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00",
                                     "wait 50"));
    log.Clear();
    uint32_t matrix[16] = {};
    const auto data = KeyMatrixData(matrix);
    ASSERT_TRUE(link.SetKeyMatrix(data.data(), data.size()));
    const auto events = log.Events();
    ASSERT_EQ(events.size(), 8u);
    EXPECT_EQ(events[0].Text(), "feature 02 12 01 00 40 00 00 00 00");
    EXPECT_EQ(events[1].Text(), "wait 100");
    for (size_t i = 2; i < 8; i += 3) {
        EXPECT_EQ(events[i].Text(), "wait 50");
        EXPECT_EQ(events[i + 1].kind, LinkEvent::Kind::Output);
        EXPECT_EQ(events[i + 2].Text(), "wait 50");
    }
    log.Clear();
    const uint32_t colours[3] = {1, 2, 3};
    const auto cycle = CycleColoursData(colours);
    ASSERT_TRUE(link.SetCycleColours(cycle.data(), cycle.size()));
    EXPECT_EQ(Lines().front(), "feature 02 09 01 00 20 00 00 00 00");
    EXPECT_EQ(Only(LinkEvent::Kind::Output).size(), 1u);
}

TEST_F(ReportSetLink, MacroDownload) {
    const uint32_t entries = link.DownloadMacro(3, *Macro(1, {Press(65), Delay(50), Release(65)}));
    EXPECT_EQ(entries, 3u);
    const auto events = log.Events();
    ASSERT_EQ(events.size(), 2u + 16 * 3);
    EXPECT_EQ(events[0].Text(), "feature 02 13 01 03 00 02 00 00 00");
    EXPECT_EQ(events[1].Text(), "wait 100");
    EXPECT_THAT(std::vector<uint8_t>(events[3].bytes.begin(), events[3].bytes.begin() + 7),
                ElementsAre(0x02, 0x00, 0x01, 0x06, 0x04, 0x81, 0x04));

    // A refused command sends no block, and the count is returned all the same.
    mouse.FailCommand(cmd::DownloadMacro);
    log.Clear();
    EXPECT_EQ(link.DownloadMacro(3, *Macro(1, {Press(65)})), 2u);
    EXPECT_TRUE(Only(LinkEvent::Kind::Output).empty());
}

TEST_F(ReportSetLink, FirmwareVersion) {
    EXPECT_EQ(link.GetFirmwareVersion(), 17);
    EXPECT_THAT(Lines(), ElementsAre("feature 02 80 00 00 00 00 00 00 00", "wait 50",
                                     "read 02 80 01 07 00 00 00 00 00"));
    mouse.SetFirmwareVersion(2, 3);
    EXPECT_EQ(link.GetFirmwareVersion(), 23);
    mouse.FailCommand(cmd::FirmwareVersion);
    EXPECT_EQ(link.GetFirmwareVersion(), std::nullopt);
}

TEST_F(ReportSetLink, WrongLengthsAndNullPointersSendNothing) {
    const uint8_t data[65] = {};
    EXPECT_FALSE(link.SetCycleColours(nullptr, 32));
    EXPECT_FALSE(link.SetCycleColours(data, 31));
    EXPECT_FALSE(link.SetCycleColours(data, 33));
    EXPECT_FALSE(link.SetDpiTable(nullptr, 16));
    EXPECT_FALSE(link.SetDpiTable(data, 15));
    EXPECT_FALSE(link.SetDpiTable(data, 32));
    EXPECT_FALSE(link.SetKeyMatrix(nullptr, 64));
    EXPECT_FALSE(link.SetKeyMatrix(data, 63));
    EXPECT_FALSE(link.SetKeyMatrix(data, 65));
    EXPECT_FALSE(link.WriteOne(nullptr, 16));
    EXPECT_FALSE(link.WriteOne(data, 33));
    EXPECT_FALSE(link.SendFeature(nullptr, 3));
    EXPECT_TRUE(log.Events().empty());
}

TEST_F(ReportSetLink, FailedFeatureStopsADataCommand) {
    mouse.FailCommand(cmd::KeyMatrix);
    const uint8_t data[64] = {};
    EXPECT_FALSE(link.SetKeyMatrix(data, sizeof data));
    EXPECT_EQ(log.Events().size(), 1u);
}

} // namespace
} // namespace n640
