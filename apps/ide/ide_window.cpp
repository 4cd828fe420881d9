#include "apps/ide/ide_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QScrollBar>
#include <QFileDialog>
#include <QInputDialog>
#include <QLinearGradient>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QSettings>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <set>

#include "apps/ide/addin_host.h"
#include "apps/ide/addin_manager.h"
#include "apps/ide/code_editor.h"
#include "apps/ide/code_window.h"
#include "apps/ide/command_bar_view.h"
#include "apps/ide/model_access.h"
#include "apps/ide/project_explorer.h"
#include "apps/ide/tool_windows.h"
#include "apps/ide/toolbar_icons.h"
#include "base/text.h"
#include "platform/forms/qt/ansi.h"
#include "platform/forms/runtime.h"
#include "platform/vbide/project_file.h"

namespace ide {

using forms::qt::FromAnsi;
using forms::qt::ToAnsi;

namespace {

constexpr int kRecentCount = 4;

// A caption as the user reads it: without access keys and without a
// trailing "...".
std::string Plain(const std::string& caption) {
    std::string out = text::StripAccessKeys(caption);
    if (out.size() > 3 && out.compare(out.size() - 3, 3, "...") == 0) out.resize(out.size() - 3);
    return out;
}

std::string FileNameOf(const std::string& path) {
    auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A tool window's dock: the user closing it closes the model's window.
class ToolDock : public QDockWidget {
public:
    using QDockWidget::QDockWidget;
    std::function<void()> onClose;

protected:
    void closeEvent(QCloseEvent* event) override {
        if (onClose) onClose();
        QDockWidget::closeEvent(event);
    }
};

// A code window: the user closing it closes the model's code window, whose
// removal then takes the view away.
class CodeSubWindow : public QMdiSubWindow {
public:
    std::function<bool()> onClose;  // answers whether Qt may close it itself

protected:
    void closeEvent(QCloseEvent* event) override {
        if (onClose && !onClose()) {
            event->ignore();
            return;
        }
        QMdiSubWindow::closeEvent(event);
    }
};

}  // namespace

class IdeWindow::Bridge : public vbide::EnvironmentObserver {
public:
    explicit Bridge(IdeWindow& w) : w_(w) {}
    void ControlsChanged(const vbide::CommandBarPtr& bar) override {
        Safe([&] { w_.bars_->ControlsChanged(bar); });
    }
    void ControlChanged(const vbide::CommandBarControlPtr& c) override {
        Safe([&] { w_.bars_->ControlChanged(c); });
    }
    void WindowsChanged() override {
        Safe([&] { w_.SyncCodeWindows(); });
        // A new code window is told before its pane is attached to it: look
        // again once the environment's call has returned.
        QTimer::singleShot(0, &w_, [w = &w_] { w->SyncCodeWindows(); });
    }
    void WindowVisibleChanged(const vbide::WindowPtr& window) override {
        Safe([&] { w_.WindowVisibleChanged(window); });
    }
    void ProjectsChanged() override { Safe([&] { w_.ProjectsChanged(); }); }
    void ComponentsChanged(const vbide::VBProjectPtr&) override { Safe([&] { w_.ProjectsChanged(); }); }
    void CodeChanged(const vbide::CodeModulePtr& module) override { Safe([&] { w_.CodeChanged(module); }); }
    void TopLineChanged(const vbide::CodePanePtr& pane) override { Safe([&] { w_.TopLineChanged(pane); }); }
    void ActiveCodePaneChanged(const vbide::CodePanePtr& pane) override {
        Safe([&] { w_.ActiveCodePaneChanged(pane); });
    }
    void Reported(const std::string& message) override { w_.Fail(message); }

private:
    // An object the view reads may be on its way out while the change is
    // told (a project being removed): show the model again once the
    // environment's call has returned.
    template <class F>
    void Safe(F f) {
        try {
            f();
        } catch (const vb::VbError&) {
            QTimer::singleShot(0, &w_, [w = &w_] {
                w->SyncCodeWindows();
                w->ProjectsChanged();
            });
        }
    }
    IdeWindow& w_;
};

IdeWindow::IdeWindow(std::shared_ptr<vbide::Environment> env, AddInHost* addIns,
                     const QString& settingsFile, QWidget* parent)
    : QMainWindow(parent), env_(std::move(env)), addIns_(addIns), settingsFile_(settingsFile) {
    setObjectName("IdeWindow");
    askFileName = [this](bool save, const std::string& suggested) { return DefaultAskFileName(save, suggested); };
    report = [this](const std::string& message) {
        forms::MsgBox(message, forms::vbOKOnly | forms::vbExclamation, env_->MainWindow()->Caption());
    };

    mdi_ = new QMdiArea;
    mdi_->setBackground(QColor(0x80, 0x80, 0x80));
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (syncing_ || !sub) return;
        for (auto& [key, view] : code_)
            if (view.sub == sub) {
                try {
                    if (env_->ActiveCodePane() != view.pane) view.pane->Show();
                } catch (const vb::VbError& e) {
                    Fail(e.what());
                }
                return;
            }
    });

