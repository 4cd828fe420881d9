#include "shared/command_options.h"

#include <algorithm>

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

void Options::Exclusive(std::string_view first, std::string_view second) const {
    if (Has(first) && Has(second))
        throw UsageError(std::string(first) + " and " + std::string(second) + " cannot be used together");
}

}  // namespace cli
