// vbhost.exe: the environment stand-in playing the VB6 IDE for add-in DLLs.
// It loads the add-ins that the add-in list file marks for start-up, by
// ProgID through COM, as the IDE does, and can open a project, activate a
// code pane, choose commands and save, so that an add-in's work can be seen
// and tested without the IDE.
//
//   vbhost [--ini FILE] [--project FILE.vbp] [--pane COMPONENT]
//          [--click "Menu Bar/View/&Max Work Area"]... [--screenshot FILE.png]
//          [--save] [--menus]
//
// --ini defaults to vbaddin.ini in the Windows folder. A --click path names a
// command bar and then controls by caption; each control before the last is
// a menu whose own bar holds the next. --menus prints the menu bar and the
// Standard toolbar afterwards. --screenshot writes the client area of the
// window that the last --click opens (an add-in's dialog) to a PNG file while
// it shows, and then closes that window as a person would. Every failure the environment reports is
// printed; the exit status is 0 when there was none, 1 otherwise, 2 for a
// usage error.

#include <objbase.h>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/vb_error.h"
#include "apps/vbhost/window_shot.h"
#include "platform/com/host/com_addin_host.h"
#include "platform/vbide/environment.h"
#include "platform/vbide/project_file.h"

namespace {

struct Options {
    std::string ini;
    std::string project;
    std::string pane;
    std::vector<std::string> clicks;
    std::string screenshot;
    bool save = false;
    bool menus = false;
};

bool Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--ini" && hasValue) o.ini = argv[++i];
        else if (a == "--project" && hasValue) o.project = argv[++i];
        else if (a == "--pane" && hasValue) o.pane = argv[++i];
        else if (a == "--click" && hasValue) o.clicks.push_back(argv[++i]);
        else if (a == "--screenshot" && hasValue) o.screenshot = argv[++i];
        else if (a == "--save") o.save = true;
        else if (a == "--menus") o.menus = true;
        else return false;
    }
    return o.screenshot.empty() || !o.clicks.empty();
}

std::string DefaultAddInList() {
    char folder[MAX_PATH];
    const UINT n = GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder, n) + "\\vbaddin.ini";
}

vbide::CommandBarControlPtr Resolve(vbide::Environment& env, const std::string& path) {
    std::vector<std::string> parts;
    for (std::size_t at = 0;;) {
        const std::size_t slash = path.find('/', at);
        parts.push_back(path.substr(at, slash - at));
        if (slash == std::string::npos) break;
        at = slash + 1;
    }
    if (parts.size() < 2) throw vb::VbError(5, "vbhost", "A command's path is a bar and a control: " + path);
    auto controls = env.CommandBars()->Item(parts[0])->Controls();
    for (std::size_t i = 1; i + 1 < parts.size(); ++i) controls = controls->Item(parts[i])->CommandBar()->Controls();
    return controls->Item(parts.back());
}

void PrintBar(const vbide::CommandBarPtr& bar, const std::string& indent) {
    const auto controls = bar->Controls();
    for (long i = 1; i <= controls->Count(); ++i) {
        const auto control = controls->Item(i);
        std::printf("%s%s%s\n", indent.c_str(), control->Caption().c_str(), control->Visible() ? "" : " (hidden)");
        if (control->Type() == vbide::msoControlPopup && indent.empty()) PrintBar(control->CommandBar(), "  ");
    }
}

int Run(const Options& o) {
    auto env = vbide::Environment::Create();
    vbide::VBProjectPtr project;
    if (!o.project.empty()) {
        const auto opened = vbide::OpenProjectFile(*env, o.project);
        for (const auto& problem : opened.problems) env->Report(problem.Text());
        if (!opened.projects.empty()) project = opened.projects.front();
    }
    if (project && !o.pane.empty()) env->OpenCodePane(project->VBComponents()->Item(o.pane));
    {
        com::host::ComAddInHost host(env);
        host.LoadStartupAddIns(o.ini.empty() ? DefaultAddInList() : o.ini);
        for (std::size_t i = 0; i < o.clicks.size(); ++i) {
            const std::string& click = o.clicks[i];
            std::unique_ptr<vbhost::WindowShot> shot;
            if (i + 1 == o.clicks.size() && !o.screenshot.empty())
                shot = std::make_unique<vbhost::WindowShot>(o.screenshot);
            try {
                env->Click(Resolve(*env, click));
            } catch (const vb::VbError& error) {
                env->Report(click + ": " + error.Description());
            }
            if (shot && !shot->Finish()) env->Report(click + ": no window to take a picture of in " + o.screenshot);
        }
        if (o.menus) {
            std::printf("[Menu Bar]\n");
            PrintBar(env->CommandBars()->Item("Menu Bar"), "");
            std::printf("[Standard]\n");
            PrintBar(env->CommandBars()->Item("Standard"), "");
        }
    }
    if (project && o.save) vbide::SaveProject(project);
    for (const auto& report : env->Reports()) std::printf("reported: %s\n", report.c_str());
    return env->Reports().empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: vbhost [--ini FILE] [--project FILE.vbp] [--pane COMPONENT] "
                     "[--click BAR/CONTROL...]... [--screenshot FILE.png] [--save] [--menus]\n"
                     "--screenshot needs a --click that opens the window\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int status = 1;
    try {
        status = Run(options);
    } catch (const vb::VbError& error) {
        std::printf("reported: %s\n", error.Description().c_str());
    }
    CoUninitialize();
    return status;
}