    bars_ = std::make_unique<CommandBarView>(*this, env_->CommandBars());
    bars_->onChoose = [this](const vbide::CommandBarControlPtr& c) { Choose(c); };
    bars_->onPick = [this](const vbide::CommandBarControlPtr& c, long index) { Pick(c, index); };
    bars_->onMenuFilled = [this](QMenu* menu, const vbide::CommandBarPtr& bar) {
        try {
            auto file = env_->CommandBars()->Item("Menu Bar")->Controls()->Item("File");
            if (file->CommandBar() == bar) FillRecent(menu);
        } catch (const vb::VbError&) {
            // No File menu any more: no recent projects to show.
        }
    };
    bars_->Build();

    explorer_ = new ProjectExplorer(env_);
    explorer_->onFailure = [this](const std::string& m) { Fail(m); };
    BuildDocks();
    SyncCodeWindows();

    selection_ = env_->Events()->VBComponentsEvents(nullptr);
    selection_->ItemSelected = [this](const vbide::VBComponentPtr&) {
        if (properties_) ShowPropertiesOf(properties_, env_);
    };

    bridge_ = std::make_shared<Bridge>(*this);
    env_->AddObserver(bridge_);

    resize(1024, 720);
    std::unique_ptr<QSettings> settings = settingsFile_.isEmpty()
        ? std::make_unique<QSettings>("Tarnwick", "Environment")
        : std::make_unique<QSettings>(settingsFile_, QSettings::IniFormat);
    if (settings->contains("Window/Geometry")) restoreGeometry(settings->value("Window/Geometry").toByteArray());
    UpdateTitle();
}

IdeWindow::~IdeWindow() {
    bridge_.reset();
    selection_.reset();
}

// ---- Tool windows ----------------------------------------------------------------

void IdeWindow::BuildDocks() {
    QList<QDockWidget*> right, bottom;
    QDockWidget* firstBottom = nullptr;
    auto windows = env_->Windows();
    for (long i = 1; i <= windows->Count(); ++i) {
        auto w = windows->Item(i);
        const auto type = w->Type();
        if (IsEditingWindow(type) || type == vbide::vbext_wt_MainWindow || type == vbide::vbext_wt_Find ||
            type == vbide::vbext_wt_FindReplace || type == vbide::vbext_wt_LinkedWindowFrame)
            continue;
        auto* dock = new ToolDock(FromAnsi(w->Caption()), this);
        dock->setObjectName(FromAnsi(w->Caption()));
        QWidget* content = nullptr;
        if (type == vbide::vbext_wt_ProjectWindow) {
            content = ProjectWindowContent();
        } else {
            content = MakeToolWindowContent(type, w->Caption(), env_);
            if (type == vbide::vbext_wt_PropertyWindow) properties_ = content;
        }
        dock->setWidget(content);
        std::weak_ptr<vbide::Window> weak = w;
        dock->onClose = [this, weak] {
            if (syncing_ || closing_) return;
            auto window = weak.lock();
            if (!window) return;
            try {
                window->Close();
            } catch (const vb::VbError& e) {
                Fail(e.what());
            }
        };
        Qt::DockWidgetArea area = Qt::BottomDockWidgetArea;
        switch (type) {
            case vbide::vbext_wt_Toolbox: area = Qt::LeftDockWidgetArea; break;
            case vbide::vbext_wt_ProjectWindow:
            case vbide::vbext_wt_PropertyWindow:
            case vbide::vbext_wt_Preview: area = Qt::RightDockWidgetArea; break;
            default: break;
        }
        addDockWidget(area, dock);
        if (area == Qt::RightDockWidgetArea) right << dock;
        if (area == Qt::BottomDockWidgetArea) {
            if (firstBottom) tabifyDockWidget(firstBottom, dock);
            else firstBottom = dock;
            bottom << dock;
        }
        dock->setVisible(w->Visible());
        docks_[w.get()] = {w, dock};
    }
    if (right.size() == 3) resizeDocks(right, {180, 240, 120}, Qt::Vertical);
    if (!right.isEmpty()) resizeDocks({right.front()}, {230}, Qt::Horizontal);
    if (firstBottom) resizeDocks({firstBottom}, {140}, Qt::Vertical);
    for (auto& [key, entry] : docks_)
        if (entry.first->Type() == vbide::vbext_wt_Toolbox) resizeDocks({entry.second}, {84}, Qt::Horizontal);
}

