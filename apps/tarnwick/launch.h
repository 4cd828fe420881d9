#pragma once
// The launcher commands: lay out the working folder, and start the suite's
// programs from it.

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace tarnwick {

// `tarnwick setup`: installs the build at selfBin into the working folder.
int Setup(const std::filesystem::path& selfBin, std::ostream& out, std::ostream& err);

// Replaces this process with the working folder's copy of a program, with the
// folder's registry store and add-in list; answers only when it cannot start.
int Launch(const std::string& program, const std::vector<std::string>& args, std::ostream& err);

}  // namespace tarnwick
