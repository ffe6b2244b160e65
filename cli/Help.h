#pragma once
// The command table of n640ctl: every command's name, its line in the main help, its own help,
// how many words it takes and the handler. Help, dispatch and the word-count check all come
// from it.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace n640::cli {

class CSession;

struct CommandRow {
    std::string_view name;
    std::string_view summary;     // its line under "commands:" in the main help
    std::string usage;            // the command's own help
    size_t minWords;              // words of the command line, the command's name included
    size_t maxWords;
    std::string_view wordsError;  // the usage error for another number of words
    int (*run)(CSession&);
};
constexpr size_t kAnyWords = static_cast<size_t>(-1);

// Every command, in the order the main help lists them.
const std::vector<CommandRow>& CommandTable();
// The command of that name; null for an unknown one.
const CommandRow* FindCommand(std::string_view name);

std::string MainHelp();
// "" for an unknown command.
std::string CommandHelp(const std::string& command);

} // namespace n640::cli
