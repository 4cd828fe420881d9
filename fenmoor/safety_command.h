#pragma once
// `tarnwick safety`: Fenmoor's registration script for scripts and
// installers. It writes what Finish writes for a component and the chosen
// entries, or the script that removes those entries, and shows which of the
// three entries a component has.

#include <iosfwd>
#include <string>
#include <vector>

namespace fenmoor {

// Runs the command; args are the words after "tarnwick safety". Returns the
// exit status: 0 done; 1 the script could not be written or the registry
// editor did not import it; 2 a usage error or a refused value (reported on
// err, naming the option).
int RunSafetyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace fenmoor
