#include "platform/Directories.h"

#include <cstdlib>
#include <system_error>

namespace n640 {

std::filesystem::path ExecutableDir() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return exe.parent_path();
}

std::filesystem::path DefaultDataDir() {
    return XdgDataDir(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

} // namespace n640
