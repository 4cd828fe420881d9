#include "config/unified_diff.h"

#include <algorithm>
#include <vector>

#include "base/line_diff.h"
#include "base/text.h"

namespace config {

namespace {

constexpr std::size_t kContext = 3;
using text::EditOp;

// The lines of a text with their line ends, so that lines differing only in
// their end (or in a missing last end) differ.
std::vector<std::string> WholeLines(const std::string& bytes) {
    std::vector<std::string> lines;
    for (const text::Line& line : text::SplitLines(bytes))
        lines.emplace_back(std::string(line.text) + std::string(line.end));
    return lines;
}

void AppendLine(std::string& out, char mark, const std::string& line) {
    out += mark;
    out += line;
    if (line.empty() || line.back() != '\n') out += "\n\\ No newline at end of file\n";
}

std::string Range(std::size_t start, std::size_t count) {
    // Unified diffs number from 1; an empty range names the line before it.
    std::string text = std::to_string(count == 0 ? start : start + 1);
    if (count != 1) {
        text += ',';
        text += std::to_string(count);
    }
    return text;
}

}  // namespace

std::string UnifiedDiff(const std::string& before, const std::string& after, const std::string& oldName,
                        const std::string& newName) {
    if (before == after) return {};
    const std::vector<std::string> a = WholeLines(before), b = WholeLines(after);
    const std::vector<text::LineEdit> edits = text::DiffLines(a, b);

    std::string out = "--- " + oldName + "\n+++ " + newName + "\n";
    std::size_t i = 0;
    while (i < edits.size()) {
        if (edits[i].op == EditOp::Keep) {
            ++i;
            continue;
        }
        // A hunk: context before, then changes until a run of more than twice
        // the context of kept lines, then context after.
        std::size_t start = i >= kContext ? i - kContext : 0;
        std::size_t end = i;
        std::size_t keptRun = 0;
        for (std::size_t j = i; j < edits.size(); ++j) {
            if (edits[j].op == EditOp::Keep) {
                if (++keptRun > 2 * kContext) break;
            } else {
                keptRun = 0;
                end = j + 1;
            }
        }
        std::size_t stop = std::min(edits.size(), end + kContext);
        std::size_t oldCount = 0, newCount = 0;
        std::string body;
        // Positions of the hunk's first lines, also for hunks that only add or remove.
        std::size_t aPos = 0, bPos = 0;
        for (std::size_t j = 0; j < start; ++j) {
            if (edits[j].op != EditOp::Add) ++aPos;
            if (edits[j].op != EditOp::Remove) ++bPos;
        }
        const std::size_t oldStart = aPos, newStart = bPos;
        for (std::size_t j = start; j < stop; ++j) {
            const text::LineEdit& e = edits[j];
            switch (e.op) {
                case EditOp::Keep:
                    AppendLine(body, ' ', a[e.a]);
                    ++oldCount, ++newCount;
                    break;
                case EditOp::Remove:
                    AppendLine(body, '-', a[e.a]);
                    ++oldCount;
                    break;
                case EditOp::Add:
                    AppendLine(body, '+', b[e.b]);
                    ++newCount;
                    break;
            }
        }
        out += "@@ -" + Range(oldStart, oldCount) + " +" + Range(newStart, newCount) + " @@\n" + body;
        i = stop;
    }
    return out;
}

}  // namespace config
