#include "device/sim/SimulatedMouse.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "testing/LinkFixture.h"

namespace n640 {
namespace {

using ::testing::HasSubstr;
using n640::testing::SimLinkTest;

using SimulatedMouse = SimLinkTest;

MacroRecord PressPauseRelease() {
    MacroRecord r{};
    r.repeatCount = 1;
    r.events[r.eventCount++] = MakeEvent(kEventPress, 65);
    r.events[r.eventCount++] = MakeEvent(kEventDelay, 50);
    r.events[r.eventCount++] = MakeEvent(kEventRelease, 65);
    return r;
}

TEST_F(SimulatedMouse, EveryCommandDecodesBackToWhatWasSent) {
    uint32_t matrix[16] = {0x00F00001, 0x00F10001, 0x00F20001, kKeyMatrixSlot3, 0x00F30001, 0x00060100,
                           0, 0, 0, 0, 0, 0, 0, 0, 0x0218F00A, 0x03020009};
    const auto matrixData = KeyMatrixData(matrix);
    const int32_t levels[7] = {750, 1250, 1500, 2000, 2500, 3500, 4000};
    const DpiGroup group = MakeDpiGroup(levels);
    const auto table = DpiTableData(group);
    const uint32_t colours[3] = {0x00112233, 0x00445566, 0x00778899};
    const auto cycle = CycleColoursData(colours);
    const MacroRecord macro = PressPauseRelease();

    ASSERT_TRUE(link.SetKeyMatrix(matrixData.data(), matrixData.size()));
    ASSERT_TRUE(link.SetLedColour(0x00336699));
    ASSERT_TRUE(link.SetLightEffect(LightEffectOf(5, 0, 0, 7, 1)));
    ASSERT_TRUE(link.SetCycleColours(cycle.data(), cycle.size()));
    ASSERT_TRUE(link.SetDpiTable(table.data(), table.size()));
    ASSERT_TRUE(link.SetDpiLevelValue(DpiLevelValueOf(group)));
    ASSERT_TRUE(link.SetReportInterval(4));
    EXPECT_EQ(link.DownloadMacro(2, macro), 3u);

    const SimMemory m = mouse.Memory();
    EXPECT_TRUE(std::equal(std::begin(matrix), std::end(matrix), m.keyMatrix));
    EXPECT_EQ(m.ledColour, 0x00336699u);
    EXPECT_THAT(m.effect, ::testing::ElementsAre(5, 7, 1));
    EXPECT_TRUE(std::equal(cycle.begin(), cycle.end(), m.cycleColours));
    EXPECT_TRUE(std::equal(table.begin(), table.end(), m.dpiTable));
    EXPECT_EQ(m.dpiLevelValue, 3);
    EXPECT_EQ(m.reportInterval, 4);
    const MacroBlock block = EncodeMacroBlock(macro);
    EXPECT_TRUE(std::equal(block.bytes.begin(), block.bytes.end(), m.macros[1]));
    EXPECT_TRUE(mouse.ProtocolErrors().empty());

    const std::string text = mouse.Describe();
    for (const char* line : {"slot 0: button left\n", "slot 3: fixed\n", "slot 5: key Ctrl+C\n",
                             "slot 6: none\n", "slot 14: fire\n", "slot 15: macro slot 2, 3 entries\n",
                             "macro 2: repeat 1: press A, 50 ms, release A\n", "macro 1: empty\n",
                             "dpi levels: 750, 1250, 1500, 2000, 2500, 3500, 4000\n", "led colour 0x00336699\n",
                             "light effect 5 7 1\n", "cycle colours: 0x00112233, 0x00445566, 0x00778899\n",
                             "report interval 4 ms\n", "firmware 17\n"})
        EXPECT_THAT(text, HasSubstr(line));
}

// The one parser of the driver's --fail-command and the tool's N640_SIM_FAIL.
TEST(SimFaults, NamesAndCodes) {
    EXPECT_EQ(ParseSimFault("key-matrix"), cmd::KeyMatrix);
    EXPECT_EQ(ParseSimFault("firmware"), cmd::FirmwareVersion);
    EXPECT_EQ(ParseSimFault("0x11"), cmd::DpiTable);
    EXPECT_EQ(ParseSimFault("0X0b"), cmd::DpiLevelValue);
    EXPECT_EQ(ParseSimFault("18"), 18);
    EXPECT_EQ(ParseSimFault("255"), 255);
    for (const char* bad : {"", "0x", "256", "0x100", "-1", "key matrix", "Key-Matrix", "12a", "0xg"}) {
        EXPECT_EQ(ParseSimFault(bad), std::nullopt) << bad;
    }
    EXPECT_EQ(ParseSimFault(u"macro"), cmd::DownloadMacro);
    EXPECT_EQ(ParseSimFault(u"m\u00e4cro"), std::nullopt);
    EXPECT_EQ(SimFaultNameList().rfind("report-interval, cycle-colours, ", 0), 0u);
    EXPECT_EQ(SimFaultNameList().size() - SimFaultNameList().rfind(", firmware"), 10u);
}

TEST_F(SimulatedMouse, FailedCommandSendsNoData) {
    mouse.FailCommand(cmd::DpiTable);
    const uint8_t table[16] = {1};
    EXPECT_FALSE(link.SetDpiTable(table, sizeof table));
    EXPECT_TRUE(Only(LinkEvent::Kind::Output).empty());
    EXPECT_TRUE(link.SetLedColour(0x00010203));  // other commands still work
    mouse.ClearFailures();
    EXPECT_TRUE(link.SetDpiTable(table, sizeof table));
}

TEST_F(SimulatedMouse, UnplugAndLoaderMode) {
    mouse.SetPlugged(false);
    EXPECT_FALSE(link.GetFirmwareVersion());
    EXPECT_FALSE(link.Open());
    mouse.SetPlugged(true);
    EXPECT_FALSE(link.GetFirmwareVersion());  // handles of the old connection stay dead
    ASSERT_TRUE(link.Open());
    EXPECT_TRUE(link.GetFirmwareVersion());

    CSimLoaderSearch loader(mouse);
    EXPECT_FALSE(loader.LoaderPresent());
    mouse.SetLoaderMode(true);
    EXPECT_TRUE(loader.LoaderPresent());
    EXPECT_FALSE(link.Open());
}

TEST_F(SimulatedMouse, PendingWritesThatComplete) {
    mouse.SetPendingWrites(CSimulatedMouse::PendingWrites::CompleteInTime);
    ASSERT_EQ(link.DownloadMacro(1, PressPauseRelease()), 3u);
    EXPECT_THAT(mouse.Describe(), HasSubstr("macro 1: repeat 1: press A, 50 ms, release A\n"));
}

TEST_F(SimulatedMouse, ReportsProtocolFaults) {
    // Raw reports the link would never send: the mouse refuses and says why.
    const uint8_t badMarker[9] = {kSimReportId, cmd::LedColour, 0x02, 1, 2, 3};
    EXPECT_FALSE(mouse.OnSetFeature(badMarker, sizeof badMarker));
    const uint8_t badSlot[9] = {kSimReportId, cmd::DownloadMacro, 0x01, 8, 0x00, 0x02};
    EXPECT_FALSE(mouse.OnSetFeature(badSlot, sizeof badSlot));
    const uint8_t shortReport[5] = {kSimReportId, cmd::FirmwareVersion};
    EXPECT_FALSE(mouse.OnSetFeature(shortReport, sizeof shortReport));
    const uint8_t matrix[9] = {kSimReportId, cmd::KeyMatrix, 0x01, 0x00, 0x40};
    EXPECT_TRUE(mouse.OnSetFeature(matrix, sizeof matrix));
    EXPECT_FALSE(mouse.OnSetFeature(badMarker, 0));
    const uint8_t query[9] = {kSimReportId, cmd::FirmwareVersion};
    EXPECT_TRUE(mouse.OnSetFeature(query, sizeof query));  // before the matrix data was complete
    EXPECT_EQ(mouse.ProtocolErrors().size(), 5u);
}

TEST(SimulatedMouseFile, MemorySurvivesBetweenRuns) {
    const std::string path =
        (std::filesystem::temp_directory_path() /
         ("n640-sim-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".bin"))
            .string();
    {
        CSimulatedMouse first;
        CSimHidEnumerator sim(first);
        CLinkLog log;
        CRecordingClock clock(log);
        CUSBDriver link(sim, clock);
        ASSERT_TRUE(link.Open());
        ASSERT_TRUE(link.SetLedColour(0x00ABCDEF));
        ASSERT_EQ(link.DownloadMacro(7, PressPauseRelease()), 3u);
        ASSERT_TRUE(first.SaveFile(path));
    }
    CSimulatedMouse second;
    ASSERT_TRUE(second.LoadFile(path));
    EXPECT_EQ(second.Memory().ledColour, 0x00ABCDEFu);
    EXPECT_THAT(second.Describe(), HasSubstr("macro 7: repeat 1: press A, 50 ms, release A\n"));

    // A file that is not a saved memory leaves the memory as it was.
    { std::ofstream(path, std::ios::binary | std::ios::trunc) << "not a mouse"; }
    EXPECT_FALSE(second.LoadFile(path));
    EXPECT_EQ(second.Memory().ledColour, 0x00ABCDEFu);
    std::filesystem::remove(path);
    EXPECT_FALSE(second.LoadFile(path));
}

} // namespace
} // namespace n640
