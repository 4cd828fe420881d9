#pragma once
// The text of one code module as the environment keeps it: the lines the
// code window shows, and around them the bytes it hides (the header block and
// module attributes before the first line, member attribute lines after the
// declaration they belong to), each line with the line end it was read with.
// Writing it back gives the bytes read, byte for byte, for every part that
// was not edited.

#include <string>
#include <vector>

namespace vbide {

class ModuleText {
public:
    // Splits `text` into lines at CR LF and LF (a lone CR stays in the line).
    // Nothing is hidden. A final line end adds no empty line.
    static std::vector<std::string> SplitLines(const std::string& text);

    // Visible lines.
    const std::vector<std::string>& Lines() const { return lines_; }
    long Count() const { return static_cast<long>(lines_.size()); }

    // Editing, 0-based. New lines end with NewLineEnd().
    void Insert(std::size_t at, const std::vector<std::string>& lines);
    // Line `at` becomes `lines` (one or more); its hidden attribute lines and
    // its line end stay after the last of them.
    void Replace(std::size_t at, const std::vector<std::string>& lines);
    void Erase(std::size_t at, std::size_t count);

    // Building (loader and tests).
    void SetHeader(std::string header) { header_ = std::move(header); }
    const std::string& Header() const { return header_; }
    void AppendLine(std::string text, std::string lineEnd);
    // Appends hidden bytes after the last visible line (or to the header
    // when there is none yet).
    void AppendHidden(const std::string& bytes);
    const std::string& HiddenAfter(std::size_t line) const { return hidden_[line]; }
    const std::string& LineEnd(std::size_t line) const { return ends_[line]; }

    // The line end for new lines: the file's own (the first one read), CR LF
    // for a new module.
    const std::string& NewLineEnd() const { return newLineEnd_; }
    void SetNewLineEnd(std::string end) { newLineEnd_ = std::move(end); }

    // The whole file: header, then each line with its end and hidden bytes.
    std::string Serialize() const;

private:
    std::string header_;
    std::vector<std::string> lines_;
    std::vector<std::string> ends_;
    std::vector<std::string> hidden_;
    std::string newLineEnd_ = "\r\n";
};

}  // namespace vbide
