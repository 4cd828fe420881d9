// The tool windows as dock widgets: where each kind goes, and the Project
// window's content.

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QMdiSubWindow>
#include <QScopedValueRollback>
#include <QStyle>
#include <algorithm>
#include <QToolBar>
#include <QVBoxLayout>

#include "apps/ide/ide_window.h"
#include "apps/ide/project_explorer.h"
#include "apps/ide/tool_windows.h"
#include "apps/ide/toolbar_icons.h"
#include "platform/forms/qt/ansi.h"

namespace ide {

using forms::qt::FromAnsi;

namespace {

// A tool window's dock: the user closing it closes the model's window.
class ToolDock : public QDockWidget {
public:
    using QDockWidget::QDockWidget;
    std::function<void()> onClose;

    // Keeps the content at least as wide as the title and the float and
    // close buttons beside it, so that the title is never cut off under them
    // ("Toolbo"): the dock's own title bar counts its buttons only.
    void FitTitle() {
        if (!widget()) return;
        const int margin = style()->pixelMetric(QStyle::PM_DockWidgetTitleMargin, nullptr, this);
        const int frame = style()->pixelMetric(QStyle::PM_DockWidgetFrameWidth, nullptr, this);
        int title = 2 * frame + 3 * margin + fontMetrics().horizontalAdvance(windowTitle());
        for (const QAbstractButton* button : findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly))
            if (!button->isHidden()) title += button->sizeHint().width();
        widget()->setMinimumWidth(std::max({widget()->minimumWidth(), widget()->minimumSizeHint().width(), title}));
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        if (onClose) onClose();
        QDockWidget::closeEvent(event);
    }
    void changeEvent(QEvent* event) override {
        QDockWidget::changeEvent(event);
        // The title's width changes with the font.
        if (event->type() == QEvent::FontChange) FitTitle();
    }
};

// Windows shown in the editing area or not at all, never as docks: code
// windows and designers, the main window, the find dialogs and the frame
// that links windows.
bool IsDockable(vbide::vbext_WindowType type) {
    switch (type) {
        case vbide::vbext_wt_CodeWindow: case vbide::vbext_wt_Designer: case vbide::vbext_wt_MainWindow:
        case vbide::vbext_wt_Find: case vbide::vbext_wt_FindReplace: case vbide::vbext_wt_LinkedWindowFrame:
            return false;
        default:
            return true;
    }
}

}  // namespace

void IdeWindow::BuildDocks() {
    QList<QDockWidget*> right, bottom;
    QDockWidget* firstBottom = nullptr;
    auto windows = env_->Windows();
    for (std::int32_t i = 1; i <= windows->Count(); ++i) {
        auto w = windows->Item(i);
        const auto type = w->Type();
        if (!IsDockable(type)) continue;
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
        dock->FitTitle();
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
    buttons->addAction(ToolbarIcon(vbide::kCmdViewCode), "View Code", explorer_, [this] { explorer_->ViewCode(); });
    buttons->addAction(ToolbarIcon(vbide::kCmdAddForm), "View Object")->setEnabled(false);
    QAction* folders = buttons->addAction(ToolbarIcon(vbide::kCmdOpenProject), "Toggle Folders");
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
    QScopedValueRollback guard(syncing_, true);
    if (auto it = docks_.find(window.get()); it != docks_.end()) {
        it->second.second->setVisible(window->Visible());
        if (window->Visible()) it->second.second->raise();
    } else if (auto c = code_.find(window.get()); c != code_.end()) {
        c->second.sub->setVisible(window->Visible());
    }
}

}  // namespace ide
