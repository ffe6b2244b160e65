#pragma once
#include <string>

namespace n640::cli {

std::string MainHelp();
// "" for an unknown command.
std::string CommandHelp(const std::string& command);

} // namespace n640::cli
