// The code windows: one MDI sub-window per code window of the model, made
// and removed as the model's windows come and go, following the active pane,
// the TopLine and changes of the code.

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <set>

#include "apps/ide/code_editor.h"
#include "apps/ide/code_window.h"
#include "apps/ide/ide_window.h"
#include "apps/ide/toolbar_icons.h"
#include "platform/forms/qt/ansi.h"

namespace ide {

using forms::qt::FromAnsi;

namespace {

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

void IdeWindow::SyncCodeWindows() {
    QScopedValueRollback guard(syncing_, true);
    std::set<vbide::Window*> present;
    auto windows = env_->Windows();
    for (std::int32_t i = 1; i <= windows->Count(); ++i) {
        auto w = windows->Item(i);
        if (w->Type() != vbide::vbext_wt_CodeWindow) continue;
        present.insert(w.get());
        if (code_.count(w.get())) continue;
        auto pane = env_->PaneOf(w);
        if (!pane) continue;
        auto* codeWindow = new CodeWindow(pane);
        CodeEditor* editor = codeWindow->Editor();
        editor->onFailure = [this](const std::string& m) { Fail(m); };
        auto* sub = new CodeSubWindow;
        sub->setWidget(codeWindow);
        sub->setWindowIcon(ToolbarIcon(vbide::kCmdViewCode));
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
    QScopedValueRollback guard(syncing_, true);
    if (auto* sub = SubWindowFor(pane)) {
        sub->show();
        mdi_->setActiveSubWindow(sub);
    }
}

}  // namespace ide
