#pragma once
// An output stream for a command's messages: what the command writes in the
// projects' code page (names read from projects, stores and scripts) goes
// out in the user's encoding (win::MessageToLocale), a line at a time so that
// no character is cut in two. Text that is file content (generated code, scripts, diffs) is
// written to the plain stream instead.

#include <ostream>
#include <streambuf>
#include <string>

namespace cli {

class LocaleOutput : public std::ostream {
public:
    explicit LocaleOutput(std::ostream& target);
    ~LocaleOutput() override;
    LocaleOutput(const LocaleOutput&) = delete;
    LocaleOutput& operator=(const LocaleOutput&) = delete;

private:
    class Buffer : public std::streambuf {
    public:
        explicit Buffer(std::ostream& target) : target_(target) {}
        // Writes the pending text, converted.
        int sync() override;

    protected:
        int_type overflow(int_type c) override;

    private:
        std::ostream& target_;
        std::string pending_;
    };
    Buffer buffer_;
};

}  // namespace cli