QWidget* IdeWindow::ProjectWindowContent() {
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* buttons = new QToolBar;
    buttons->setIconSize(QSize(16, 16));
    buttons->addAction(ToolbarIcon("Code Window"), "View Code", explorer_, [this] { explorer_->ViewCode(); });
    buttons->addAction(ToolbarIcon("Add Form"), "View Object")->setEnabled(false);
    QAction* folders = buttons->addAction(ToolbarIcon("Open Project"), "Toggle Folders");
    folders->setCheckable(true);
    folders->setChecked(true);
    connect(folders, &QAction::toggled, explorer_, [this](bool on) { explorer_->SetFolders(on); });
    column->addWidget(buttons);
    column->addWidget(explorer_, 1);
    return content;
}

QDockWidget* IdeWindow::DockFor(const vbide::WindowPtr& window) const {
    auto it = docks_.find(window.get());
    return it == docks_.end() ? nullptr : it->second.second;
}

void IdeWindow::WindowVisibleChanged(const vbide::WindowPtr& window) {
    const bool wasSyncing = syncing_;
    syncing_ = true;
    if (auto it = docks_.find(window.get()); it != docks_.end()) {
        it->second.second->setVisible(window->Visible());
        if (window->Visible()) it->second.second->raise();
    } else if (auto c = code_.find(window.get()); c != code_.end()) {
        c->second.sub->setVisible(window->Visible());
    }
    syncing_ = wasSyncing;
}

// ---- Code windows ----------------------------------------------------------------

void IdeWindow::SyncCodeWindows() {
    const bool wasSyncing = syncing_;
    syncing_ = true;
    std::set<vbide::Window*> present;
    auto windows = env_->Windows();
    for (long i = 1; i <= windows->Count(); ++i) {
        auto w = windows->Item(i);
        if (w->Type() != vbide::vbext_wt_CodeWindow) continue;
        present.insert(w.get());
        if (code_.count(w.get())) continue;
        auto pane = PaneOfWindow(w);
        if (!pane) continue;
        auto* codeWindow = new CodeWindow(pane);
        CodeEditor* editor = codeWindow->Editor();
        editor->onFailure = [this](const std::string& m) { Fail(m); };
        auto* sub = new CodeSubWindow;
        sub->setWidget(codeWindow);
        sub->setWindowIcon(ToolbarIcon("Code Window"));
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        sub->setWindowTitle(FromAnsi(w->Caption()));
        std::weak_ptr<vbide::Window> weak = w;
        sub->onClose = [this, weak] {
            if (syncing_ || closing_) return true;
            if (auto window = weak.lock()) {
                try {
                    window->Close();
                } catch (const vb::VbError& e) {
                    Fail(e.what());
                }
            }
            return false;
        };
        mdi_->addSubWindow(sub);
        sub->resize(std::max(420, mdi_->viewport()->width() * 17 / 20), std::max(300, mdi_->viewport()->height() * 4 / 5));
        code_[w.get()] = CodeView{w, pane, sub, editor};
        if (w->Visible()) sub->show();
        connect(editor->verticalScrollBar(), &QScrollBar::rangeChanged, editor,
                [editor] { editor->FollowTopLine(); });
    }
    for (auto it = code_.begin(); it != code_.end();) {
        if (present.count(it->first)) {
            ++it;
            continue;
        }
        QMdiSubWindow* sub = it->second.sub;
        mdi_->removeSubWindow(sub);
        sub->deleteLater();
        it = code_.erase(it);
    }
    // The model decides which pane is active, not the order of creation.
    if (auto active = env_->ActiveCodePane())
        if (auto* sub = SubWindowFor(active)) mdi_->setActiveSubWindow(sub);
    syncing_ = wasSyncing;
}

