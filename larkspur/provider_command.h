#pragma once
// `tarnwick provider`: Larkspur's registration script for scripts and
// installers. `register` writes what GO! writes for the same four fields,
// `unregister` the script that takes it away again, `list` the providers
// registered on the runtime.

#include <iosfwd>
#include <string>
#include <vector>

namespace larkspur {

// Runs the command; args are the words after "tarnwick provider". Returns the
// exit status: 0 done; 1 the runtime is not registered, the script could not
// be written or the registry editor did not import it; 2 a usage error or a
// refused value (reported on err, naming the option).
int RunProviderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace larkspur
