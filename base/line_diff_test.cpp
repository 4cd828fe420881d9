#include "base/line_diff.h"

#include <gtest/gtest.h>

namespace text {
namespace {

// The edits as "=a", "-a", "+b" (kept, removed, added), in order.
std::vector<std::string> Script(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::vector<std::string> out;
    for (const LineEdit& e : DiffLines(a, b)) {
        if (e.op == EditOp::Keep) out.push_back("=" + a[e.a]);
        if (e.op == EditOp::Remove) out.push_back("-" + a[e.a]);
        if (e.op == EditOp::Add) out.push_back("+" + b[e.b]);
    }
    return out;
}

using Lines = std::vector<std::string>;

TEST(LineDiff, KeepsTheLongestCommonRunAndNamesEachChangedLine) {
    EXPECT_EQ(Script({"a", "b", "c"}, {"a", "x", "b", "c"}), (Lines{"=a", "+x", "=b", "=c"}));
    EXPECT_EQ(Script({"a", "b", "c"}, {"a", "c"}), (Lines{"=a", "-b", "=c"}));
    EXPECT_EQ(Script({}, {"a"}), (Lines{"+a"}));
    EXPECT_EQ(Script({"same"}, {"same"}), (Lines{"=same"}));
}

TEST(LineDiff, PastAThousandDifferencesTheMiddleIsOneReplacement) {
    Lines before{"top"}, after{"top"};
    for (int i = 0; i < 1200; ++i) {
        before.push_back("old" + std::to_string(i));
        after.push_back("new" + std::to_string(i));
    }
    const std::vector<LineEdit> edits = DiffLines(before, after);
    ASSERT_EQ(edits.size(), 2401u);
    EXPECT_EQ(edits[0].op, EditOp::Keep);
    EXPECT_EQ(edits[1].op, EditOp::Remove);
    EXPECT_EQ(edits[1200].op, EditOp::Remove);
    EXPECT_EQ(edits[1201].op, EditOp::Add);
    EXPECT_EQ(edits[1201].b, 1u);
}

}  // namespace
}  // namespace text
