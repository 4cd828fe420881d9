#include "platform/vbide/module_text.h"

#include "base/text.h"

namespace vbide {

std::vector<std::string> ModuleText::SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    for (const text::Line& line : text::SplitLines(text)) lines.emplace_back(line.text);
    return lines;
}

void ModuleText::Insert(std::size_t at, const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    // A file that ended without a line end gets one before lines follow.
    if (at == lines_.size() && at > 0 && ends_[at - 1].empty()) ends_[at - 1] = newLineEnd_;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), lines.begin(), lines.end());
    ends_.insert(ends_.begin() + static_cast<std::ptrdiff_t>(at), lines.size(), newLineEnd_);
    hidden_.insert(hidden_.begin() + static_cast<std::ptrdiff_t>(at), lines.size(), std::string());
}

void ModuleText::Replace(std::size_t at, const std::vector<std::string>& lines) {
    if (lines.empty()) {
        lines_[at].clear();
        return;
    }
    lines_[at] = lines.back();
    if (lines.size() > 1) {
        std::vector<std::string> before(lines.begin(), lines.end() - 1);
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), before.begin(), before.end());
        ends_.insert(ends_.begin() + static_cast<std::ptrdiff_t>(at), before.size(), newLineEnd_);
        hidden_.insert(hidden_.begin() + static_cast<std::ptrdiff_t>(at), before.size(), std::string());
    }
}

void ModuleText::Erase(std::size_t at, std::size_t count) {
    auto first = static_cast<std::ptrdiff_t>(at);
    auto last = static_cast<std::ptrdiff_t>(at + count);
    lines_.erase(lines_.begin() + first, lines_.begin() + last);
    ends_.erase(ends_.begin() + first, ends_.begin() + last);
    hidden_.erase(hidden_.begin() + first, hidden_.begin() + last);
}

void ModuleText::AppendLine(std::string text, std::string lineEnd) {
    if (lines_.empty() && header_.empty() && !lineEnd.empty()) newLineEnd_ = lineEnd;
    lines_.push_back(std::move(text));
    ends_.push_back(std::move(lineEnd));
    hidden_.emplace_back();
}

void ModuleText::AppendHidden(const std::string& bytes) {
    if (lines_.empty()) header_ += bytes;
    else hidden_.back() += bytes;
}

std::string ModuleText::Serialize() const {
    std::string out = header_;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        out += lines_[i];
        out += ends_[i];
        out += hidden_[i];
    }
    return out;
}

}  // namespace vbide
