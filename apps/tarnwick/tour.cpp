#include "apps/tarnwick/tour.h"

#include <functional>
#include <ostream>

#include "apps/tarnwick/tour_addins.h"
#include "apps/tarnwick/tour_programs.h"
#include "apps/tarnwick/tour_support.h"
#include "apps/tarnwick/work_folder.h"
#include "base/vb_error.h"
#include "platform/forms/headless.h"
#include "platform/vbide/addin_host.h"
#include "platform/vbide/project_file.h"
#include "platform/win/process.h"

namespace fs = std::filesystem;

namespace tarnwick {

namespace {

// The environment window on the tour's project, rendered offscreen by the
// environment program itself (its --screenshot mode never shows a window). It
// starts directly, so any character in the working folder's path is safe.
void IdeScreenshot(const WorkFolder& w, const fs::path& project, std::ostream& out) {
    Heading(out, "The environment window");
    const fs::path png = w.screenshots / "ide.png";
    int status = -1;
    try {
        status = win::RunAndWait({(w.bin / "ide").string(), "--screenshot", png.string(), project.string()},
                                 true);
    } catch (const vb::VbError&) {
        // Not started: reported below like a failed rendering.
    }
    if (status == 0 && fs::exists(png))
        out << "  screenshot: " << png.string() << "\n";
    else
        out << "  (the environment window could not be rendered)\n";
}

}  // namespace

int RunTour(const WorkFolder& w, std::ostream& out, std::ostream& err) {
    // The tour works on its own fresh copy of the sample project, so that it
    // shows the same results every time and leaves the user's copy alone.
    const fs::path tourProject = w.root / "tour" / "project";
    std::error_code ec;
    fs::remove_all(tourProject, ec);
    fs::create_directories(tourProject);
    fs::copy(fs::path(TARNWICK_SOURCE_DIR) / "samples" / "project", tourProject,
             fs::copy_options::recursive, ec);
    if (ec) {
        err << "tarnwick tour: cannot copy the sample project: " << ec.message() << "\n";
        return 1;
    }
    fs::create_directories(w.screenshots);
    out << "Tour of the Tarnwick suite on " << (tourProject / "Ledger.vbp").string() << "\n";

    forms::ScopedHeadlessUi ui;
    auto env = vbide::Environment::Create();
    vbide::OpenResult opened;
    try {
        opened = vbide::OpenProjectFile(*env, (tourProject / "Ledger.vbp").string());
    } catch (const vb::VbError& e) {
        err << "tarnwick tour: " << e.Description() << "\n";
        return 1;
    }
    for (const auto& problem : opened.problems) out << "  project: " << problem.Text() << "\n";
    vbide::AddInHost host(env);
    for (const auto& failure : host.LoadStartupAddIns(w.addins.string()))
        out << "  add-in not loaded: " << failure << "\n";

    // Runs one tool's step; a step that fails or throws is counted and the
    // tour goes on with the next tool.
    int failed = 0;
    auto runStep = [&](const char* name, const std::function<bool()>& step) {
        bool ok = false;
        try {
            ok = step();
        } catch (const std::exception& e) {
            out << "  failed: " << e.what() << "\n";
        }
        if (!ok) {
            out << "  " << name << " did not complete\n";
            ++failed;
        }
    };

    TourContext tour{env, opened.projects.front(), ui, w.screenshots, out};
    runStep("Quillon", [&] { return TourQuillon(tour); });
    runStep("Config", [&] { return TourConfig(tour); });
    runStep("Wendover", [&] { return TourWendover(tour); });
    for (const std::string& report : env->Reports()) out << "  environment reported: " << report << "\n";
    IdeScreenshot(w, tourProject / "Ledger.vbp", out);

    // Each program starts with its own record of message boxes.
    ProgramTour programs{ui, w.bin, w.screenshots, out};
    runStep("Larkspur", [&] { ui.messages.clear(); return TourLarkspur(programs); });
    runStep("Fenmoor", [&] { ui.messages.clear(); return TourFenmoor(programs); });
    Heading(out, failed ? "Tour finished with " + std::to_string(failed) + " failed step(s)"
                        : "Tour finished");
    return failed ? 1 : 0;
}

}  // namespace tarnwick
