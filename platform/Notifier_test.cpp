#include "platform/Notifier.h"

#include <gtest/gtest.h>

namespace n640 {
namespace {

TEST(FormatMessageText, InsertsOnlyTheOneArgument) {
    struct Case {
        std::u16string_view format;
        std::u16string_view expected;
    };
    const Case cases[] = {
        {u"Failed to open file, check whether there is a %s path?",
         u"Failed to open file, check whether there is a C:\\x.cfg path?"},
        {u"%s is an invaild Profile!", u"C:\\x.cfg is an invaild Profile!"},
        {u"no argument here", u"no argument here"},        // the path is left out
        {u"%s and %s", u"C:\\x.cfg and %s"},               // a second %s reads nothing
        {u"100%% sure: %d %n %s", u"100% sure: %d %n C:\\x.cfg"},
        {u"ends with %", u"ends with %"},
        {u"", u""},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatMessageText(c.format, u"C:\\x.cfg"), c.expected) << c.format.size();
}

} // namespace
} // namespace n640
