#include "apps/ide/code_editor.h"

#include <gtest/gtest.h>

#include <QTextCursor>
#include <stdexcept>

#include "platform/forms/qt/qt_app.h"
#include "platform/vbide/builder.h"

namespace ide {
namespace {

// A code module that passes every call to a real one, except that its next
// change fails with an error the editor does not handle (a fault, not a VB
// error), as a broken model or an exhausted memory would.
class FailingModule : public vbide::CodeModule {
public:
    explicit FailingModule(vbide::CodeModulePtr real) : real_(std::move(real)) {}
    bool failNextChange = false;

    vbide::VBComponentPtr Parent() override { return real_->Parent(); }
    std::string Name() override { return real_->Name(); }
    vbide::CodePanePtr CodePane() override { return real_->CodePane(); }
    std::int32_t CountOfLines() override { return real_->CountOfLines(); }
    std::int32_t CountOfDeclarationLines() override { return real_->CountOfDeclarationLines(); }
    std::string Lines(std::int32_t start, std::int32_t count) override { return real_->Lines(start, count); }
    void InsertLines(std::int32_t line, const std::string& text) override {
        Change();
        real_->InsertLines(line, text);
    }
    void ReplaceLine(std::int32_t line, const std::string& text) override {
        Change();
        real_->ReplaceLine(line, text);
    }
    void DeleteLines(std::int32_t start, std::int32_t count) override {
        Change();
        real_->DeleteLines(start, count);
    }
    void AddFromString(const std::string& text) override { real_->AddFromString(text); }
    std::int32_t ProcStartLine(const std::string& n, vbide::vbext_ProcKind k) override { return real_->ProcStartLine(n, k); }
    std::int32_t ProcBodyLine(const std::string& n, vbide::vbext_ProcKind k) override { return real_->ProcBodyLine(n, k); }
    std::int32_t ProcCountLines(const std::string& n, vbide::vbext_ProcKind k) override { return real_->ProcCountLines(n, k); }
    std::string ProcOfLine(std::int32_t line, vbide::vbext_ProcKind& k) override { return real_->ProcOfLine(line, k); }
    bool Find(const std::string& t, std::int32_t& sl, std::int32_t& sc, std::int32_t& el, std::int32_t& ec, bool w,
              bool m, bool p) override {
        return real_->Find(t, sl, sc, el, ec, w, m, p);
    }
    vbide::VBEPtr VBE() override { return real_->VBE(); }

private:
    void Change() {
        if (!failNextChange) return;
        failNextChange = false;
        throw std::runtime_error("the model failed");
    }
    vbide::CodeModulePtr real_;
};

class PaneOf : public vbide::CodePane {
public:
    PaneOf(vbide::CodePanePtr real, std::shared_ptr<FailingModule> module)
        : real_(std::move(real)), module_(std::move(module)) {}
    vbide::CodeModulePtr CodeModule() override { return module_; }
    std::int32_t TopLine() override { return real_->TopLine(); }
    void SetTopLine(std::int32_t line) override { real_->SetTopLine(line); }
    std::int32_t CountOfVisibleLines() override { return real_->CountOfVisibleLines(); }
    vbide::WindowPtr Window() override { return real_->Window(); }
    void Show() override { real_->Show(); }
    vbide::VBEPtr VBE() override { return real_->VBE(); }

private:
    vbide::CodePanePtr real_;
    std::shared_ptr<FailingModule> module_;
};

// An edit whose write into the module fails with an unexpected error must not
// leave the editor believing it is still writing: the module's later changes
// from elsewhere have to show.
TEST(CodeEditor, AWriteThatThrowsLeavesTheEditorFollowingItsModule) {
    forms::qt::EnsureQtUi();
    auto env = vbide::EnvironmentBuilder::SingleModule("Option Explicit\r\n");
    auto real = env->ActiveCodePane();
    auto module = std::make_shared<FailingModule>(real->CodeModule());
    CodeEditor editor(std::make_shared<PaneOf>(real, module));

    module->failNextChange = true;
    QTextCursor end(editor.document());
    end.movePosition(QTextCursor::End);
    EXPECT_THROW(end.insertText(" ' typed"), std::runtime_error);

    module->AddFromString("Sub Added()\r\nEnd Sub");
    editor.ModuleChanged();
    EXPECT_EQ(editor.toPlainText().toStdString(), "Option Explicit\nSub Added()\nEnd Sub");
}

}  // namespace
}  // namespace ide
