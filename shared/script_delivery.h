#pragma once
// Where the registry script of a tarnwick command goes: to standard output,
// with --out FILE into that file, or with --import straight into the registry
// through the registry editor, started without asking (/s) and waited for.

#include <iosfwd>
#include <string>

namespace cli {

class Options;

// Delivers `script` as the options say (they must know "--out" and
// "--import"); `imported` is the line printed after a successful import.
// Problems go to `err` after "`command`: ". Returns the exit status: 0
// delivered, 1 the file could not be written, the editor could not be started
// or did not import the script (which is then kept and named). An empty
// --out is a UsageError.
int DeliverScript(const std::string& script, const Options& options, const std::string& command,
                  const std::string& imported, std::ostream& out, std::ostream& err);

}  // namespace cli
