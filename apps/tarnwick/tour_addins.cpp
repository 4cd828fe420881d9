#include "apps/tarnwick/tour_addins.h"

#include <ostream>

#include "apps/tarnwick/tour_support.h"
#include "base/line_diff.h"
#include "platform/forms/form.h"
#include "platform/forms/headless.h"
#include "platform/vbide/project_file.h"

namespace tarnwick {

namespace {

// The lines of `after` that are not in `before`, as runs with their first
// line number.
void PrintInsertions(std::ostream& out, const std::vector<std::string>& before,
                     const std::vector<std::string>& after) {
    bool inRun = false;
    for (const text::LineEdit& edit : text::DiffLines(before, after)) {
        if (edit.op == text::EditOp::Keep) inRun = false;
        if (edit.op != text::EditOp::Add) continue;
        if (!inRun) out << "  inserted at line " << edit.b + 1 << ":\n";
        inRun = true;
        out << "  | " << after[edit.b] << "\n";
    }
}

void SaveAndSay(TourContext& tour) {
    vbide::SaveProject(tour.project);
    tour.out << "  saved " << tour.project->FileName() << " and its changed modules\n";
}

std::string WindowName(const vbide::WindowPtr& w) {
    return w->Caption() + " (kind " + std::to_string(static_cast<std::int32_t>(w->Type())) + ")";
}

}  // namespace

bool TourQuillon(TourContext& tour) {
    Heading(tour.out, "Quillon: a property with a member, added to class CAccount");
    auto component = tour.project->VBComponents()->Item("CAccount");
    auto pane = tour.env->OpenCodePane(component);
    auto module = component->CodeModule();
    const auto before = ModuleLines(module);
    auto command = MenuCommand(tour.env, "Tools", "Tarnwick Add Procedure...");

    tour.ui.QueueModal([&](forms::Form& f) {
        f.Get<forms::TextBox>("txtName").UserType("Balance");
        f.Get<forms::OptionButton>("optType", 2).UserClick();
        auto& type = f.Get<forms::ComboBox>("cboDataType");
        for (int i = 0; i < type.ListCount(); ++i)
            if (type.List(i) == "Currency") type.UserSelect(i);
        Snap(f, tour.screenshots / "quillon-dialog.png", tour.out);
        f.Get<forms::CommandButton>("cmdOK").UserClick();
    });
    tour.env->Click(command);
    const auto after = ModuleLines(module);
    if (after == before) {
        tour.out << "  nothing was inserted\n";
        return false;
    }
    PrintInsertions(tour.out, before, after);
    tour.out << "  code pane scrolled to line " << pane->TopLine() << "\n";
    SaveAndSay(tour);
    return true;
}

bool TourConfig(TourContext& tour) {
    Heading(tour.out, "Config: the project switched to \"release\"");
    auto dropDown = ToolbarDropDown(tour.env);
    if (!dropDown) {
        tour.out << "  no configuration drop-down on the Standard toolbar\n";
        return false;
    }
    std::int32_t release = 0;
    tour.out << "  configurations:";
    for (std::int32_t i = 1; i <= dropDown->ListCount(); ++i) {
        tour.out << " " << dropDown->List(i);
        if (dropDown->List(i) == "release") release = i;
    }
    tour.out << " (current: " << (dropDown->ListIndex() > 0 ? dropDown->List(dropDown->ListIndex()) : "none")
             << ")\n";
    if (!release) return false;
    tour.env->Pick(dropDown, release);
    auto components = tour.project->VBComponents();
    for (std::int32_t c = 1; c <= components->Count(); ++c) {
        auto module = components->Item(c)->CodeModule();
        auto lines = ModuleLines(module);
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].rfind("#Const ", 0) == 0)
                tour.out << "  " << components->Item(c)->Name() << ", line " << i + 1 << ": "
                         << lines[i] << "\n";
    }
    SaveAndSay(tour);
    auto dialogCommand = MenuCommand(tour.env, "Project", "Configurations...");
    tour.ui.QueueModal([&](forms::Form& f) {
        Snap(f, tour.screenshots / "config-dialog.png", tour.out);
        f.Get<forms::CommandButton>("cmdClose").UserClick();
    });
    tour.env->Click(dialogCommand);
    return true;
}

bool TourWendover(TourContext& tour) {
    Heading(tour.out, "Wendover: the work area maximised and restored");
    tour.env->Click(MenuCommand(tour.env, "Add-Ins", "VB Wendover Agent..."));
    forms::Form* options = tour.ui.VisibleForm("frmOptions");
    if (!options) {
        tour.out << "  the options dialog did not open\n";
        return false;
    }
    const char* chosen[] = {"chkImmediate", "chkLocals", "chkWatch", "chkBrowser", "chkColor",
                            "chkToolbox"};
    for (const char* name : chosen)
        for (int index : {0, 1})
            if (auto& box = options->Get<forms::CheckBox>(name, index); box.Value() != 1) box.UserClick();
    tour.out << "  options: close and restore Immediate, Locals, Watch, Object Browser, Color "
                "Palette and tool windows\n";
    Snap(*options, tour.screenshots / "wendover-options.png", tour.out);
    options->Get<forms::CommandButton>("cmdOK").UserClick();

    auto windows = tour.env->Windows();
    // Show every tool window first, so the toggle has something to close.
    for (std::int32_t i = 1; i <= windows->Count(); ++i) {
        auto type = windows->Item(i)->Type();
        if (type != vbide::vbext_wt_CodeWindow && type != vbide::vbext_wt_Designer &&
            type != vbide::vbext_wt_MainWindow && type != vbide::vbext_wt_LinkedWindowFrame)
            windows->Item(i)->SetVisible(true);
    }
    auto visible = [&] {
        std::vector<std::string> names;
        for (std::int32_t i = 1; i <= windows->Count(); ++i)
            if (windows->Item(i)->Visible()) names.push_back(WindowName(windows->Item(i)));
        return names;
    };
    auto toggle = MenuCommand(tour.env, "View", "Max Work Area");
    const auto start = visible();
    tour.env->Click(toggle);
    const auto maxed = visible();
    tour.out << "  \"" << "&Max Work Area" << "\" closed:\n";
    for (const auto& name : start)
        if (std::find(maxed.begin(), maxed.end(), name) == maxed.end()) tour.out << "    " << name << "\n";
    tour.out << "  the command now reads \"" << toggle->Caption() << "\"\n";
    tour.env->Click(toggle);
    const auto restored = visible();
    tour.out << "  \"" << "&Restore Work Area" << "\" showed:\n";
    for (const auto& name : restored)
        if (std::find(maxed.begin(), maxed.end(), name) == maxed.end()) tour.out << "    " << name << "\n";
    return maxed.size() < start.size();
}

}  // namespace tarnwick
