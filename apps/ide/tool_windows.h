#pragma once
// The contents of the environment's tool windows (the dock widgets): the
// Immediate, Locals and Watch windows, the Object Browser, the Properties and
// Form Layout windows, the Toolbox, the Color Palette and the other tool
// windows. The Project window's contents are the ProjectExplorer.

#include <QWidget>
#include <memory>
#include <string>

#include "platform/vbide/environment.h"

namespace ide {

// The widget shown in the dock of a tool window of `type`.
QWidget* MakeToolWindowContent(vbide::vbext_WindowType type, const std::string& caption,
                               const std::shared_ptr<vbide::Environment>& env);

// Shows the properties of the selected component (or the active project) in
// a Properties window's contents; the window keeps it current.
void ShowPropertiesOf(QWidget* propertiesContent, const std::shared_ptr<vbide::Environment>& env);

}  // namespace ide