CodeEditor* IdeWindow::EditorFor(const vbide::CodePanePtr& pane) const {
    for (auto& [key, view] : code_)
        if (view.pane == pane) return view.editor;
    return nullptr;
}

QMdiSubWindow* IdeWindow::SubWindowFor(const vbide::CodePanePtr& pane) const {
    for (auto& [key, view] : code_)
        if (view.pane == pane) return view.sub;
    return nullptr;
}

void IdeWindow::CodeChanged(const vbide::CodeModulePtr& module) {
    for (auto& [key, view] : code_)
        if (view.editor->Module() == module) view.editor->ModuleChanged();
    UpdateTitle();
}

void IdeWindow::TopLineChanged(const vbide::CodePanePtr& pane) {
    if (!EditorFor(pane)) SyncCodeWindows();
    if (auto* editor = EditorFor(pane)) editor->FollowTopLine();
}

void IdeWindow::ActiveCodePaneChanged(const vbide::CodePanePtr& pane) {
    if (!pane) return;
    if (!SubWindowFor(pane)) SyncCodeWindows();
    const bool wasSyncing = syncing_;
    syncing_ = true;
    if (auto* sub = SubWindowFor(pane)) {
        sub->show();
        mdi_->setActiveSubWindow(sub);
    }
    syncing_ = wasSyncing;
}

// ---- Projects ----------------------------------------------------------------------

void IdeWindow::ProjectsChanged() {
    explorer_->Refresh();
    if (properties_) ShowPropertiesOf(properties_, env_);
    UpdateTitle();
}

