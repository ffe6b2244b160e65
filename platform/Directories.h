#pragma once
// The two directories every part of the program uses: InstallDir, the folder of the running
// executable (default data files, language files, skins), and DataDir, the per-user folder holding
// the user's data files. Neither ends with a separator. Callers may always pass their own.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace n640 {

// The folder of the running executable.
std::filesystem::path ExecutableDir();

// The per-user data folder of this system: the temporary directory followed by ZENTU\N640 on
// Windows; $XDG_DATA_HOME/zentu-n640, or ~/.local/share/zentu-n640, elsewhere.
std::filesystem::path DefaultDataDir();

// The rules above as pure functions of their inputs, for both platforms.
// tempPath is the system's temporary directory as it returns it (normally with a trailing
// backslash); a missing separator is supplied rather than gluing the names together.
std::u16string WindowsDataDir(std::u16string_view tempPath);
// Empty or relative XDG_DATA_HOME values are ignored, as the XDG rules ask; without HOME as well
// the result is empty.
std::filesystem::path XdgDataDir(const char* xdgDataHome, const char* home);

// The pair as a program uses it: explicit folders win, the defaults fill in the rest.
struct AppDirs {
    std::filesystem::path installDir;
    std::filesystem::path dataDir;
};
AppDirs ResolveDirs(const std::optional<std::filesystem::path>& installDir = std::nullopt,
                    const std::optional<std::filesystem::path>& dataDir = std::nullopt);

} // namespace n640
