#pragma once
// A read-only sequence of lines that does not own them: the lines of a
// module's text or of a vector of strings, read through one small interface
// so that the rules over lines need neither a copy nor a particular store.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vbide {

class TextLines {
public:
    using Reader = std::string_view (*)(const void* owner, std::size_t index);

    TextLines(const void* owner, std::size_t count, Reader reader) : owner_(owner), count_(count), reader_(reader) {}
    // The lines of a vector, which must outlive the sequence.
    TextLines(const std::vector<std::string>& lines)  // NOLINT: implicit on purpose
        : owner_(&lines), count_(lines.size()), reader_(&VectorLine) {}

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    std::string_view operator[](std::size_t index) const { return reader_(owner_, index); }

    class Iterator {
    public:
        Iterator(const TextLines* lines, std::size_t index) : lines_(lines), index_(index) {}
        std::string_view operator*() const { return (*lines_)[index_]; }
        Iterator& operator++() {
            ++index_;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return index_ != other.index_; }

    private:
        const TextLines* lines_;
        std::size_t index_;
    };
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, count_}; }

private:
    static std::string_view VectorLine(const void* owner, std::size_t index) {
        return (*static_cast<const std::vector<std::string>*>(owner))[index];
    }

    const void* owner_;
    std::size_t count_;
    Reader reader_;
};

}  // namespace vbide
