#include "platform/File.h"

#include <gtest/gtest.h>

#include <array>

#include "testing/TempDir.h"

namespace n640 {
namespace {

using testing::CTempDir;
using testing::ReadBytes;
using testing::WriteBytes;

TEST(Files, ReadTellsMissingFileFromMissingFolderFromSuccess) {
    CTempDir dir;
    CSystemFiles& files = CSystemFiles::Instance();
    WriteBytes(dir / "five", std::vector<uint8_t>{1, 2, 3, 4, 5});
    std::array<uint8_t, 8> buffer{};
    size_t got = 99;

    EXPECT_EQ(files.Read(dir / "five", buffer.data(), 3, &got), FileStatus::Ok);
    EXPECT_EQ(got, 3u);  // a long file is read only up to the capacity
    EXPECT_EQ(files.Read(dir / "five", buffer.data(), buffer.size(), &got), FileStatus::Ok);
    EXPECT_EQ(got, 5u);
    EXPECT_EQ(buffer[4], 5);

    EXPECT_EQ(files.Read(dir / "absent", buffer.data(), buffer.size(), &got), FileStatus::NotFound);
    EXPECT_EQ(files.Read(dir / "no" / "such" / "file", buffer.data(), buffer.size(), &got), FileStatus::NotFound);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(files.OpenExisting(dir / "absent"), FileStatus::NotFound);
    EXPECT_EQ(files.WriteFlushed(dir / "no" / "file", "x", 1), FileStatus::NotFound);
}

TEST(Files, ReplacingWriteCreatesAndReplaces) {
    CTempDir dir;
    CSystemFiles& files = CSystemFiles::Instance();
    const std::vector<uint8_t> first(1000, 0xAA), second{7, 8, 9};
    ASSERT_EQ(WriteFileReplacing(files, dir / "data.cfg", first.data(), first.size()), FileStatus::Ok);
    EXPECT_EQ(ReadBytes(dir / "data.cfg"), first);
    ASSERT_EQ(WriteFileReplacing(files, dir / "data.cfg", second.data(), second.size()), FileStatus::Ok);
    EXPECT_EQ(ReadBytes(dir / "data.cfg"), second);  // truncated, not overlaid
    EXPECT_FALSE(std::filesystem::exists(TemporaryFileFor(dir / "data.cfg")));
    EXPECT_EQ(WriteFileReplacing(files, dir / "gone" / "data.cfg", second.data(), second.size()), FileStatus::NotFound);
}

// A crash or a full disk between writing the new bytes and putting them in place.
class CFailingStep : public CSystemFiles {
public:
    bool failWrite = false;
    bool failReplace = false;
    FileStatus WriteFlushed(const std::filesystem::path& file, const void* data, size_t size) override {
        if (failWrite) {
            CSystemFiles::WriteFlushed(file, data, size / 2);  // half written, then the disk is full
            return FileStatus::Failed;
        }
        return CSystemFiles::WriteFlushed(file, data, size);
    }
    FileStatus Replace(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return failReplace ? FileStatus::Failed : CSystemFiles::Replace(from, to);
    }
};

TEST(Files, FailedWriteLeavesTheOldFileIntact) {
    for (const bool atReplace : {false, true}) {
        SCOPED_TRACE(atReplace ? "replace fails" : "write fails");
        CTempDir dir;
        const std::vector<uint8_t> old{1, 2, 3, 4, 5, 6}, next(5000, 0x55);
        WriteBytes(dir / "Macro.cfg", old);
        CFailingStep files;
        files.failWrite = !atReplace;
        files.failReplace = atReplace;
        EXPECT_EQ(WriteFileReplacing(files, dir / "Macro.cfg", next.data(), next.size()), FileStatus::Failed);
        EXPECT_EQ(ReadBytes(dir / "Macro.cfg"), old);
        EXPECT_FALSE(std::filesystem::exists(TemporaryFileFor(dir / "Macro.cfg")));
    }
}

TEST(Files, CopyNewNeverOverwrites) {
    CTempDir dir;
    CSystemFiles& files = CSystemFiles::Instance();
    WriteBytes(dir / "a", std::vector<uint8_t>{1});
    WriteBytes(dir / "b", std::vector<uint8_t>{2});
    EXPECT_NE(files.CopyNew(dir / "a", dir / "b"), FileStatus::Ok);
    EXPECT_EQ(ReadBytes(dir / "b"), std::vector<uint8_t>{2});
    EXPECT_EQ(files.CopyNew(dir / "a", dir / "c"), FileStatus::Ok);
    EXPECT_EQ(ReadBytes(dir / "c"), std::vector<uint8_t>{1});
    EXPECT_EQ(files.CopyNew(dir / "absent", dir / "d"), FileStatus::NotFound);
    EXPECT_EQ(files.CreateDirectories(dir / "x" / "y" / "z"), FileStatus::Ok);
    EXPECT_EQ(files.CreateDirectories(dir / "x" / "y"), FileStatus::Ok);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "x" / "y" / "z"));
}

TEST(Files, ReadOnlyFileIsAccessDeniedAndKept) {
    CTempDir dir;
    CSystemFiles& files = CSystemFiles::Instance();
    const std::vector<uint8_t> old{9, 9, 9}, next{1};
    WriteBytes(dir / "locked.cfg", old);
    testing::MakeReadOnly(dir / "locked.cfg");
    const FileStatus status = WriteFileReplacing(files, dir / "locked.cfg", next.data(), next.size());
    if (status == FileStatus::Ok)
        GTEST_SKIP() << "this account may replace read-only files (root), so access cannot be refused here";
    EXPECT_EQ(status, FileStatus::AccessDenied);
    EXPECT_EQ(ReadBytes(dir / "locked.cfg"), old);
    EXPECT_FALSE(std::filesystem::exists(TemporaryFileFor(dir / "locked.cfg")));
}

} // namespace
} // namespace n640
