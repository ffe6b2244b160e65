#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace n640::cli {

// Runs n640ctl with the given arguments (without the program name); returns the exit status.
int RunCli(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);

} // namespace n640::cli
