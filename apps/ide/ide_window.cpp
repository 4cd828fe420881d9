// The window's wiring: its parts, the observer that carries the model's
// changes to them, and closing. Each part's work is in its own file
// (ide_docks, ide_code_windows, ide_projects, ide_commands).

#include "apps/ide/ide_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSettings>
#include <QTimer>

#include "apps/ide/addin_host.h"
#include "apps/ide/code_editor.h"
#include "apps/ide/command_bar_view.h"
#include "apps/ide/project_explorer.h"
#include "apps/ide/title_bar.h"
#include "apps/ide/tool_windows.h"
#include "platform/forms/runtime.h"
#include "platform/vbide/command_bars.h"

namespace ide {

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
        QTimer::singleShot(0, &w_, [w = &w_] { Quietly([w] { w->SyncCodeWindows(); }); });
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
                Quietly([w] {
                    w->SyncCodeWindows();
                    w->ProjectsChanged();
                });
            });
        }
    }
    // A look again that fails has nothing left to show: the next change
    // brings the view up to date.
    template <class F>
    static void Quietly(F f) {
        try {
            f();
        } catch (const vb::VbError&) {
        }
    }
    IdeWindow& w_;
};

IdeWindow::IdeWindow(std::shared_ptr<vbide::Environment> env, AddInHost* addIns,
                     const QString& settingsFile, QWidget* parent)
    : QMainWindow(parent),
      env_(std::move(env)),
      addIns_(addIns),
      settings_(settingsFile.isEmpty() ? std::make_unique<QSettings>("Tarnwick", "Environment")
                                       : std::make_unique<QSettings>(settingsFile, QSettings::IniFormat)) {
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
    bars_->onPick = [this](const vbide::CommandBarControlPtr& c, std::int32_t index) { Pick(c, index); };
    bars_->onMenuFilled = [this](QMenu* menu, const vbide::CommandBarPtr& bar) {
        // Without a File menu (an add-in deleted it) there is no list to show.
        auto file = env_->FindControl(vbide::kCmdFileMenu);
        if (file && file->CommandBar() == bar) FillRecent(menu);
    };
    RegisterCommands();
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
    if (settings_->contains("Window/Geometry")) restoreGeometry(settings_->value("Window/Geometry").toByteArray());
    UpdateTitle();
}

IdeWindow::~IdeWindow() {
    bridge_.reset();
    selection_.reset();
}

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
    settings_->setValue("Window/Geometry", saveGeometry());
    closing_ = true;
    if (addIns_) addIns_->UnloadAll();
    event->accept();
    // Windows that add-ins left open (a modeless dialog) end with the
    // environment.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

bool IdeWindow::SaveScreenshot(const std::string& pngPath) {
    QString title = windowTitle();
    title.replace("[*]", isWindowModified() ? "*" : "");
    return WithTitleBar(grab().toImage(), title, font()).save(QString::fromStdString(pngPath), "PNG");
}

}  // namespace ide
