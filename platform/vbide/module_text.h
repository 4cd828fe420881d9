#pragma once
// The text of one code module as the environment keeps it: the lines the
// code window shows, and around them the bytes it hides (the header block and
// module attributes before the first line, member attribute lines after the
// declaration they belong to), each line with the line end it was read with.
// Writing it back gives the bytes read, byte for byte, for every part that
// was not edited.
//
// A module read from a file keeps the file's bytes in one buffer and indexes
// its lines there (offset, length, line-end kind, length of the hidden bytes
// that follow), so that it costs little more than the file; a line once
// edited moves to a side store with its hidden bytes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/vbide/text_lines.h"

namespace vbide {

class ModuleText {
public:
    // Splits `text` into lines at CR LF and LF (a lone CR stays in the line).
    // Nothing is hidden. A final line end adds no empty line.
    static std::vector<std::string> SplitLines(const std::string& text);

    // Visible lines, valid until the text changes.
    TextLines Lines() const { return TextLines(this, entries_.size(), &LineOf); }
    std::string_view Line(std::size_t line) const;
    std::int32_t Count() const { return static_cast<std::int32_t>(entries_.size()); }

    // Editing, 0-based. New lines end with NewLineEnd().
    void Insert(std::size_t at, const std::vector<std::string>& lines);
    // Line `at` becomes `lines` (one or more); its hidden attribute lines and
    // its line end stay after the last of them.
    void Replace(std::size_t at, const std::vector<std::string>& lines);
    void Erase(std::size_t at, std::size_t count);

    // Building (loader and tests). Line ends are "", "\n" or "\r\n".
    // Keeps `bytes` (a file as read) as the store of the lines and hidden
    // bytes that are then appended as views into Adopted().
    void Adopt(std::string bytes);
    // Room for the lines and for a few more: the edits a loaded module most
    // often gets (declarations inserted, a procedure added) then fit without
    // moving the index, whose old copy would stay behind as a hole in the heap.
    void ReserveLines(std::size_t count) { entries_.reserve(count + count / 64 + 16); }
    std::string_view Adopted() const { return buffer_; }
    void SetHeader(std::string header) { header_ = std::move(header); }
    const std::string& Header() const { return header_; }
    void AppendLine(std::string_view text, std::string_view lineEnd);
    // Appends hidden bytes after the last visible line (or to the header
    // when there is none yet).
    void AppendHidden(std::string_view bytes);
    std::string_view HiddenAfter(std::size_t line) const;
    std::string_view LineEnd(std::size_t line) const { return EndText(entries_[line].end); }

    // The line end for new lines: the file's own (the first one read), CR LF
    // for a new module.
    const std::string& NewLineEnd() const { return newLineEnd_; }
    void SetNewLineEnd(std::string end) { newLineEnd_ = std::move(end); }

    // The whole file: header, then each line with its end and hidden bytes.
    std::string Serialize() const;

private:
    enum EndKind : std::uint8_t { kNoEnd, kLf, kCrLf };
    // One visible line. Read from the buffer: its text is buffer_[at, at +
    // length), then its line end, then `hidden` hidden bytes. Edited: `at`
    // indexes edited_.
    // Eight bytes a line: the index of a large module costs a third of its
    // text.
    struct Entry {
        std::uint32_t at = 0;
        std::uint32_t length : 16;
        std::uint32_t hidden : 13;
        std::uint32_t end : 2;
        std::uint32_t edited : 1;
    };
    struct Edited {
        std::string text;
        std::string hidden;
    };

    static std::string_view LineOf(const void* self, std::size_t line) {
        return static_cast<const ModuleText*>(self)->Line(line);
    }
    static EndKind KindOf(std::string_view end);
    static std::string_view EndText(unsigned kind);
    // The offset of `bytes` in the buffer when they lie in it, else npos.
    std::size_t OffsetInBuffer(std::string_view bytes) const;
    Entry NewEntry(std::string text, std::string hidden, unsigned end);
    // Calls visit(std::string_view) with the pieces of Serialize, in order.
    template <typename Visit>
    void ForEachPiece(Visit&& visit) const;
    // Moves a line read from the buffer to the side store.
    Edited& MakeEdited(std::size_t line);
    void Release(const Entry& entry);

    std::string buffer_;
    std::string header_;
    std::vector<Entry> entries_;
    std::vector<Edited> edited_;
    std::vector<std::uint32_t> freeEdited_;  // slots of edited_ no line uses
    std::string newLineEnd_ = "\r\n";
};

}  // namespace vbide
