#pragma once
// The working folder of `./run`: an installed copy of the suite's programs and
// libraries, the sample project, a registry store seeded from the samples, the
// add-ins registered in it, and the environment's add-in list.
//
//   <work>/bin, <work>/lib     the programs and libraries, copied from the build
//   <work>/project/Ledger.vbp  the sample project (copied once; your edits stay)
//   <work>/registry.db         the registry store (TARNWICK_REGISTRY)
//   <work>/vbaddin.ini         the environment's add-in list (TARNWICK_ADDINS)
//   <work>/screenshots         what the tour saves

#include <filesystem>
#include <iosfwd>

namespace tarnwick {

struct WorkFolder {
    std::filesystem::path root;
    std::filesystem::path bin;
    std::filesystem::path lib;
    std::filesystem::path project;   // the .vbp file
    std::filesystem::path registry;  // registry.db
    std::filesystem::path addins;    // vbaddin.ini
    std::filesystem::path screenshots;
};

// $TARNWICK_WORK, else ${XDG_DATA_HOME:-~/.local/share}/tarnwick/work.
std::filesystem::path WorkFolderPath();

// The folders and files of the working folder, without touching the disk.
WorkFolder DescribeWorkFolder(const std::filesystem::path& root);

// Lays out the working folder from the build that `selfBin` (the folder of the
// running tarnwick program) belongs to and the source tree's samples; points
// this process at its registry store and add-in list (environment variables),
// and says what it did on `out`. Throws std::runtime_error with a message
// naming the file on failure.
WorkFolder PrepareWorkFolder(const std::filesystem::path& selfBin, std::ostream& out);

// Points this process (and the programs it starts) at the folder's registry
// store and add-in list.
void UseWorkFolder(const WorkFolder& folder);

}  // namespace tarnwick
