#pragma once
// The command line of `tarnwick procedure`, parsed into the request that the
// dialog would have produced.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "quillon/generator.h"

namespace quillon {

// A usage error; the message names the option at fault.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ProcedureOptions {
    bool help = false;
    ProcedureRequest request;
    // Set when --class was given; otherwise the class follows from the type.
    std::optional<std::int16_t> dataClass;
    std::optional<std::string> projectName;
    std::optional<std::string> vbpPath;
    std::optional<std::string> moduleName;
};

// Parses the words after "tarnwick procedure". The kind's column of the
// dialog's kind table is applied first and the other options over it; an option
// for a control that the kind disables may only repeat the value the kind sets.
// Throws UsageError.
ProcedureOptions ParseProcedureOptions(const std::vector<std::string>& args);

// The text of --help.
const char* ProcedureUsage();

}  // namespace quillon
