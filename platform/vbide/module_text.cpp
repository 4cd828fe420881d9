#include "platform/vbide/module_text.h"

#include <functional>
#include <stdexcept>

#include "base/text.h"

namespace vbide {

namespace {

// What an entry of a line read from the file can hold; a longer line, or
// longer hidden bytes after it, go to the side store (they are rare: the
// environment's lines end at 1023 characters).
constexpr std::size_t kMaxLength = (std::size_t{1} << 16) - 1;
constexpr std::size_t kMaxHidden = (std::size_t{1} << 13) - 1;
constexpr std::size_t kMaxOffset = 0xFFFFFFFFu;

}  // namespace

std::vector<std::string> ModuleText::SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    for (const text::Line& line : text::SplitLines(text)) lines.emplace_back(line.text);
    return lines;
}

ModuleText::EndKind ModuleText::KindOf(std::string_view end) {
    if (end.empty()) return kNoEnd;
    if (end == "\n") return kLf;
    if (end == "\r\n") return kCrLf;
    throw std::invalid_argument("a line ends with LF or CR LF");
}

std::string_view ModuleText::EndText(unsigned kind) {
    return kind == kCrLf ? std::string_view("\r\n") : kind == kLf ? std::string_view("\n") : std::string_view();
}

std::string_view ModuleText::Line(std::size_t line) const {
    const Entry& e = entries_[line];
    if (e.edited) return edited_[e.at].text;
    return std::string_view(buffer_).substr(e.at, e.length);
}

std::string_view ModuleText::HiddenAfter(std::size_t line) const {
    const Entry& e = entries_[line];
    if (e.edited) return edited_[e.at].hidden;
    return std::string_view(buffer_).substr(e.at + e.length + EndText(e.end).size(), e.hidden);
}

std::size_t ModuleText::OffsetInBuffer(std::string_view bytes) const {
    // Pointers into unrelated objects compare through std::less only.
    const std::less<const char*> before;
    const char* first = buffer_.data();
    const char* last = first + buffer_.size();
    if (bytes.data() == nullptr || before(bytes.data(), first) || before(last, bytes.data() + bytes.size()))
        return std::string::npos;
    return static_cast<std::size_t>(bytes.data() - first);
}

ModuleText::Entry ModuleText::NewEntry(std::string text, std::string hidden, unsigned end) {
    Entry e;
    e.length = 0;
    e.hidden = 0;
    e.end = end;
    e.edited = 1;
    if (!freeEdited_.empty()) {
        e.at = freeEdited_.back();
        freeEdited_.pop_back();
        edited_[e.at] = Edited{std::move(text), std::move(hidden)};
    } else {
        e.at = static_cast<std::uint32_t>(edited_.size());
        edited_.push_back(Edited{std::move(text), std::move(hidden)});
    }
    return e;
}

ModuleText::Edited& ModuleText::MakeEdited(std::size_t line) {
    Entry& e = entries_[line];
    if (!e.edited) e = NewEntry(std::string(Line(line)), std::string(HiddenAfter(line)), e.end);
    return edited_[e.at];
}

void ModuleText::Release(const Entry& entry) {
    if (!entry.edited) return;
    edited_[entry.at] = Edited{};
    freeEdited_.push_back(entry.at);
}

void ModuleText::Insert(std::size_t at, const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    const EndKind end = KindOf(newLineEnd_);
    // A file that ended without a line end gets one before lines follow:
    // after its last visible line, after the hidden attribute lines that
    // follow it, or after the hidden header when there is no visible line.
    if (at == entries_.size() && at > 0) {
        if (entries_[at - 1].end == kNoEnd) {
            MakeEdited(at - 1);
            entries_[at - 1].end = end;
        }
        const std::string_view hidden = HiddenAfter(at - 1);
        if (!hidden.empty() && hidden.back() != '\n') MakeEdited(at - 1).hidden += newLineEnd_;
    } else if (entries_.empty() && !header_.empty() && header_.back() != '\n') {
        header_ += newLineEnd_;
    }
    std::vector<Entry> added;
    added.reserve(lines.size());
    for (const std::string& text : lines) added.push_back(NewEntry(text, {}, end));
    // Grown by an eighth rather than doubled: when many modules grow in one
    // command, doubled indexes and the old copies left behind as holes in the
    // heap would hold three times the index.
    if (entries_.size() + added.size() > entries_.capacity())
        entries_.reserve(entries_.size() + added.size() + entries_.size() / 8 + 16);
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
}

