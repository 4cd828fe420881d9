// The environment's windows: tool windows, the main window, code windows and
// designers.

#include <algorithm>

#include "platform/vbide/model.h"

namespace vbide {

namespace {

// Windows the View menu always offers: closing one only hides it.
bool IsDestroyedOnClose(vbext_WindowType type) {
    return type == vbext_wt_CodeWindow || type == vbext_wt_Designer;
}

}  // namespace

void BuildWindows(Environment& env) {
    auto& s = env.Internal();
    // The layout of a freshly installed environment: the main window, the
    // project, properties and form layout windows and the toolbox shown; the
    // others exist hidden until the View menu shows them.
    s.AddWindow("Tarnwick Environment", vbext_wt_MainWindow, true);
    s.AddWindow("Project", vbext_wt_ProjectWindow, true);
    s.AddWindow("Properties", vbext_wt_PropertyWindow, true);
    s.AddWindow("Form Layout", vbext_wt_Preview, true);
    s.AddWindow("Toolbox", vbext_wt_Toolbox, true);
    s.AddWindow("Immediate", vbext_wt_Immediate, false);
    s.AddWindow("Locals", vbext_wt_Locals, false);
    s.AddWindow("Watches", vbext_wt_Watch, false);
    s.AddWindow("Object Browser", vbext_wt_Browser, false);
    s.AddWindow("Color Palette", vbext_wt_ColorPalette, false);
    s.AddWindow("Data View", vbext_wt_ToolWindow, false);
    s.AddWindow("Component Manager", vbext_wt_ToolWindow, false);
}

std::shared_ptr<WindowImpl> Environment::State::AddWindow(const std::string& caption,
                                                          vbext_WindowType type, bool visible) {
    auto w = std::make_shared<WindowImpl>(self, caption, type, visible);
    windows.push_back(w);
    Notify([](EnvironmentObserver& o) { o.WindowsChanged(); });
    return w;
}

void Environment::State::RemoveWindow(const std::shared_ptr<WindowImpl>& window) {
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
    window->gone = true;
    window->visible = false;
    Notify([](EnvironmentObserver& o) { o.WindowsChanged(); });
}

std::shared_ptr<PaneImpl> Environment::State::OpenPane(const std::shared_ptr<ModuleImpl>& module) {
    if (module->pane) return module->pane;
    auto pane = std::make_shared<PaneImpl>(module);
    auto component = module->component.lock();
    auto project = component ? component->Project() : nullptr;
    std::string caption = (project ? project->name + " - " : std::string()) +
                          (component ? component->name : std::string()) + " (Code)";
    auto window = AddWindow(caption, vbext_wt_CodeWindow, true);
    window->pane = pane;
    pane->window = window;
    module->pane = pane;
    return pane;
}

void Environment::State::ClosePane(std::shared_ptr<PaneImpl> pane) {
    pane->gone = true;
    if (auto m = pane->module.lock()) m->pane.reset();
    bool wasActive = activePane.lock() == pane;
    if (wasActive) activePane.reset();
    if (auto w = pane->window.lock()) RemoveWindow(w);
    if (wasActive) Notify([](EnvironmentObserver& o) { o.ActiveCodePaneChanged(nullptr); });
}

std::int32_t WindowsImpl::Count() { return static_cast<std::int32_t>(LockEnv(env_)->Internal().windows.size()); }

WindowPtr WindowsImpl::Item(std::int32_t index) {
    auto& list = LockEnv(env_)->Internal().windows;
    if (index < 1 || index > static_cast<std::int32_t>(list.size())) ThrowError(9);
    return list[static_cast<std::size_t>(index - 1)];
}

VBEPtr WindowsImpl::VBE() { return LockEnv(env_); }

std::string WindowImpl::Caption() {
    Check();
    return caption;
}

vbext_WindowType WindowImpl::Type() {
    Check();
    return type;
}

bool WindowImpl::Visible() {
    Check();
    return visible;
}

void WindowImpl::SetVisible(bool value) {
    Check();
    if (visible == value) return;
    visible = value;
    if (auto e = env.lock()) {
        auto self = shared_from_this();
        e->Internal().Notify([&](EnvironmentObserver& o) { o.WindowVisibleChanged(self); });
    }
}

void WindowImpl::Close() {
    Check();
    auto e = env.lock();
    if (!e) ThrowDisconnected();
    if (!IsDestroyedOnClose(type)) {
        SetVisible(false);
        return;
    }
    auto self = shared_from_this();
    if (auto p = pane.lock()) e->Internal().ClosePane(p);
    else e->Internal().RemoveWindow(self);
}

VBEPtr WindowImpl::VBE() {
    Check();
    return env.lock();
}

}  // namespace vbide
