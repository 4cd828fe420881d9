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

const std::vector<Command>& Commands();

}  // namespace tarnwick
