#pragma once
// The options of a command of the tarnwick program: "--name VALUE" or
// "--name=VALUE" for an option that takes a value, "--name" alone for a
// switch. Each command lists the options it knows; anything else is a usage
// error that names the word at fault.

#include <initializer_list>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// A usage error; the message names the option or word at fault.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Text the user gave for `what` (an option such as "--name", or an
// operand), converted from the locale's encoding to the projects' code page,
// in which it goes into modules, projects and scripts. Throws UsageError
// "WHAT: ..." when the text holds a character the code page lacks.
std::string CodePageText(std::string_view what, const std::string& text);

struct OptionSpec {
    std::string_view name;  // with its dashes: "--out"
    bool takesValue;
};

class Options {
public:
    // Reads the words against the known options, in order, so that a value
    // may itself start with dashes. Throws UsageError for an unknown option, a
    // word that is no option, a missing value, a value given to a switch, or
    // an option given twice.
    Options(const std::vector<std::string>& args, std::initializer_list<OptionSpec> known);

    bool Has(std::string_view name) const { return given_.count(name) != 0; }
    // The value of an option that takes one, when it was given.
    std::optional<std::string> Value(std::string_view name) const;
    // The value; UsageError "NAME is required" when it was not given.
    std::string Required(std::string_view name) const;
    // The same for text that goes into files (names, descriptions): in the
    // projects' code page (see CodePageText).
    std::optional<std::string> Text(std::string_view name) const;
    std::string RequiredText(std::string_view name) const;
    // UsageError when both options were given.
    void Exclusive(std::string_view first, std::string_view second) const;
    // "--help" or "-h" was given (both are always known).
    bool Help() const { return Has("--help") || Has("-h"); }

private:
    std::map<std::string, std::string, std::less<>> given_;
};

}  // namespace cli
