// The command table: every command is in the main help, has its own help, and a command line
// with a word count the table refuses is a usage error naming the command, before anything runs.

#include "cli/Help.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/Args.h"
#include "cli/Commands.h"

namespace n640::cli {
namespace {

TEST(CommandTable, HelpAndWordCountsComeFromTheTable) {
    const std::string main = MainHelp();
    for (const CommandRow& c : CommandTable()) {
        SCOPED_TRACE(std::string(c.name));
        EXPECT_NE(main.find(c.summary), std::string::npos);
        EXPECT_EQ(CommandHelp(std::string(c.name)).rfind("usage: n640ctl " + std::string(c.name), 0), 0u);
        std::vector<std::vector<std::string>> refused;
        if (c.minWords > 1) refused.push_back(std::vector<std::string>(c.minWords - 1, "1"));
        if (c.maxWords != kAnyWords) refused.push_back(std::vector<std::string>(c.maxWords + 1, "1"));
        for (std::vector<std::string> words : refused) {
            words[0] = std::string(c.name);
            words.push_back("--data-dir=/nonexistent/n640ctl-help-test");
            std::ostringstream out, err;
            EXPECT_EQ(RunCli(words, out, err), kExitUsage) << words.size();
            EXPECT_EQ(err.str(), "n640ctl " + std::string(c.name) + ": " + std::string(c.wordsError) + "\n" +
                                     CommandHelp(std::string(c.name)));
            EXPECT_EQ(out.str(), "");
        }
    }
    EXPECT_EQ(FindCommand("frobnicate"), nullptr);
    EXPECT_EQ(CommandHelp("frobnicate"), "");
}

} // namespace
} // namespace n640::cli
