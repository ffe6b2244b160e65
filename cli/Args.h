#pragma once
// Command-line parsing of n640ctl: options may stand anywhere; everything else is a word of the
// command.

#include <optional>
#include <string>
#include <vector>

namespace n640::cli {

struct Args {
    std::vector<std::string> words;            // command, subcommand and operands
    std::optional<std::string> dataDir;        // --data-dir DIR
    std::string device = "auto";               // --device auto|sim[:STATEFILE]|/dev/hidrawN
    std::optional<std::string> macros;         // --macros FILE
    std::optional<std::string> lang;           // --lang en|sc
    std::optional<std::string> server;         // --server URL (update check)
    std::optional<std::string> download;       // --download FILE (update check)
    bool help = false;                         // --help / -h
};

struct ParseResult {
    Args args;
    std::string error;                         // non-empty: a usage error
};

ParseResult ParseArgs(const std::vector<std::string>& argv);

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

} // namespace n640::cli
