#include "platform/Directories.h"

#include <gtest/gtest.h>

namespace n640 {
namespace {

TEST(Directories, WindowsDataDirFollowsTheTemporaryDirectory) {
    EXPECT_EQ(WindowsDataDir(u"C:\\Users\\Ann\\AppData\\Local\\Temp\\"), u"C:\\Users\\Ann\\AppData\\Local\\Temp\\ZENTU\\N640");
    EXPECT_EQ(WindowsDataDir(u"D:\\tmp"), u"D:\\tmp\\ZENTU\\N640");
}

#if !defined(_WIN32)
TEST(Directories, XdgDataDirRules) {
    EXPECT_EQ(XdgDataDir("/data/xdg", "/home/ann"), std::filesystem::path("/data/xdg") / "zentu-n640");
    EXPECT_EQ(XdgDataDir("", "/home/ann"), std::filesystem::path("/home/ann") / ".local" / "share" / "zentu-n640");
    EXPECT_EQ(XdgDataDir(nullptr, "/home/ann"), std::filesystem::path("/home/ann") / ".local" / "share" / "zentu-n640");
    EXPECT_EQ(XdgDataDir("relative/dir", "/home/ann"), std::filesystem::path("/home/ann") / ".local" / "share" / "zentu-n640");
    EXPECT_TRUE(XdgDataDir(nullptr, nullptr).empty());
}
#endif

TEST(Directories, ExplicitFoldersWinAndDefaultsAreAbsolute) {
    const AppDirs given = ResolveDirs(std::filesystem::path("inst"), std::filesystem::path("data"));
    EXPECT_EQ(given.installDir, std::filesystem::path("inst"));
    EXPECT_EQ(given.dataDir, std::filesystem::path("data"));

    const AppDirs defaults = ResolveDirs();
    EXPECT_TRUE(defaults.installDir.is_absolute()) << defaults.installDir;
    EXPECT_TRUE(std::filesystem::is_directory(defaults.installDir));
#if defined(_WIN32)
    const std::u16string data = defaults.dataDir.u16string();
    ASSERT_GE(data.size(), 11u);
    EXPECT_EQ(data.substr(data.size() - 11), u"\\ZENTU\\N640");
#else
    EXPECT_EQ(defaults.dataDir.filename(), "zentu-n640");
#endif
}

} // namespace
} // namespace n640
