#include "config/unified_diff.h"

#include <gtest/gtest.h>

namespace config {
namespace {

std::string Numbered(int from, int to, const char* changed = nullptr, int at = 0) {
    std::string text;
    for (int i = from; i <= to; ++i) text += (i == at && changed ? std::string(changed) : "l" + std::to_string(i)) + "\n";
    return text;
}

TEST(ConfigUnifiedDiff, EqualTextsGiveNothing) { EXPECT_EQ(UnifiedDiff("a\nb\n", "a\nb\n", "x", "y"), ""); }

TEST(ConfigUnifiedDiff, DistantChangesMakeSeparateHunksWithThreeLinesOfContext) {
    std::string before = Numbered(1, 20);
    std::string after = before;
    after.replace(after.find("l2\n"), 3, "two\n");
    after.replace(after.find("l18\n"), 4, "");
    EXPECT_EQ(UnifiedDiff(before, after, "a/f", "b/f"),
              "--- a/f\n+++ b/f\n"
              "@@ -1,5 +1,5 @@\n l1\n-l2\n+two\n l3\n l4\n l5\n"
              "@@ -15,6 +15,5 @@\n l15\n l16\n l17\n-l18\n l19\n l20\n");
}

TEST(ConfigUnifiedDiff, InsertionAtTheTopAndAMissingFinalLineEnd) {
    EXPECT_EQ(UnifiedDiff("a\nb", "new\na\nb", "o", "n"),
              "--- o\n+++ n\n@@ -1,2 +1,3 @@\n+new\n a\n b\n\\ No newline at end of file\n");
    EXPECT_EQ(UnifiedDiff("", "x\r\n", "o", "n"), "--- o\n+++ n\n@@ -0,0 +1 @@\n+x\r\n");
}

TEST(ConfigUnifiedDiff, ATotalRewriteOfAManyLinedTextStaysCorrect) {
    std::string before, after;
    for (int i = 0; i < 3000; ++i) {
        before += "a" + std::to_string(i) + "\n";
        after += "b" + std::to_string(i) + "\n";
    }
    std::string diff = UnifiedDiff(before, after, "o", "n");
    EXPECT_EQ(diff.substr(0, 30), "--- o\n+++ n\n@@ -1,3000 +1,3000");
    EXPECT_EQ(std::count(diff.begin(), diff.end(), '\n'), 3 + 6000);
}

}  // namespace
}  // namespace config
