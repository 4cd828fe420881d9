#pragma once
// The tour's steps for the three add-ins, run in one environment on the
// tour's copy of the sample project.

#include <filesystem>
#include <iosfwd>

#include "platform/vbide/environment.h"

namespace forms {
class HeadlessUi;
}

namespace tarnwick {

struct TourContext {
    std::shared_ptr<vbide::Environment> env;
    vbide::VBProjectPtr project;
    forms::HeadlessUi& ui;
    std::filesystem::path screenshots;
    std::ostream& out;
};

// Each step answers whether it did its work.
bool TourQuillon(TourContext& tour);
bool TourConfig(TourContext& tour);
bool TourWendover(TourContext& tour);

}  // namespace tarnwick
