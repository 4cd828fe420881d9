#pragma once
// The environment window: a desktop main window over the environment model.
// Its menu bar and "Standard" toolbar are the model's command bars; the tool
// windows are dock widgets; each open code pane is an editor in the MDI area;
// the Project window is a tree of the open projects. Every change of the
// model shows at once, and every user action goes into the model as the
// corresponding user action of the environment (Click, Pick, OpenCodePane,
// ActivateProject, Close, ...), so add-ins see what they would see in the
// original environment.

#include <QMainWindow>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/vbide/environment.h"

class QDockWidget;
class QMdiArea;
class QMdiSubWindow;
class QSettings;

namespace ide {

class AddInHost;
class CodeEditor;
class CommandBarView;
class ProjectExplorer;

class IdeWindow : public QMainWindow {
public:
    // `settingsFile`: the settings (recent projects, window layout); empty for
    // the user's default settings. `addIns` may be nullptr (no add-in list).
    IdeWindow(std::shared_ptr<vbide::Environment> env, AddInHost* addIns,
              const QString& settingsFile = {}, QWidget* parent = nullptr);
    ~IdeWindow() override;

    const std::shared_ptr<vbide::Environment>& Env() const { return env_; }

    // Opening and saving (failures are shown in a message box; the answer
    // tells whether it worked). OpenProject replaces the open projects (after
    // asking to save changes); AddProject adds to them.
    bool OpenProject(const std::string& path);
    bool AddProject(const std::string& path);
    bool SaveProject(const vbide::VBProjectPtr& project, bool askForName = false);
    // Asks to save changed projects; false when the user cancels.
    bool QuerySaveAll();
    std::vector<std::string> RecentProjects() const;

    // The user's commands, as the window's widgets run them.
    void Choose(const vbide::CommandBarControlPtr& control);
    void Pick(const vbide::CommandBarControlPtr& dropDown, std::int32_t index);
    void ShowAddInManager();

    // Widgets (tests, the screenshot).
    CommandBarView& Bars() const { return *bars_; }
    ProjectExplorer* Explorer() const { return explorer_; }
    QMdiArea* CodeArea() const { return mdi_; }
    QDockWidget* DockFor(const vbide::WindowPtr& window) const;
    CodeEditor* EditorFor(const vbide::CodePanePtr& pane) const;
    QMdiSubWindow* SubWindowFor(const vbide::CodePanePtr& pane) const;

    // Renders the window (with a title bar) into a PNG file.
    bool SaveScreenshot(const std::string& pngPath);

    // Asks for a project file name (save: true for Save As). Replaceable for
    // tests; answers "" when the user cancels.
    std::function<std::string(bool save, const std::string& suggested)> askFileName;
    // Shows a failure the environment reports (default: a message box).
    std::function<void(const std::string&)> report;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class Bridge;
    friend class Bridge;

    // ide_docks.cpp
    void BuildDocks();
    QWidget* ProjectWindowContent();
    void WindowVisibleChanged(const vbide::WindowPtr& window);
    // ide_code_windows.cpp
    void SyncCodeWindows();
    void CodeChanged(const vbide::CodeModulePtr& module);
    void TopLineChanged(const vbide::CodePanePtr& pane);
    void ActiveCodePaneChanged(const vbide::CodePanePtr& pane);
    // ide_projects.cpp
    void ProjectsChanged();
    // Asks to save the given changed projects and saves them; false when
    // the user cancels or a save fails.
    bool QuerySave(const std::vector<vbide::VBProjectPtr>& dirty);
    void UpdateTitle();
    void AddRecent(const std::string& path);
    void FillRecent(QMenu* fileMenu);
    // ide_commands.cpp
    void RegisterCommands();
    void RemoveActiveProject();
    void Find(bool ask);
    CodeEditor* ActiveEditor() const;
    // ide_window.cpp
    void Fail(const std::string& message);
    std::string DefaultAskFileName(bool save, const std::string& suggested);

    std::shared_ptr<vbide::Environment> env_;
    AddInHost* addIns_;
    std::unique_ptr<QSettings> settings_;
    std::shared_ptr<Bridge> bridge_;
    std::unique_ptr<CommandBarView> bars_;
    ProjectExplorer* explorer_ = nullptr;
    QWidget* properties_ = nullptr;
    QMdiArea* mdi_ = nullptr;
    std::map<vbide::Window*, std::pair<vbide::WindowPtr, QDockWidget*>> docks_;
    struct CodeView {
        vbide::WindowPtr window;
        vbide::CodePanePtr pane;
        QMdiSubWindow* sub;
        CodeEditor* editor;
    };
    std::map<vbide::Window*, CodeView> code_;
    // The window's own commands for built-in controls, by command id.
    std::map<std::int32_t, std::function<void()>> commands_;
    vbide::VBComponentsEventsPtr selection_;
    // The widgets are being set from the model: the handlers of the user's
    // actions stand aside. Set only through QScopedValueRollback, so that a
    // failure while syncing cannot leave it set.
    bool syncing_ = false;
    bool closing_ = false;
};

}  // namespace ide
