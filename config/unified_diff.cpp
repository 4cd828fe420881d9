#include "config/unified_diff.h"

#include <algorithm>
#include <vector>

namespace config {

namespace {

constexpr std::size_t kContext = 3;
// Past this many differing lines the middle part is shown as one replacement
// rather than searched for the shortest edit script.
constexpr long kMaxEdits = 1000;

struct Line {
    std::string text;  // without the LF
    bool hasEnd;       // whether an LF followed
    bool operator==(const Line&) const = default;
};

std::vector<Line> SplitLines(const std::string& text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back({text.substr(start), false});
            break;
        }
        lines.push_back({text.substr(start, end - start), true});
        start = end + 1;
    }
    return lines;
}

enum class Op { Keep, Remove, Add };
struct Edit {
    Op op;
    std::size_t a;  // index into before (Keep, Remove)
    std::size_t b;  // index into after (Keep, Add)
};

// Myers' shortest edit script between a[lo_a..hi_a) and b[lo_b..hi_b);
// false when it needs more than kMaxEdits steps.
bool Myers(const std::vector<Line>& a, const std::vector<Line>& b, std::size_t loA, std::size_t hiA,
           std::size_t loB, std::size_t hiB, std::vector<Edit>& out) {
    const long n = static_cast<long>(hiA - loA), m = static_cast<long>(hiB - loB);
    const long max = std::min(n + m, kMaxEdits);
    const long offset = max + 1;
    std::vector<long> v(2 * max + 3, 0);
    std::vector<std::vector<long>> trace;
    long found = -1;
    for (long d = 0; d <= max && found < 0; ++d) {
        trace.push_back(v);
        for (long k = -d; k <= d; k += 2) {
            long x = (k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1])) ? v[offset + k + 1]
                                                                                   : v[offset + k - 1] + 1;
            long y = x - k;
            while (x < n && y < m && a[loA + x] == b[loB + y]) ++x, ++y;
            v[offset + k] = x;
            if (x >= n && y >= m) {
                found = d;
                break;
            }
        }
    }
    if (found < 0) return false;
    std::vector<Edit> reversed;
    long x = n, y = m;
    for (long d = found; d > 0; --d) {
        const std::vector<long>& pv = trace[d];
        long k = x - y;
        long prevK = (k == -d || (k != d && pv[offset + k - 1] < pv[offset + k + 1])) ? k + 1 : k - 1;
        long prevX = pv[offset + prevK], prevY = prevX - prevK;
        while (x > prevX && y > prevY) {
            --x, --y;
            reversed.push_back({Op::Keep, loA + x, loB + y});
        }
        if (x == prevX) {
            --y;
            reversed.push_back({Op::Add, 0, loB + y});
        } else {
            --x;
            reversed.push_back({Op::Remove, loA + x, 0});
        }
    }
    while (x > 0 && y > 0) {
        --x, --y;
        reversed.push_back({Op::Keep, loA + x, loB + y});
    }
    out.insert(out.end(), reversed.rbegin(), reversed.rend());
    return true;
}

std::vector<Edit> EditScript(const std::vector<Line>& a, const std::vector<Line>& b) {
    std::size_t prefix = 0;
    while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
           a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    std::vector<Edit> edits;
    for (std::size_t i = 0; i < prefix; ++i) edits.push_back({Op::Keep, i, i});
    std::vector<Edit> middle;
    if (!Myers(a, b, prefix, a.size() - suffix, prefix, b.size() - suffix, middle)) {
        middle.clear();
        for (std::size_t i = prefix; i < a.size() - suffix; ++i) middle.push_back({Op::Remove, i, 0});
        for (std::size_t j = prefix; j < b.size() - suffix; ++j) middle.push_back({Op::Add, 0, j});
    }
    edits.insert(edits.end(), middle.begin(), middle.end());
    for (std::size_t i = 0; i < suffix; ++i)
        edits.push_back({Op::Keep, a.size() - suffix + i, b.size() - suffix + i});
    return edits;
}

void AppendLine(std::string& out, char mark, const Line& line) {
    out += mark;
    out += line.text;
    out += '\n';
    if (!line.hasEnd) out += "\\ No newline at end of file\n";
}

std::string Range(std::size_t start, std::size_t count) {
    // Unified diffs number from 1; an empty range names the line before it.
    std::string text = std::to_string(count == 0 ? start : start + 1);
    if (count != 1) text += "," + std::to_string(count);
    return text;
}

}  // namespace

std::string UnifiedDiff(const std::string& before, const std::string& after, const std::string& oldName,
                        const std::string& newName) {
    if (before == after) return {};
    const std::vector<Line> a = SplitLines(before), b = SplitLines(after);
    const std::vector<Edit> edits = EditScript(a, b);

    std::string out = "--- " + oldName + "\n+++ " + newName + "\n";
    std::size_t i = 0;
    while (i < edits.size()) {
        if (edits[i].op == Op::Keep) {
            ++i;
            continue;
        }
        // A hunk: context before, then changes until a run of more than twice
        // the context of kept lines, then context after.
        std::size_t start = i >= kContext ? i - kContext : 0;
        std::size_t end = i;
        std::size_t keptRun = 0;
        for (std::size_t j = i; j < edits.size(); ++j) {
            if (edits[j].op == Op::Keep) {
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
            if (edits[j].op != Op::Add) ++aPos;
            if (edits[j].op != Op::Remove) ++bPos;
        }
        const std::size_t oldStart = aPos, newStart = bPos;
        for (std::size_t j = start; j < stop; ++j) {
            const Edit& e = edits[j];
            switch (e.op) {
                case Op::Keep:
                    AppendLine(body, ' ', a[e.a]);
                    ++oldCount, ++newCount;
                    break;
                case Op::Remove:
                    AppendLine(body, '-', a[e.a]);
                    ++oldCount;
                    break;
                case Op::Add:
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
