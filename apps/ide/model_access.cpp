#include "apps/ide/model_access.h"

#include "platform/vbide/model.h"

namespace ide {

vbide::VBProjectPtr ActiveProject(vbide::VBE& env) {
    auto project = env.ActiveVBProject();
    auto impl = std::dynamic_pointer_cast<vbide::ProjectImpl>(project);
    return (impl && impl->gone) ? nullptr : project;
}

vbide::CodePanePtr PaneOfWindow(const vbide::WindowPtr& window) {
    auto impl = std::dynamic_pointer_cast<vbide::WindowImpl>(window);
    if (!impl || impl->gone) return nullptr;
    auto pane = impl->pane.lock();
    return (pane && !pane->gone) ? pane : nullptr;
}

std::string ComponentFileName(const vbide::VBComponentPtr& component) {
    auto impl = std::dynamic_pointer_cast<vbide::ComponentImpl>(component);
    if (!impl) return {};
    std::string path = impl->relativePath;
    auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsEditingWindow(vbide::vbext_WindowType type) {
    return type == vbide::vbext_wt_CodeWindow || type == vbide::vbext_wt_Designer;
}

}  // namespace ide
