#pragma once
// The commands of the tarnwick program.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace tarnwick {

struct Command {
    const char* name;
    std::function<int(const std::vector<std::string>&, std::ostream&, std::ostream&)> run;
};

// The commands for scripts, which need no working folder and no window
// (the Windows build has only these).
const std::vector<Command>& ScriptCommands();

// Every command: the script commands, then those of ./run.
const std::vector<Command>& Commands();

}  // namespace tarnwick
