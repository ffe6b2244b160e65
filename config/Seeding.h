#pragma once
// First run: fills a DataDir that does not exist yet with the default data files of InstallDir.

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/File.h"

namespace n640 {

// The nine default data files, relative to InstallDir and DataDir, in the order they are copied.
inline constexpr std::array<std::string_view, 9> kDefaultDataFiles = {
    "Macro.cfg",
    "Language.cfg",
    "Sts.cfg",
    "Profile/ConfigInfo.cfg",
    "Profile/Profile1.cfg",
    "Profile/Profile2.cfg",
    "Profile/Profile3.cfg",
    "Profile/Profile4.cfg",
    "Profile/Profile5.cfg",
};

// When dataDir does not exist: creates it with its parents and its Profile folder, then copies each
// default file that is not there yet (failed copies are ignored) and returns true. When dataDir
// exists, nothing is created or copied, even if files are missing, and the result is false.
bool SeedDataDir(IFiles& files, const std::filesystem::path& installDir, const std::filesystem::path& dataDir);

// One default file that could not be put into the data directory.
struct SeedFailure {
    std::filesystem::path file;  // the target in the data directory
    FileStatus status;
    std::u16string reason;       // the system's words, when it gave any
};

// What a seeding did: the files it copied and those it could not.
struct SeedReport {
    std::vector<std::filesystem::path> copied;
    std::vector<SeedFailure> failed;
};

// Creates dataDir (with its parents) and its Profile folder when missing, then copies each default
// file whose source exists and whose target does not, and reads every copy back against its source.
// A copy that fails or does not read back as its source is removed again and listed as failed.
SeedReport CopyDefaultDataFiles(IFiles& files, const std::filesystem::path& installDir,
                                const std::filesystem::path& dataDir);

} // namespace n640
