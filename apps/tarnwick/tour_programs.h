#pragma once
// The tour's steps for the two programs, run in this process with their main
// forms driven as a user would, their registry editor calls recorded and
// their scripts imported into the working folder's registry store.

#include <filesystem>
#include <iosfwd>

namespace forms {
class HeadlessUi;
}

namespace tarnwick {

struct ProgramTour {
    forms::HeadlessUi& ui;
    std::filesystem::path programFolder;  // where the programs write their scripts
    std::filesystem::path screenshots;
    std::ostream& out;
};

bool TourLarkspur(ProgramTour& tour);
bool TourFenmoor(ProgramTour& tour);

}  // namespace tarnwick
