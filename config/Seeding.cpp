#include "config/Seeding.h"

namespace n640 {

bool SeedDataDir(IFiles& files, const std::filesystem::path& installDir, const std::filesystem::path& dataDir) {
    if (files.Exists(dataDir)) return false;
    files.CreateDirectories(dataDir);
    files.CreateDirectories(dataDir / "Profile");
    for (std::string_view name : kDefaultDataFiles) {
        const std::filesystem::path rel = std::filesystem::path(name).make_preferred();
        files.CopyNew(installDir / rel, dataDir / rel);
    }
    return true;
}

} // namespace n640
