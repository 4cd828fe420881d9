// Code modules and code panes.

#include <algorithm>

#include "platform/vbide/code_rules.h"
#include "platform/vbide/declaration_checker.h"
#include "platform/vbide/model.h"

namespace vbide {

namespace {

// Lines shown by a code pane at a time (a window of the default size).
constexpr std::int32_t kVisibleLines = 30;

const rules::Procedure& FindProcedure(const std::vector<rules::Procedure>& procs,
                                      const std::string& name, vbext_ProcKind kind) {
    for (const auto& p : procs)
        if (p.kind == kind && rules::EqualsNoCase(p.name, name)) return p;
    ThrowError(35);
}

}  // namespace

void ModuleImpl::Check() const {
    if (gone) ThrowDisconnected();
    auto c = component.lock();
    if (!c || c->gone) ThrowDisconnected();
}

std::shared_ptr<Environment> ModuleImpl::Env() const {
    auto c = component.lock();
    auto p = c ? c->Project() : nullptr;
    return p ? p->Env() : nullptr;
}

void ModuleImpl::Changed() {
    auto c = component.lock();
    if (c) {
        c->dirty = true;
        if (auto p = c->Project()) p->dirty = true;
    }
    if (pane) pane->topLine = std::clamp(pane->topLine, std::int32_t{1}, std::max(std::int32_t{1}, text.Count()));
    if (auto e = Env()) {
        auto self = shared_from_this();
        e->Internal().Notify([&](EnvironmentObserver& o) { o.CodeChanged(self); });
    }
}

VBComponentPtr ModuleImpl::Parent() {
    Check();
    return component.lock();
}

std::string ModuleImpl::Name() {
    Check();
    return component.lock()->name;
}

CodePanePtr ModuleImpl::CodePane() {
    Check();
    if (pane) return pane;
    auto e = Env();
    if (!e) ThrowDisconnected();
    return e->Internal().OpenPane(shared_from_this());
}

std::int32_t ModuleImpl::CountOfLines() {
    Check();
    return text.Count();
}

std::int32_t ModuleImpl::CountOfDeclarationLines() {
    Check();
    return rules::CountOfDeclarationLines(text.Lines());
}

std::string ModuleImpl::Lines(std::int32_t startLine, std::int32_t count) {
    Check();
    if (startLine < 1 || count < 0) ThrowError(9);
    if (count == 0) return {};
    if (startLine + count - 1 > text.Count()) ThrowError(9);
    std::size_t size = 2 * static_cast<std::size_t>(count - 1);
    for (std::int32_t i = startLine; i < startLine + count; ++i) size += text.Line(static_cast<std::size_t>(i - 1)).size();
    std::string out;
    out.reserve(size);
    for (std::int32_t i = startLine; i < startLine + count; ++i) {
        if (i > startLine) out += "\r\n";
        out += text.Line(static_cast<std::size_t>(i - 1));
    }
    return out;
}

void ModuleImpl::InsertLines(std::int32_t line, const std::string& code) {
    Check();
    if (line < 1) ThrowError(9);
    std::vector<std::string> lines = ModuleText::SplitLines(code);
    auto c = component.lock();
    CheckResult check = CheckInsertedCode(lines, c->type);
    if (!check.ok)
        throw vb::VbError(35, "VBIDE", "Sub or Function not defined");
    if (lines.empty()) return;
    std::size_t at = static_cast<std::size_t>(std::min(line - 1, text.Count()));
    text.Insert(at, lines);
    Changed();
}

void ModuleImpl::ReplaceLine(std::int32_t line, const std::string& code) {
    Check();
    if (line < 1 || line > text.Count()) ThrowError(9);
    text.Replace(static_cast<std::size_t>(line - 1), ModuleText::SplitLines(code));
    Changed();
}

void ModuleImpl::DeleteLines(std::int32_t startLine, std::int32_t count) {
    Check();
    if (startLine < 1 || count < 0 || startLine + count - 1 > text.Count()) ThrowError(9);
    if (count == 0) return;
    text.Erase(static_cast<std::size_t>(startLine - 1), static_cast<std::size_t>(count));
    Changed();
}

void ModuleImpl::AddFromString(const std::string& code) {
    Check();
    InsertLines(text.Count() + 1, code);
}

std::int32_t ModuleImpl::ProcStartLine(const std::string& procName, vbext_ProcKind kind) {
    Check();
    return FindProcedure(rules::Procedures(text.Lines()), procName, kind).start;
}

std::int32_t ModuleImpl::ProcBodyLine(const std::string& procName, vbext_ProcKind kind) {
    Check();
    return FindProcedure(rules::Procedures(text.Lines()), procName, kind).body;
}

std::int32_t ModuleImpl::ProcCountLines(const std::string& procName, vbext_ProcKind kind) {
    Check();
    auto procs = rules::Procedures(text.Lines());
    const auto& p = FindProcedure(procs, procName, kind);
    std::int32_t end = (&p == &procs.back()) ? text.Count() : p.end;
    return end - p.start + 1;
}

std::string ModuleImpl::ProcOfLine(std::int32_t line, vbext_ProcKind& kind) {
    Check();
    if (line < 1 || line > text.Count()) ThrowError(9);
    auto procs = rules::Procedures(text.Lines());
    for (std::size_t i = 0; i < procs.size(); ++i) {
        std::int32_t end = (i + 1 == procs.size()) ? text.Count() : procs[i].end;
        if (line >= procs[i].start && line <= end) {
            kind = procs[i].kind;
            return procs[i].name;
        }
    }
    kind = vbext_pk_Proc;
    return {};
}

bool ModuleImpl::Find(const std::string& target, std::int32_t& startLine, std::int32_t& startColumn,
                      std::int32_t& endLine, std::int32_t& endColumn, bool wholeWord, bool matchCase,
                      bool patternSearch) {
    Check();
    return rules::Find(text.Lines(), target, startLine, startColumn, endLine, endColumn,
                       wholeWord, matchCase, patternSearch);
}

VBEPtr ModuleImpl::VBE() {
    Check();
    return Env();
}

// ---- CodePane -----------------------------------------------------------------

CodeModulePtr PaneImpl::CodeModule() {
    Check();
    return module.lock();
}

std::int32_t PaneImpl::TopLine() {
    Check();
    return topLine;
}

void PaneImpl::SetTopLine(std::int32_t line) {
    Check();
    if (line < 1) ThrowError(380);
    auto m = module.lock();
    std::int32_t last = m ? std::max(std::int32_t{1}, m->text.Count()) : std::int32_t{1};
    topLine = std::min(line, last);
    if (auto e = m ? m->Env() : nullptr) {
        auto self = shared_from_this();
        e->Internal().Notify([&](EnvironmentObserver& o) { o.TopLineChanged(self); });
    }
}

std::int32_t PaneImpl::CountOfVisibleLines() {
    Check();
    return kVisibleLines;
}

WindowPtr PaneImpl::Window() {
    Check();
    return window.lock();
}

void PaneImpl::Show() {
    Check();
    auto m = module.lock();
    auto e = m ? m->Env() : nullptr;
    if (!e) ThrowDisconnected();
    if (auto w = window.lock()) w->SetVisible(true);
    bool wasActive = e->Internal().activePane.lock().get() == this;
    e->Internal().activePane = shared_from_this();
    auto self = shared_from_this();
    e->Internal().Notify([&](EnvironmentObserver& o) { o.ActiveCodePaneChanged(self); });
    // The component whose window became active raises ItemActivated.
    auto component = m->component.lock();
    if (!wasActive && component) {
        e->Internal().events->RaiseComponent(component->Project(), [&](vbide::VBComponentsEvents& ev) {
            if (ev.ItemActivated) ev.ItemActivated(component);
        });
    }
}

VBEPtr PaneImpl::VBE() {
    Check();
    auto m = module.lock();
    return m ? m->Env() : nullptr;
}

}  // namespace vbide
