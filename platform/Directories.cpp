#include "platform/Directories.h"

namespace n640 {

std::u16string WindowsDataDir(std::u16string_view tempPath) {
    std::u16string dir(tempPath);
    if (!dir.empty() && dir.back() != u'\\' && dir.back() != u'/') dir.push_back(u'\\');
    dir += u"ZENTU\\N640";
    return dir;
}

std::filesystem::path XdgDataDir(const char* xdgDataHome, const char* home) {
    if (xdgDataHome && *xdgDataHome) {
        std::filesystem::path base(xdgDataHome);
        if (base.is_absolute()) return base / "zentu-n640";
    }
    if (home && *home) return std::filesystem::path(home) / ".local" / "share" / "zentu-n640";
    return {};
}

AppDirs ResolveDirs(const std::optional<std::filesystem::path>& installDir,
                    const std::optional<std::filesystem::path>& dataDir) {
    AppDirs dirs;
    dirs.installDir = installDir ? *installDir : ExecutableDir();
    dirs.dataDir = dataDir ? *dataDir : DefaultDataDir();
    return dirs;
}

} // namespace n640
