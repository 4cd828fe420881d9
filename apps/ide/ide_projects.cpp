// Opening, adding and saving projects, asking to save changes, the title,
// and the recent projects of the File menu.

#include <QAction>
#include <QDockWidget>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

#include "base/text.h"
#include "base/vb_error.h"
#include "apps/ide/command_bar_view.h"
#include "apps/ide/ide_window.h"
#include "apps/ide/project_explorer.h"
#include "apps/ide/tool_windows.h"
#include "platform/forms/qt/ansi.h"
#include "platform/forms/runtime.h"
#include "platform/vbide/command_bars.h"
#include "platform/vbide/project_file.h"

namespace ide {

using forms::qt::FromAnsi;

namespace {

constexpr int kRecentCount = 4;

std::string FileNameOf(const std::string& path) { return std::string(text::LastPathElement(path)); }

// The files of a changed project that a save would write, as the prompt
// lists them: the project file, then each changed form and module. A
// project never saved is its name with ".vbp" (its modules get their names
// when the Save As dialog has a folder for them).
std::vector<std::string> ChangedFiles(vbide::VBProject& project) {
    if (project.FileName().empty()) return {project.Name() + ".vbp"};
    std::vector<std::string> files{FileNameOf(project.FileName())};
    std::vector<vbide::PendingFile> pending;
    try {
        pending = project.PendingSave();
    } catch (const vb::VbError&) {
        return files;  // a module added since has no file yet
    }
    for (const vbide::PendingFile& file : pending)
        if (!text::EqualsNoCase(FileNameOf(file.path), files.front())) files.push_back(FileNameOf(file.path));
    return files;
}

}  // namespace

void IdeWindow::ProjectsChanged() {
    explorer_->Refresh();
    if (properties_) ShowPropertiesOf(properties_, env_);
    UpdateTitle();
}

void IdeWindow::UpdateTitle() {
    std::string title = env_->MainWindow()->Caption() + " [design][*]";
    bool dirty = false;
    if (auto p = env_->ActiveVBProject()) title = p->Name() + " - " + title;
    auto projects = env_->VBProjects();
    for (std::int32_t i = 1; i <= projects->Count(); ++i) dirty = dirty || projects->Item(i)->IsDirty();
    setWindowTitle(FromAnsi(title));
    setWindowModified(dirty);
    for (auto& [key, entry] : docks_)
        if (entry.first->Type() == vbide::vbext_wt_ProjectWindow) {
            auto active = env_->ActiveVBProject();
            entry.second->setWindowTitle(FromAnsi(entry.first->Caption() + (active ? " - " + active->Name() : "")));
        }
}

bool IdeWindow::OpenProject(const std::string& path) {
    if (!QuerySaveAll()) return false;
    try {
        auto projects = env_->VBProjects();
        while (projects->Count() > 0) env_->RemoveProject(projects->Item(1));
    } catch (const vb::VbError& e) {
        Fail(e.what());
        return false;
    }
    return AddProject(path);
}

bool IdeWindow::AddProject(const std::string& path) {
    vbide::OpenResult result;
    try {
        result = vbide::OpenProjectFile(*env_, path);
    } catch (const vb::VbError& e) {
        Fail(e.what());
        return false;
    }
    AddRecent(path);
    // The code of the start-up project's first module is shown, as the
    // environment restores the code window of a project's last session.
    if (!result.projects.empty()) {
        auto components = result.projects.front()->VBComponents();
        for (std::int32_t i = 1; i <= components->Count(); ++i) {
            auto c = components->Item(i);
            if (c->Type() == vbide::vbext_ct_StdModule || c->Type() == vbide::vbext_ct_ClassModule) {
                try {
                    env_->OpenCodePane(c);
                } catch (const vb::VbError&) {
                }
                break;
            }
        }
        env_->ActivateProject(result.projects.front());
    }
    ProjectsChanged();
    return true;
}

bool IdeWindow::SaveProject(const vbide::VBProjectPtr& project, bool askForName) {
    if (!project) return false;
    std::string path = project->FileName();
    if (askForName || path.empty()) {
        path = askFileName(true, path.empty() ? project->Name() + ".vbp" : path);
        if (path.empty()) return false;
    }
    try {
        vbide::SaveProject(project, path == project->FileName() ? std::string() : path);
    } catch (const vb::VbError& e) {
        Fail(e.what());
        return false;
    }
    AddRecent(project->FileName().empty() ? path : project->FileName());
    ProjectsChanged();
    return true;
}

bool IdeWindow::QuerySaveAll() {
    std::vector<vbide::VBProjectPtr> dirty;
    auto projects = env_->VBProjects();
    for (std::int32_t i = 1; i <= projects->Count(); ++i)
        if (projects->Item(i)->IsDirty()) dirty.push_back(projects->Item(i));
    return QuerySave(dirty);
}

bool IdeWindow::QuerySave(const std::vector<vbide::VBProjectPtr>& dirty) {
    if (dirty.empty()) return true;
    std::string prompt = "Save changes to the following files?\r\n";
    for (auto& p : dirty)
        for (const std::string& file : ChangedFiles(*p)) prompt += "\r\n" + file;
    const int answer = forms::MsgBox(prompt, forms::vbYesNoCancel | forms::vbExclamation,
                                     env_->MainWindow()->Caption());
    if (answer == forms::vbCancel) return false;
    if (answer == forms::vbNo) return true;
    for (auto& p : dirty)
        if (!SaveProject(p)) return false;
    return true;
}

// ---- Recent projects -----------------------------------------------------------------

std::vector<std::string> IdeWindow::RecentProjects() const {
    std::vector<std::string> out;
    for (const QString& s : settings_->value("RecentProjects").toStringList()) out.push_back(s.toStdString());
    return out;
}

void IdeWindow::AddRecent(const std::string& path) {
    QString full = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    QStringList list = settings_->value("RecentProjects").toStringList();
    list.removeAll(full);
    list.prepend(full);
    while (list.size() > kRecentCount) list.removeLast();
    settings_->setValue("RecentProjects", list);
    if (auto menu = env_->FindControl(vbide::kCmdFileMenu))
        if (QAction* file = bars_->ActionFor(menu); file && file->menu()) FillRecent(file->menu());
}

void IdeWindow::FillRecent(QMenu* file) {
    for (QAction* a : file->actions())
        if (a->property("recent").toBool()) {
            file->removeAction(a);
            a->deleteLater();
        }
    // The list goes above Exit (at the end when an add-in took Exit away).
    auto exitControl = env_->FindControl(vbide::kCmdExit);
    QAction* exit = exitControl ? bars_->ActionFor(exitControl) : nullptr;
    if (exit && !file->actions().contains(exit)) exit = nullptr;
    auto recent = RecentProjects();
    if (recent.empty()) return;
    auto* separator = new QAction(file);
    separator->setSeparator(true);
    separator->setProperty("recent", true);
    file->insertAction(exit, separator);
    int n = 0;
    for (const auto& path : recent) {
        auto* action = new QAction(QString("&%1 %2").arg(++n).arg(QString::fromStdString(path)), file);
        action->setProperty("recent", true);
        connect(action, &QAction::triggered, this, [this, path] { OpenProject(path); });
        file->insertAction(exit, action);
    }
    auto* after = new QAction(file);
    after->setSeparator(true);
    after->setProperty("recent", true);
    file->insertAction(exit, after);
}

}  // namespace ide