void ModuleText::Replace(std::size_t at, const std::vector<std::string>& lines) {
    Edited& edited = MakeEdited(at);
    if (lines.empty()) {
        edited.text.clear();
        return;
    }
    edited.text = lines.back();
    if (lines.size() > 1) Insert(at, std::vector<std::string>(lines.begin(), lines.end() - 1));
}

void ModuleText::Erase(std::size_t at, std::size_t count) {
    auto first = entries_.begin() + static_cast<std::ptrdiff_t>(at);
    auto last = first + static_cast<std::ptrdiff_t>(count);
    for (auto it = first; it != last; ++it) Release(*it);
    entries_.erase(first, last);
}

void ModuleText::Adopt(std::string bytes) {
    buffer_ = std::move(bytes);
    entries_.clear();
    edited_.clear();
    freeEdited_.clear();
}

void ModuleText::AppendLine(std::string_view text, std::string_view lineEnd) {
    if (entries_.empty() && header_.empty() && !lineEnd.empty()) newLineEnd_ = std::string(lineEnd);
    const EndKind end = KindOf(lineEnd);
    const std::size_t at = OffsetInBuffer(text);
    const bool inBuffer = at != std::string::npos && text.size() <= kMaxLength &&
                          at + text.size() + lineEnd.size() <= kMaxOffset &&
                          (lineEnd.empty() || lineEnd.data() == text.data() + text.size());
    if (!inBuffer) {
        entries_.push_back(NewEntry(std::string(text), {}, end));
        return;
    }
    Entry e;
    e.at = static_cast<std::uint32_t>(at);
    e.length = static_cast<std::uint32_t>(text.size());
    e.hidden = 0;
    e.end = end;
    e.edited = 0;
    entries_.push_back(e);
}

void ModuleText::AppendHidden(std::string_view bytes) {
    if (entries_.empty()) {
        header_ += bytes;
        return;
    }
    Entry& e = entries_.back();
    if (!e.edited) {
        // Bytes that follow the line's own in the buffer only extend it.
        const std::size_t next = e.at + e.length + EndText(e.end).size() + e.hidden;
        if (OffsetInBuffer(bytes) == next && e.hidden + bytes.size() <= kMaxHidden) {
            e.hidden += static_cast<std::uint32_t>(bytes.size());
            return;
        }
    }
    MakeEdited(entries_.size() - 1).hidden += bytes;
}

template <typename Visit>
void ModuleText::ForEachPiece(Visit&& visit) const {
    // Lines read from the file and never edited lie one after the other in
    // the buffer, with their ends and hidden bytes: each such run is one
    // piece, not three per line.
    visit(std::string_view(header_));
    const std::string_view buffer(buffer_);
    std::size_t runStart = 0, runEnd = 0;  // the run [runStart, runEnd) of the buffer
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        if (!e.edited) {
            if (runEnd != e.at) {
                visit(buffer.substr(runStart, runEnd - runStart));
                runStart = e.at;
            }
            runEnd = e.at + e.length + EndText(e.end).size() + e.hidden;
            continue;
        }
        visit(buffer.substr(runStart, runEnd - runStart));
        runStart = runEnd = 0;
        visit(std::string_view(edited_[e.at].text));
        visit(EndText(e.end));
        visit(std::string_view(edited_[e.at].hidden));
    }
    visit(buffer.substr(runStart, runEnd - runStart));
}

std::string ModuleText::Serialize() const {
    std::size_t size = 0;
    ForEachPiece([&](std::string_view piece) { size += piece.size(); });
    std::string out;
    out.reserve(size);
    ForEachPiece([&](std::string_view piece) { out += piece; });
    return out;
}

}  // namespace vbide
