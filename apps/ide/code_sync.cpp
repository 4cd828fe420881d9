#include "apps/ide/code_sync.h"

#include <algorithm>

namespace ide {

namespace {

// Several lines as one text for ReplaceLine. A final line end is dropped
// when the text is split again, so a last line that is empty gets one.
std::string Text(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += "\r\n";
        out += lines[i];
    }
    if (!lines.empty() && lines.back().empty()) out += "\r\n";
    return out;
}

}  // namespace

std::vector<std::string> ModuleLines(vbide::CodeModule& module) {
    return ModuleLines(module, 1, module.CountOfLines());
}

std::vector<std::string> ModuleLines(vbide::CodeModule& module, std::int32_t first, std::int32_t count) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(std::max(std::int32_t{0}, count)));
    for (std::int32_t i = first; i < first + count; ++i) lines.push_back(module.Lines(i, 1));
    return lines;
}

void WriteLines(vbide::CodeModule& module, const std::vector<std::string>& before,
                const std::vector<std::string>& after, std::int32_t firstLine) {
    const std::int32_t base = firstLine - 1;  // module lines before the slice
    const std::int32_t total = module.CountOfLines();
    const std::size_t oldCount = before.size(), newCount = after.size();
    std::size_t prefix = 0;
    while (prefix < oldCount && prefix < newCount && before[prefix] == after[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < oldCount - prefix && suffix < newCount - prefix &&
           before[oldCount - 1 - suffix] == after[newCount - 1 - suffix])
        ++suffix;
    const std::size_t oldMid = oldCount - prefix - suffix;
    const std::size_t newMid = newCount - prefix - suffix;
    const std::size_t common = std::min(oldMid, newMid);

    for (std::size_t i = 0; i < common; ++i)
        if (before[prefix + i] != after[prefix + i])
            module.ReplaceLine(base + static_cast<std::int32_t>(prefix + i + 1), after[prefix + i]);

    if (newMid > oldMid) {
        std::vector<std::string> extra(after.begin() + static_cast<std::int32_t>(prefix + common),
                                       after.begin() + static_cast<std::int32_t>(prefix + newMid));
        const std::int32_t next = base + static_cast<std::int32_t>(prefix + common + 1);  // the line after the block
        if (next <= total) {
            // In front of the following line: ReplaceLine keeps that line's
            // hidden attribute lines after it, and runs no procedure check on
            // half-typed code.
            extra.push_back(next - base <= static_cast<std::int32_t>(oldCount) ? before[static_cast<std::size_t>(next - base - 1)]
                                                                       : module.Lines(next, 1));
            module.ReplaceLine(next, Text(extra));
        } else if (total > 0) {
            extra.insert(extra.begin(), module.Lines(total, 1));
            module.ReplaceLine(total, Text(extra));
        } else {
            // An empty module: a blank line first, then it becomes the text.
            module.InsertLines(1, "\r\n");
            module.ReplaceLine(1, Text(extra));
        }
    } else if (oldMid > newMid) {
        module.DeleteLines(base + static_cast<std::int32_t>(prefix + common + 1), static_cast<std::int32_t>(oldMid - newMid));
    }
}

}  // namespace ide
