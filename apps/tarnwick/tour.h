#pragma once
// The headless tour: every tool's main action on the samples, through the same
// code a user's clicks run, with what each produced printed and a screenshot
// of every window it opened.

#include <iosfwd>

namespace tarnwick {

struct WorkFolder;

int RunTour(const WorkFolder& folder, std::ostream& out, std::ostream& err);

}  // namespace tarnwick
