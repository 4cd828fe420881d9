#include "fenmoor/command_line.h"

#include <gtest/gtest.h>

namespace fenmoor {
namespace {

TEST(QuoteArgument, PlainPathsStayAsTheyAre) {
    EXPECT_EQ(QuoteArgument("/opt/tarnwick/bin/wizard.reg"), "/opt/tarnwick/bin/wizard.reg");
    EXPECT_EQ(QuoteArgument("C:\\Tools\\wizard.reg"), "C:\\Tools\\wizard.reg");
}

TEST(QuoteArgument, BlanksAndTabsAreQuoted) {
    EXPECT_EQ(QuoteArgument("/home/ann/my tools/wizard.reg"), "\"/home/ann/my tools/wizard.reg\"");
    EXPECT_EQ(QuoteArgument("a\tb"), "\"a\tb\"");
    EXPECT_EQ(QuoteArgument(""), "\"\"");
}

TEST(QuoteArgument, QuotesAndTheBackslashesBeforeThemAreEscaped) {
    EXPECT_EQ(QuoteArgument("say \"hi\""), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(QuoteArgument("a\\\"b"), "\"a\\\\\\\"b\"");
    // Backslashes before the closing quote are doubled; others stay single.
    EXPECT_EQ(QuoteArgument("C:\\my dir\\"), "\"C:\\my dir\\\\\"");
}

}  // namespace
}  // namespace fenmoor
