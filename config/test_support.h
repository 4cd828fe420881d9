#pragma once
// Helpers shared by the add-in's tests: a project wrapper that records every
// store write in order and can make a chosen call fail, and short accessors
// for module text and list entries.

#include <functional>
#include <string>
#include <vector>

#include "base/vb_error_testing.h"
#include "platform/forms/controls.h"
#include "platform/vbide/builder.h"
#include "contract/vbide.h"

namespace config::testing {

// Delegates to a real project; records "Section/Key=Value" for each write and
// fails the n-th ReadProperty or WriteProperty (counted from 1) when asked.
class RecordingProject : public vbide::VBProject {
public:
    explicit RecordingProject(vbide::VBProjectPtr inner) : inner_(std::move(inner)) {}
    std::vector<std::string> writes;
    int failWriteAt = 0;
    int failReadAt = 0;
    std::int32_t failNumber = 70;

    std::string Name() override { return inner_->Name(); }
    void SetName(const std::string& name) override { inner_->SetName(name); }
    std::string FileName() override { return inner_->FileName(); }
    vbide::VBComponentsPtr VBComponents() override { return inner_->VBComponents(); }
    std::string ReadProperty(const std::string& section, const std::string& key) override {
        if (++reads_ == failReadAt) throw vb::VbError(failNumber, "test");
        return inner_->ReadProperty(section, key);
    }
    void WriteProperty(const std::string& section, const std::string& key,
                       const std::string& value) override {
        if (static_cast<int>(writes.size()) + 1 == failWriteAt) throw vb::VbError(failNumber, "test");
        inner_->WriteProperty(section, key, value);
        writes.push_back(section + "/" + key + "=" + value);
    }
    bool IsDirty() override { return inner_->IsDirty(); }
    std::vector<std::string> LoadProblems() override { return inner_->LoadProblems(); }
    std::int32_t SaveAs(const std::string& fileName) override { return inner_->SaveAs(fileName); }
    std::vector<vbide::PendingFile> PendingSave() override { return inner_->PendingSave(); }
    vbide::VBEPtr VBE() override { return inner_->VBE(); }

private:
    vbide::VBProjectPtr inner_;
    int reads_ = 0;
};

// The whole visible text of a component's module, lines joined by CR LF.
inline std::string TextOf(const vbide::VBProjectPtr& project, const std::string& component) {
    auto module = project->VBComponents()->Item(component)->CodeModule();
    return module->Lines(1, module->CountOfLines());
}

using vb::ErrorOf;

// The store entries of a project that holds the defaults with "release"
// current, for tests that start from a configured project.
inline vbide::EnvironmentBuilder& Defaults(vbide::EnvironmentBuilder& b, const char* current = "1") {
    return b.Property("Configurations", "Count", "2")
        .Property("Config1", "debugging", "True")
        .Property("Config2", "debugging", "False")
        .Property("Constants", "Count", "1")
        .Property("Constants", "Const1", "debugging")
        .Property("Configurations", "Config1", "debug")
        .Property("Configurations", "Config2", "release")
        .Property("Configurations", "Current", current);
}

// The entries of a list box ("name [x]" for a ticked entry of a check-box
// list) and of a toolbar drop-down.
inline std::vector<std::string> Entries(forms::ListBox& box) {
    std::vector<std::string> out;
    for (int i = 0; i < box.ListCount(); ++i)
        out.push_back(box.List(i) + (box.Style() == forms::vbListBoxCheckbox && box.Selected(i) ? " [x]" : ""));
    return out;
}

inline std::vector<std::string> Entries(const vbide::CommandBarControlPtr& drop) {
    std::vector<std::string> out;
    for (std::int32_t i = 1; i <= drop->ListCount(); ++i) out.push_back(drop->List(i));
    return out;
}

}  // namespace config::testing
