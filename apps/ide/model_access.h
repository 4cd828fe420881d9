#pragma once
// What the window needs from the environment beyond the add-ins' contract:
// the code pane behind a code window, and the file a component was read from.
// The contract gives an add-in no way to go from a Window to its CodePane; the
// environment window needs it to pair editors with the model's code windows.

#include <string>

#include "shared/vbide.h"

namespace ide {

// The active project, or nullptr also while a removed project is still the
// environment's active one (its removal is being told to observers).
vbide::VBProjectPtr ActiveProject(vbide::VBE& env);

// The code pane shown in a code window; nullptr for other windows.
vbide::CodePanePtr PaneOfWindow(const vbide::WindowPtr& window);

// The module file as the project file names it ("Module1.bas"); "" for a
// component never saved.
std::string ComponentFileName(const vbide::VBComponentPtr& component);

// True for the code windows and designers that the environment destroys on
// Close (they are shown in the editing area, not as dock windows).
bool IsEditingWindow(vbide::vbext_WindowType type);

}  // namespace ide
