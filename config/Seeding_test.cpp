#include "config/Seeding.h"

#include <gtest/gtest.h>

#include "testing/TempDir.h"

namespace n640 {
namespace {

using testing::CTempDir;
using testing::ReadBytes;
using testing::WriteBytes;

std::vector<uint8_t> Content(size_t i) { return std::vector<uint8_t>(3 + i, static_cast<uint8_t>(0x10 + i)); }

class SeedingTest : public ::testing::Test {
protected:
    SeedingTest() {
        for (size_t i = 0; i < kDefaultDataFiles.size(); ++i) WriteBytes(install / kDefaultDataFiles[i], Content(i));
    }
    CTempDir install, root;
    CSystemFiles& files = CSystemFiles::Instance();
};

TEST_F(SeedingTest, FirstRunCopiesTheNineFiles) {
    const std::filesystem::path data = root / "Temp" / "ZENTU" / "N640";
    std::filesystem::remove(install / "Sts.cfg");  // a missing source is skipped silently
    EXPECT_TRUE(SeedDataDir(files, install.path(), data));
    EXPECT_TRUE(std::filesystem::is_directory(data / "Profile"));
    for (size_t i = 0; i < kDefaultDataFiles.size(); ++i) {
        if (kDefaultDataFiles[i] == "Sts.cfg") {
            EXPECT_FALSE(std::filesystem::exists(data / "Sts.cfg"));
            continue;
        }
        EXPECT_EQ(ReadBytes(data / kDefaultDataFiles[i]), Content(i)) << kDefaultDataFiles[i];
    }
}

TEST_F(SeedingTest, ExistingDataDirIsLeftAlone) {
    const std::filesystem::path data = root / "N640";
    std::filesystem::create_directories(data / "Profile");
    WriteBytes(data / "Macro.cfg", std::vector<uint8_t>{0xEE});  // older than the install copy
    EXPECT_FALSE(SeedDataDir(files, install.path(), data));
    EXPECT_EQ(ReadBytes(data / "Macro.cfg"), std::vector<uint8_t>{0xEE});
    EXPECT_FALSE(std::filesystem::exists(data / "Profile" / "Profile3.cfg"));
    EXPECT_FALSE(std::filesystem::exists(data / "Language.cfg"));
}

} // namespace
} // namespace n640
