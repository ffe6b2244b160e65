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

// A disk that takes a copy but keeps only part of it, and one that refuses another copy outright.
class CLossyCopies : public CSystemFiles {
public:
    FileStatus CopyNew(const std::filesystem::path& from, const std::filesystem::path& to) override {
        if (to.filename() == "Profile2.cfg") {
            WriteBytes(to, std::vector<uint8_t>{0x10});  // reported as done, but short
            return FileStatus::Ok;
        }
        if (to.filename() == "Profile3.cfg") return FileStatus::Failed;
        return CSystemFiles::CopyNew(from, to);
    }
};

TEST_F(SeedingTest, CopiesAreReadBackAndFailuresListed) {
    const std::filesystem::path data = root / "N640";
    std::filesystem::create_directories(data);  // an existing, empty folder
    CLossyCopies lossy;
    const SeedReport report = CopyDefaultDataFiles(lossy, install.path(), data);
    ASSERT_EQ(report.failed.size(), 2u);
    EXPECT_EQ(report.failed[0].file, data / "Profile" / "Profile2.cfg");
    EXPECT_EQ(report.failed[1].file, data / "Profile" / "Profile3.cfg");
    EXPECT_EQ(report.copied.size(), kDefaultDataFiles.size() - 2);
    EXPECT_FALSE(std::filesystem::exists(data / "Profile" / "Profile2.cfg"));  // no half copy stays
    EXPECT_FALSE(std::filesystem::exists(data / "Profile" / "Profile3.cfg"));
    for (const auto& file : report.copied) EXPECT_FALSE(ReadBytes(file).empty()) << file;

    // A second run copies only what is still missing and leaves the rest alone.
    WriteBytes(data / "Macro.cfg", std::vector<uint8_t>{0xEE});
    const SeedReport again = CopyDefaultDataFiles(files, install.path(), data);
    EXPECT_TRUE(again.failed.empty());
    EXPECT_EQ(again.copied.size(), 2u);
    EXPECT_EQ(ReadBytes(data / "Macro.cfg"), std::vector<uint8_t>{0xEE});
    EXPECT_EQ(ReadBytes(data / "Profile" / "Profile2.cfg"), Content(5));
}

} // namespace
} // namespace n640