void IdeWindow::UpdateTitle() {
    std::string title = env_->MainWindow()->Caption() + " [design][*]";
    bool dirty = false;
    if (auto p = ActiveProject(*env_)) title = p->Name() + " - " + title;
    auto projects = env_->VBProjects();
    for (long i = 1; i <= projects->Count(); ++i) dirty = dirty || projects->Item(i)->IsDirty();
    setWindowTitle(FromAnsi(title));
    setWindowModified(dirty);
    for (auto& [key, entry] : docks_)
        if (entry.first->Type() == vbide::vbext_wt_ProjectWindow) {
            auto active = ActiveProject(*env_);
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
        for (long i = 1; i <= components->Count(); ++i) {
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
    for (long i = 1; i <= projects->Count(); ++i)
        if (projects->Item(i)->IsDirty()) dirty.push_back(projects->Item(i));
    if (dirty.empty()) return true;
    std::string prompt = "Save changes to the following files?\r\n";
    for (auto& p : dirty) prompt += "\r\n" + (p->FileName().empty() ? p->Name() + ".vbp" : FileNameOf(p->FileName()));
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
    std::unique_ptr<QSettings> settings = settingsFile_.isEmpty()
        ? std::make_unique<QSettings>("Tarnwick", "Environment")
        : std::make_unique<QSettings>(settingsFile_, QSettings::IniFormat);
    std::vector<std::string> out;
    for (const QString& s : settings->value("RecentProjects").toStringList()) out.push_back(s.toStdString());
    return out;
}

void IdeWindow::AddRecent(const std::string& path) {
    QString full = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    std::unique_ptr<QSettings> settings = settingsFile_.isEmpty()
        ? std::make_unique<QSettings>("Tarnwick", "Environment")
        : std::make_unique<QSettings>(settingsFile_, QSettings::IniFormat);
    QStringList list = settings->value("RecentProjects").toStringList();
    list.removeAll(full);
    list.prepend(full);
    while (list.size() > kRecentCount) list.removeLast();
    settings->setValue("RecentProjects", list);
    if (QMenu* file = bars_->MenuFor("File")) FillRecent(file);
}

void IdeWindow::FillRecent(QMenu* file) {
    QAction* exit = nullptr;
    for (QAction* a : file->actions()) {
        if (a->property("recent").toBool()) {
            file->removeAction(a);
            a->deleteLater();
        } else if (Plain(ToAnsi(a->text())) == "Exit") {
            exit = a;
        }
    }
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

// ---- Commands --------------------------------------------------------------------------

void IdeWindow::Choose(const vbide::CommandBarControlPtr& control) {
    std::string caption;
    bool builtIn = false;
    try {
        caption = control->Caption();
        builtIn = control->BuiltIn();
    } catch (const vb::VbError& e) {
        Fail(e.what());
        return;
    }
    bool cancelled = false;
    {
        // Subscribed last, this sees whether an add-in cancelled the
        // environment's own command.
        auto watch = builtIn ? env_->Events()->CommandBarEvents(control) : nullptr;
        if (watch)
            watch->Click = [&cancelled](const vbide::CommandBarControlPtr&, bool&, bool& cancelDefault) {
                cancelled = cancelDefault;
            };
        try {
            env_->Click(control);
        } catch (const vb::VbError& e) {
            Fail(e.what());
            return;
        }
    }
    if (builtIn && !cancelled) RunOwnCommand(Plain(caption));
}

void IdeWindow::Pick(const vbide::CommandBarControlPtr& dropDown, long index) {
    try {
        env_->Pick(dropDown, index);
    } catch (const vb::VbError& e) {
        Fail(e.what());
    }
}

void IdeWindow::RunOwnCommand(const std::string& command) {
    if (command == "Open Project") {
        std::string path = askFileName(false, {});
        if (!path.empty()) OpenProject(path);
    } else if (command == "Add Project") {
        std::string path = askFileName(false, {});
        if (!path.empty()) AddProject(path);
    } else if (command == "Remove Project") {
        auto p = ActiveProject(*env_);
        if (!p) return;
        if (p->IsDirty()) {
            int answer = forms::MsgBox("Save changes to the following files?\r\n\r\n" +
                                           (p->FileName().empty() ? p->Name() + ".vbp" : FileNameOf(p->FileName())),
                                       forms::vbYesNoCancel | forms::vbExclamation, env_->MainWindow()->Caption());
            if (answer == forms::vbCancel || (answer == forms::vbYes && !SaveProject(p))) return;
        }
        env_->RemoveProject(p);
    } else if (command == "Save Project" || command == "Save") {
        SaveProject(ActiveProject(*env_));
    } else if (command == "Save Project As" || command == "Save As") {
        SaveProject(ActiveProject(*env_), true);
    } else if (command == "Code") {
        if (auto c = env_->SelectedVBComponent(); c && c->CodeModule()) {
            try {
                env_->OpenCodePane(c);
            } catch (const vb::VbError& e) {
                Fail(e.what());
            }
        }
    } else if (command == "Exit") {
        close();
    } else if (command == "Add-In Manager") {
        ShowAddInManager();
    } else if (command == "Cascade") {
        mdi_->cascadeSubWindows();
    } else if (command == "Tile Horizontally" || command == "Tile Vertically") {
        mdi_->tileSubWindows();
    } else if (command == "About") {
        forms::MsgBox("Tarnwick Environment\r\nVersion " + env_->Version() +
                          "\r\n\r\nA development environment for Visual Basic 6 projects and their add-ins.",
                      forms::vbOKOnly | forms::vbInformation, "About " + env_->MainWindow()->Caption());
    } else {
        EditCommand(command);
    }
}

void IdeWindow::EditCommand(const std::string& command) {
    QMdiSubWindow* sub = mdi_->activeSubWindow();
    CodeEditor* editor = nullptr;
    for (auto& [key, view] : code_)
        if (view.sub == sub) editor = view.editor;
    if (!editor) return;
    if (command == "Undo") editor->undo();
    else if (command == "Redo") editor->redo();
    else if (command == "Cut") editor->cut();
    else if (command == "Copy") editor->copy();
    else if (command == "Paste") editor->paste();
    else if (command == "Select All") editor->selectAll();
    else if (command == "Delete") editor->textCursor().removeSelectedText();
    else if (command == "Find" || command == "Find Next") {
        static QString last;
        if (command == "Find") {
            bool ok = false;
            QString text = QInputDialog::getText(this, "Find", "Find What:", QLineEdit::Normal, last, &ok);
            if (!ok || text.isEmpty()) return;
            last = text;
        }
        if (!last.isEmpty() && !editor->find(last)) {
            editor->moveCursor(QTextCursor::Start);
            editor->find(last);
        }
    }
}

void IdeWindow::ShowAddInManager() {
    if (!addIns_) {
        Fail("No add-in list file is in use.");
        return;
    }
    AddInManagerDialog dialog(*addIns_, this);
    dialog.exec();
}

// ---- Failures, files, closing --------------------------------------------------------

void IdeWindow::Fail(const std::string& message) {
    if (report) report(message);
}

std::string IdeWindow::DefaultAskFileName(bool save, const std::string& suggested) {
    const QString filter = "Project Files (*.vbp *.vbg);;All Files (*)";
    QString name = save ? QFileDialog::getSaveFileName(this, "Save Project As", QString::fromStdString(suggested), filter)
                        : QFileDialog::getOpenFileName(this, "Open Project", QString::fromStdString(suggested), filter);
    return name.toStdString();
}

void IdeWindow::closeEvent(QCloseEvent* event) {
    if (!QuerySaveAll()) {
        event->ignore();
        return;
    }
    std::unique_ptr<QSettings> settings = settingsFile_.isEmpty()
        ? std::make_unique<QSettings>("Tarnwick", "Environment")
        : std::make_unique<QSettings>(settingsFile_, QSettings::IniFormat);
    settings->setValue("Window/Geometry", saveGeometry());
    closing_ = true;
    if (addIns_) addIns_->UnloadAll();
    event->accept();
    // Windows that add-ins left open (a modeless dialog) end with the
    // environment.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

bool IdeWindow::SaveScreenshot(const std::string& pngPath) {
    QImage client = grab().toImage();
    const int border = 4, bar = 20;
    QImage out(client.width() + 2 * border, client.height() + 2 * border + bar, QImage::Format_ARGB32);
    out.fill(QColor(0xd4, 0xd0, 0xc8));
    QPainter p(&out);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawRect(0, 0, out.width() - 1, out.height() - 1);
    QRect title(border - 1, border - 1, out.width() - 2 * border + 2, bar);
    QLinearGradient g(title.topLeft(), title.topRight());
    g.setColorAt(0, QColor(0x0a, 0x24, 0x6a));
    g.setColorAt(1, QColor(0xa6, 0xca, 0xf0));
    p.fillRect(title, g);
    QFont font = this->font();
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    QString text = windowTitle();
    text.replace("[*]", isWindowModified() ? "*" : "");
    p.drawText(title.adjusted(6, 0, -60, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
    for (int i = 0; i < 3; ++i) {
        QRect box(title.right() - 18 * (3 - i) - 2, title.top() + 3, 16, 14);
        p.fillRect(box, QColor(0xd4, 0xd0, 0xc8));
        p.setPen(QColor(0x40, 0x40, 0x40));
        p.drawRect(box.adjusted(0, 0, -1, -1));
        p.setPen(QPen(Qt::black, 1.5));
        if (i == 0) p.drawLine(box.left() + 4, box.bottom() - 4, box.right() - 5, box.bottom() - 4);
        if (i == 1) p.drawRect(box.adjusted(4, 3, -5, -4));
        if (i == 2) {
            p.drawLine(box.left() + 4, box.top() + 3, box.right() - 5, box.bottom() - 4);
            p.drawLine(box.right() - 5, box.top() + 3, box.left() + 4, box.bottom() - 4);
        }
    }
    p.drawImage(border, border + bar, client);
    p.end();
    return out.save(QString::fromStdString(pngPath), "PNG");
}

}  // namespace ide
