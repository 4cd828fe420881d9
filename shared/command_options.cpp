#include "shared/command_options.h"

#include <algorithm>

#include "platform/win/code_page.h"

namespace cli {

Options::Options(const std::vector<std::string>& args, std::initializer_list<OptionSpec> known) {
    std::vector<OptionSpec> options(known);
    options.push_back({"--help", false});
    options.push_back({"-h", false});
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (name.rfind("--", 0) == 0) {
            if (const auto equals = name.find('='); equals != std::string::npos) {
                value = name.substr(equals + 1);
                name.resize(equals);
            }
        }
        const auto known = std::find_if(options.begin(), options.end(),
                                       [&](const OptionSpec& o) { return o.name == name; });
        if (known == options.end()) {
            if (name.rfind("-", 0) == 0) throw UsageError("unknown option '" + name + "'");
            throw UsageError("unexpected argument '" + name + "'");
        }
        if (!known->takesValue && value) throw UsageError(name + " takes no value");
        if (known->takesValue && !value) {
            if (i + 1 >= args.size()) throw UsageError(name + " needs a value");
            value = args[++i];
        }
        if (!given_.emplace(name, value.value_or(std::string())).second)
            throw UsageError(name + " is given twice");
    }
}

std::optional<std::string> Options::Value(std::string_view name) const {
    const auto found = given_.find(name);
    if (found == given_.end()) return std::nullopt;
    return found->second;
}

std::string Options::Required(std::string_view name) const {
    if (auto value = Value(name)) return *value;
    throw UsageError(std::string(name) + " is required");
}

std::optional<std::string> Options::Text(std::string_view name) const {
    if (auto value = Value(name)) return CodePageText(name, *value);
    return std::nullopt;
}

std::string Options::RequiredText(std::string_view name) const { return CodePageText(name, Required(name)); }

void Options::Exclusive(std::string_view first, std::string_view second) const {
    if (Has(first) && Has(second))
        throw UsageError(std::string(first) + " and " + std::string(second) + " cannot be used together");
}

std::string CodePageText(std::string_view what, const std::string& text) {
    const unsigned codePage = win::ProjectCodePage();
    try {
        if (auto converted = win::LocaleToCodePage(text, codePage)) return *converted;
    } catch (const win::UnknownCodePage& e) {
        throw UsageError(std::string(what) + ": " + e.what() + " (TARNWICK_CODEPAGE)");
    }
    // The text is not repeated: the message goes out through the code page.
    throw UsageError(std::string(what) + ": the text holds a character that code page " +
                     std::to_string(codePage) + " lacks (TARNWICK_CODEPAGE chooses the code page)");
}

}  // namespace cli
