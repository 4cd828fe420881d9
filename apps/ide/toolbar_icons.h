#pragma once
// Small pictures for the built-in buttons of the "Standard" toolbar, drawn in
// code so that the environment needs no image files.

#include <QIcon>
#include <string>

namespace ide {

// The picture of a built-in toolbar command by its caption ("Open Project");
// a null icon for captions without one (add-ins' buttons show their text).
QIcon ToolbarIcon(const std::string& caption);

}  // namespace ide
