// The default data files the build writes into dist/, checked byte by byte.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "config/Seeding.h"
#include "testing/TempDir.h"

namespace n640 {
namespace {

std::filesystem::path DistDir() {
    const char* binary = std::getenv("N640_BINARY_DIR");
    if (!binary) return {};
    std::string dir = binary;
#if defined(_WIN32)
    if (!dir.empty() && dir[0] == '/') dir = "Z:" + dir;  // a Linux path seen from Wine
#endif
    return std::filesystem::path(dir) / "dist";
}

uint32_t Word(const std::vector<uint8_t>& b, size_t offset) {
    uint32_t w = 0;
    std::memcpy(&w, b.data() + offset, 4);
    return w;
}

class DefaultDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        dist = DistDir();
        if (dist.empty()) GTEST_SKIP() << "N640_BINARY_DIR is not set: run through ctest";
    }
    std::vector<uint8_t> File(std::string_view rel) { return testing::ReadBytes(dist / rel); }
    std::filesystem::path dist;
};

TEST_F(DefaultDataTest, SmallFilesAndTheFreeMacroLibrary) {
    const auto macros = File("Macro.cfg");
    ASSERT_EQ(macros.size(), 2052000u);
    EXPECT_EQ(std::count(macros.begin(), macros.end(), 0), 2052000);
    EXPECT_EQ(File("Language.cfg"), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(File("Sts.cfg"), std::vector<uint8_t>(24, 0));
}

TEST_F(DefaultDataTest, ConfigInfoHasFiveValidSlotsWithSlotZeroActive) {
    const auto info = File("Profile/ConfigInfo.cfg");
    ASSERT_EQ(info.size(), 8000u);
    for (size_t i = 0; i < info.size(); i += 4) {
        const size_t slot = i / 1600, at = i % 1600;
        const uint32_t expected = at == 0 ? 0xBEBE : (at == 4 && slot == 0) ? 1 : 0;
        ASSERT_EQ(Word(info, i), expected) << "offset " << i;
    }
}

TEST_F(DefaultDataTest, FiveFactoryProfiles) {
    const auto first = File("Profile/Profile1.cfg");
    ASSERT_EQ(first.size(), 22252u);
    EXPECT_EQ(Word(first, 0), 0x80800302u);
    const int types[] = {1, 4, 2, 8, 16, 11, 22};
    const char* labels[] = {"Click", "Middle", "Menu", "Forward", "Back", "Scroll up", "Scroll down"};
    size_t nonZero = 1;  // the magic word
    for (int i = 0; i < 7; ++i) {
        const size_t base = 4 + 3148 * i;
        EXPECT_EQ(Word(first, base), static_cast<uint32_t>(types[i]));
        std::string label;
        for (size_t k = base + 548; first[k] || first[k + 1]; k += 2) label.push_back(static_cast<char>(first[k]));
        EXPECT_EQ(label, labels[i]);
        nonZero += 1 + label.size();
    }
    const uint32_t tail[] = {750, 1250, 1500, 2000, 2500, 3500, 4000};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(Word(first, 22040 + 4 * i), tail[i]);
    const std::pair<size_t, uint32_t> fields[] = {{22160, 15}, {22164, 1}, {22168, 5}, {22172, 0}, {22176, 255},
                                                  {22188, 255}, {22192, 1}, {22204, 1}, {22208, 0}, {22228, 0},
                                                  {22232, 10}, {22236, 5}, {22240, 3}, {22244, 4}, {22248, 3}};
    for (auto [offset, value] : fields) EXPECT_EQ(Word(first, offset), value) << offset;
    // Non-zero words of the tail: 7 DPI levels and 16 fields (15, 1, 5, 4 x 255, 4 x 1, 10, 5, 3, 4, 3).
    size_t nonZeroWords = 0;
    for (size_t i = 22040; i < first.size(); i += 4) nonZeroWords += Word(first, i) != 0;
    EXPECT_EQ(nonZeroWords, 7u + 16u);
    size_t nonZeroUnits = 0;  // in the button records: type words and label characters
    for (size_t i = 4; i < 22040; i += 2) nonZeroUnits += (first[i] | first[i + 1]) != 0;
    EXPECT_EQ(nonZeroUnits + 1, nonZero);

    for (int n = 2; n <= 5; ++n) EXPECT_EQ(File("Profile/Profile" + std::to_string(n) + ".cfg"), first) << n;
}

TEST_F(DefaultDataTest, EveryDefaultFileIsThere) {
    for (std::string_view rel : kDefaultDataFiles) EXPECT_TRUE(std::filesystem::exists(dist / rel)) << rel;
}

} // namespace
} // namespace n640
