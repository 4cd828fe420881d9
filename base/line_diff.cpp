#include "base/line_diff.h"

#include <algorithm>

namespace text {

namespace {

constexpr long kMaxEdits = 1000;

// Myers' shortest edit script between a[lo_a..hi_a) and b[lo_b..hi_b);
// false when it needs more than kMaxEdits steps.
bool Myers(const std::vector<std::string>& a, const std::vector<std::string>& b, std::size_t loA,
           std::size_t hiA, std::size_t loB, std::size_t hiB, std::vector<LineEdit>& out) {
    const long n = static_cast<long>(hiA - loA), m = static_cast<long>(hiB - loB);
    const long max = std::min(n + m, kMaxEdits);
    const long offset = max + 1;
    std::vector<long> v(2 * max + 3, 0);
    std::vector<std::vector<long>> trace;
    long found = -1;
    for (long d = 0; d <= max && found < 0; ++d) {
        trace.push_back(v);
        for (long k = -d; k <= d; k += 2) {
            long x = (k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1]))
                         ? v[offset + k + 1]
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
    std::vector<LineEdit> reversed;
    long x = n, y = m;
    for (long d = found; d > 0; --d) {
        const std::vector<long>& pv = trace[d];
        long k = x - y;
        long prevK =
            (k == -d || (k != d && pv[offset + k - 1] < pv[offset + k + 1])) ? k + 1 : k - 1;
        long prevX = pv[offset + prevK], prevY = prevX - prevK;
        while (x > prevX && y > prevY) {
            --x, --y;
            reversed.push_back({EditOp::Keep, loA + x, loB + y});
        }
        if (x == prevX) {
            --y;
            reversed.push_back({EditOp::Add, 0, loB + y});
        } else {
            --x;
            reversed.push_back({EditOp::Remove, loA + x, 0});
        }
    }
    while (x > 0 && y > 0) {
        --x, --y;
        reversed.push_back({EditOp::Keep, loA + x, loB + y});
    }
    out.insert(out.end(), reversed.rbegin(), reversed.rend());
    return true;
}

}  // namespace

std::vector<LineEdit> DiffLines(const std::vector<std::string>& a,
                                const std::vector<std::string>& b) {
    std::size_t prefix = 0;
    while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
           a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    std::vector<LineEdit> edits;
    for (std::size_t i = 0; i < prefix; ++i) edits.push_back({EditOp::Keep, i, i});
    std::vector<LineEdit> middle;
    if (!Myers(a, b, prefix, a.size() - suffix, prefix, b.size() - suffix, middle)) {
        middle.clear();
        for (std::size_t i = prefix; i < a.size() - suffix; ++i)
            middle.push_back({EditOp::Remove, i, 0});
        for (std::size_t j = prefix; j < b.size() - suffix; ++j)
            middle.push_back({EditOp::Add, 0, j});
    }
    edits.insert(edits.end(), middle.begin(), middle.end());
    for (std::size_t i = 0; i < suffix; ++i)
        edits.push_back({EditOp::Keep, a.size() - suffix + i, b.size() - suffix + i});
    return edits;
}

}  // namespace text
