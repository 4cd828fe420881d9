#include "apps/ide/project_explorer.h"

#include <QHeaderView>
#include <QScopedValueRollback>

#include "base/text.h"
#include "platform/forms/qt/ansi.h"

namespace ide {

using forms::qt::FromAnsi;

namespace {

// The folders of the project window, in its order.
struct Folder {
    const char* caption;
    std::vector<vbide::vbext_ComponentType> types;
};

const std::vector<Folder>& FolderList() {
    static const std::vector<Folder> folders = {
        {"Forms", {vbide::vbext_ct_VBForm, vbide::vbext_ct_VBMDIForm, vbide::vbext_ct_MSForm}},
        {"Modules", {vbide::vbext_ct_StdModule}},
        {"Class Modules", {vbide::vbext_ct_ClassModule}},
        {"User Controls", {vbide::vbext_ct_UserControl}},
        {"Property Pages", {vbide::vbext_ct_PropPage}},
        {"User Documents", {vbide::vbext_ct_DocObject}},
        {"Designers", {vbide::vbext_ct_ActiveXDesigner}},
        {"Related Documents", {vbide::vbext_ct_RelatedDocument, vbide::vbext_ct_ResFile}},
    };
    return folders;
}

std::string FileNameOf(const std::string& path) { return std::string(text::LastPathElement(path)); }

QString ComponentLabel(vbide::Environment& env, const vbide::VBComponentPtr& c) {
    std::string file = env.FileNameOf(c);
    return FromAnsi(file.empty() ? c->Name() : c->Name() + " (" + file + ")");
}

QString ProjectLabel(const vbide::VBProjectPtr& p) {
    std::string file = FileNameOf(p->FileName());
    return FromAnsi(p->Name() + " (" + (file.empty() ? p->Name() : file) + ")");
}

}  // namespace

ProjectExplorer::ProjectExplorer(std::shared_ptr<vbide::Environment> env, QWidget* parent)
    : QTreeWidget(parent), env_(std::move(env)) {
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] { Selected(); });
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { Opened(item); });
    Refresh();
}

std::string ProjectExplorer::Signature() {
    // What the tree shows, apart from the bold mark of the active project.
    std::string s;
    auto projects = env_->VBProjects();
    for (std::int32_t i = 1; i <= projects->Count(); ++i) {
        auto p = projects->Item(i);
        s += "P" + std::to_string(reinterpret_cast<std::uintptr_t>(p.get())) + ProjectLabel(p).toStdString() + "\n";
        auto components = p->VBComponents();
        for (std::int32_t j = 1; j <= components->Count(); ++j) {
            auto c = components->Item(j);
            s += "C" + std::to_string(reinterpret_cast<std::uintptr_t>(c.get())) + ComponentLabel(*env_, c).toStdString() + "\n";
        }
    }
    return s;
}

void ProjectExplorer::Refresh() {
    QScopedValueRollback guard(refreshing_, true);
    std::string signature = Signature();
    auto active = env_->ActiveVBProject();
    if (signature != signature_) {
        signature_ = signature;
        auto selected = env_->SelectedVBComponent();
        clear();
        projects_.clear();
        components_.clear();
        auto projects = env_->VBProjects();
        for (std::int32_t i = 1; i <= projects->Count(); ++i) {
            auto p = projects->Item(i);
            auto* top = new QTreeWidgetItem(this, QStringList(ProjectLabel(p)));
            projects_[top] = p;
            auto components = p->VBComponents();
            for (const auto& folder : FolderList()) {
                QTreeWidgetItem* folderItem = folders_ ? nullptr : top;
                for (std::int32_t j = 1; j <= components->Count(); ++j) {
                    auto c = components->Item(j);
                    if (std::find(folder.types.begin(), folder.types.end(), c->Type()) == folder.types.end())
                        continue;
                    if (!folderItem) folderItem = new QTreeWidgetItem(top, QStringList(folder.caption));
                    auto* item = new QTreeWidgetItem(folderItem, QStringList(ComponentLabel(*env_, c)));
                    components_[item] = c;
                    if (selected == c) setCurrentItem(item);
                }
            }
            expandItem(top);
            for (int k = 0; k < top->childCount(); ++k) expandItem(top->child(k));
        }
    }
    for (auto& [item, p] : projects_) {
        QFont f = item->font(0);
        f.setBold(p == active);
        item->setFont(0, f);
    }
}

QTreeWidgetItem* ProjectExplorer::ItemFor(const vbide::VBProjectPtr& project) const {
    for (auto& [item, p] : projects_)
        if (p == project) return item;
    return nullptr;
}

QTreeWidgetItem* ProjectExplorer::ItemFor(const vbide::VBComponentPtr& component) const {
    for (auto& [item, c] : components_)
        if (c == component) return item;
    return nullptr;
}

void ProjectExplorer::Selected() {
    if (refreshing_) return;
    auto items = selectedItems();
    if (items.isEmpty()) return;
    QTreeWidgetItem* item = items.front();
    try {
        if (auto it = components_.find(item); it != components_.end()) {
            if (env_->SelectedVBComponent() != it->second) env_->SelectComponent(it->second);
            return;
        }
        while (item->parent()) item = item->parent();
        if (auto it = projects_.find(item); it != projects_.end() && env_->ActiveVBProject() != it->second)
            env_->ActivateProject(it->second);
    } catch (const vb::VbError& e) {
        if (onFailure) onFailure(e.what());
    }
}

void ProjectExplorer::SetFolders(bool folders) {
    folders_ = folders;
    signature_.clear();
    Refresh();
}

void ProjectExplorer::ViewCode() {
    if (QTreeWidgetItem* item = currentItem()) Opened(item);
}

void ProjectExplorer::Opened(QTreeWidgetItem* item) {
    auto it = components_.find(item);
    if (it == components_.end()) return;
    try {
        env_->OpenCodePane(it->second);
    } catch (const vb::VbError& e) {
        if (onFailure) onFailure(e.what());
    }
}

}  // namespace ide
