// tarnwick-tour: the headless tour that `tarnwick tour` starts. It is a
// program of its own because the tour renders every window it opens for its
// screenshots: the tarnwick program, which scripts call, links no window system.

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "apps/tarnwick/launch.h"
#include "apps/tarnwick/tour.h"
#include "apps/tarnwick/work_folder.h"
#include "platform/win/files.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    static int anchor;
    const std::filesystem::path self = win::GetModuleFolder(&anchor);
    // The tour runs from the working folder's installed copy, with its libraries.
    tarnwick::WorkFolder w = tarnwick::DescribeWorkFolder(tarnwick::WorkFolderPath());
    if (std::filesystem::weakly_canonical(self) != std::filesystem::weakly_canonical(w.bin))
        return tarnwick::Launch("tarnwick-tour", args, std::cerr);
    tarnwick::UseWorkFolder(w);
    return tarnwick::RunTour(w, std::cout, std::cerr);
}
