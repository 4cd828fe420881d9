#pragma once
// The project window's contents: a tree of the open projects, each with its
// components in folders by kind, the active project in bold. Selecting an
// entry selects the component (and activates its project) in the
// environment; a double click opens the component's code pane.

#include <QTreeWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/vbide/environment.h"

namespace ide {

class ProjectExplorer : public QTreeWidget {
public:
    ProjectExplorer(std::shared_ptr<vbide::Environment> env, QWidget* parent = nullptr);

    // Shows the environment's projects again (keeps the selection).
    void Refresh();
    // The entry of a project or component (nullptr when not shown).
    QTreeWidgetItem* ItemFor(const vbide::VBProjectPtr& project) const;
    QTreeWidgetItem* ItemFor(const vbide::VBComponentPtr& component) const;
    // Components in folders by kind (the default) or straight under their
    // project.
    void SetFolders(bool folders);
    bool Folders() const { return folders_; }
    // Opens the code pane of the selected component (the "View Code" button).
    void ViewCode();

    std::function<void(const std::string&)> onFailure;

private:
    void Selected();
    void Opened(QTreeWidgetItem* item);
    std::string Signature();

    std::shared_ptr<vbide::Environment> env_;
    std::map<QTreeWidgetItem*, vbide::VBProjectPtr> projects_;
    std::map<QTreeWidgetItem*, vbide::VBComponentPtr> components_;
    std::string signature_;
    bool refreshing_ = false;
    bool folders_ = true;
};

}  // namespace ide
