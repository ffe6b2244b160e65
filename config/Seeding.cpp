#include "config/Seeding.h"

#include <algorithm>
#include <memory>

namespace n640 {

namespace {

// The largest default file (the macro library is 2 MB) fits with room to spare.
constexpr size_t kLargestDefaultFile = size_t{8} << 20;

// Whether both files read back as the same bytes.
bool SameContent(IFiles& files, const std::filesystem::path& a, const std::filesystem::path& b) {
    auto first = std::make_unique<uint8_t[]>(kLargestDefaultFile);
    auto second = std::make_unique<uint8_t[]>(kLargestDefaultFile);
    size_t gotFirst = 0, gotSecond = 0;
    if (files.Read(a, first.get(), kLargestDefaultFile, &gotFirst) != FileStatus::Ok) return false;
    if (files.Read(b, second.get(), kLargestDefaultFile, &gotSecond) != FileStatus::Ok) return false;
    return gotFirst == gotSecond && std::equal(first.get(), first.get() + gotFirst, second.get());
}

} // namespace

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

SeedReport CopyDefaultDataFiles(IFiles& files, const std::filesystem::path& installDir,
                                const std::filesystem::path& dataDir) {
    SeedReport report;
    for (const auto& dir : {dataDir, dataDir / "Profile"}) {
        const FileStatus status = files.CreateDirectories(dir);
        if (status != FileStatus::Ok) {
            report.failed.push_back({dir, status, files.LastError()});
            return report;
        }
    }
    for (std::string_view name : kDefaultDataFiles) {
        const std::filesystem::path rel = std::filesystem::path(name).make_preferred();
        const std::filesystem::path from = installDir / rel, to = dataDir / rel;
        if (!files.Exists(from) || files.Exists(to)) continue;
        FileStatus status = files.CopyNew(from, to);
        std::u16string reason = status == FileStatus::Ok ? std::u16string() : files.LastError();
        if (status == FileStatus::Ok && !SameContent(files, from, to)) {
            files.Remove(to);
            status = FileStatus::Failed;
            reason = u"the copy does not read back as the default file";
        }
        if (status == FileStatus::Ok)
            report.copied.push_back(to);
        else
            report.failed.push_back({to, status, reason});
    }
    return report;
}

} // namespace n640
