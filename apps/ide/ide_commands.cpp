// The user's commands: a chosen control goes to the environment (add-ins see
// its Click and may cancel the default); when the default goes ahead, the
// window runs its own command for the built-in control, found by its id.

#include <QInputDialog>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "apps/ide/addin_manager.h"
#include "apps/ide/code_editor.h"
#include "apps/ide/ide_window.h"
#include "platform/forms/runtime.h"
#include "platform/vbide/command_bars.h"

namespace ide {

void IdeWindow::RegisterCommands() {
    using namespace vbide;
    auto open = [this](bool add) {
        std::string path = askFileName(false, {});
        if (path.empty()) return;
        if (add) AddProject(path);
        else OpenProject(path);
    };
    commands_[kCmdOpenProject] = [open] { open(false); };
    commands_[kCmdAddProject] = [open] { open(true); };
    commands_[kCmdRemoveProject] = [this] { RemoveActiveProject(); };
    commands_[kCmdSaveProject] = commands_[kCmdSave] = [this] { SaveProject(env_->ActiveVBProject()); };
    commands_[kCmdSaveProjectAs] = commands_[kCmdSaveAs] = [this] { SaveProject(env_->ActiveVBProject(), true); };
    commands_[kCmdViewCode] = [this] {
        auto c = env_->SelectedVBComponent();
        if (!c || !c->CodeModule()) return;
        try {
            env_->OpenCodePane(c);
        } catch (const vb::VbError& e) {
            Fail(e.what());
        }
    };
    commands_[kCmdExit] = [this] { close(); };
    commands_[kCmdAddInManager] = [this] { ShowAddInManager(); };
    commands_[kCmdCascade] = [this] { mdi_->cascadeSubWindows(); };
    commands_[kCmdTileHorizontally] = commands_[kCmdTileVertically] = [this] { mdi_->tileSubWindows(); };
    commands_[kCmdAbout] = [this] {
        forms::MsgBox("Tarnwick Environment\r\nVersion " + env_->Version() +
                          "\r\n\r\nA development environment for Visual Basic 6 projects and their add-ins.",
                      forms::vbOKOnly | forms::vbInformation, "About " + env_->MainWindow()->Caption());
    };
    // Editing commands work on the active code window's editor.
    auto edit = [this](void (*f)(CodeEditor&)) {
        return [this, f] {
            if (CodeEditor* editor = ActiveEditor()) f(*editor);
        };
    };
    commands_[kCmdUndo] = edit([](CodeEditor& e) { e.undo(); });
    commands_[kCmdRedo] = edit([](CodeEditor& e) { e.redo(); });
    commands_[kCmdCut] = edit([](CodeEditor& e) { e.cut(); });
    commands_[kCmdCopy] = edit([](CodeEditor& e) { e.copy(); });
    commands_[kCmdPaste] = edit([](CodeEditor& e) { e.paste(); });
    commands_[kCmdSelectAll] = edit([](CodeEditor& e) { e.selectAll(); });
    commands_[kCmdDelete] = edit([](CodeEditor& e) { e.textCursor().removeSelectedText(); });
    commands_[kCmdFind] = [this] { Find(true); };
    commands_[kCmdFindNext] = [this] { Find(false); };
}

void IdeWindow::Choose(const vbide::CommandBarControlPtr& control) {
    std::int32_t id = 0;
    try {
        if (control->BuiltIn()) id = control->Id();
    } catch (const vb::VbError& e) {
        Fail(e.what());
        return;
    }
    bool goesAhead = false;
    try {
        goesAhead = env_->Click(control);
    } catch (const vb::VbError& e) {
        Fail(e.what());
        return;
    }
    if (!goesAhead) return;
    if (auto it = commands_.find(id); it != commands_.end()) it->second();
}

void IdeWindow::Pick(const vbide::CommandBarControlPtr& dropDown, std::int32_t index) {
    try {
        env_->Pick(dropDown, index);
    } catch (const vb::VbError& e) {
        Fail(e.what());
    }
}

void IdeWindow::RemoveActiveProject() {
    auto p = env_->ActiveVBProject();
    if (!p) return;
    if (p->IsDirty() && !QuerySave({p})) return;
    try {
        env_->RemoveProject(p);
    } catch (const vb::VbError& e) {
        Fail(e.what());
    }
}

CodeEditor* IdeWindow::ActiveEditor() const {
    QMdiSubWindow* sub = mdi_->activeSubWindow();
    for (auto& [key, view] : code_)
        if (view.sub == sub) return view.editor;
    return nullptr;
}

void IdeWindow::Find(bool ask) {
    CodeEditor* editor = ActiveEditor();
    if (!editor) return;
    static QString last;
    if (ask) {
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

void IdeWindow::ShowAddInManager() {
    if (!addIns_) {
        Fail("No add-in list file is in use.");
        return;
    }
    AddInManagerDialog dialog(*addIns_, this);
    dialog.exec();
}

}  // namespace ide
