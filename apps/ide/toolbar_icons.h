#pragma once
// Small pictures for the built-in buttons of the "Standard" toolbar, drawn in
// code so that the environment needs no image files.

#include <QIcon>
#include <cstdint>

#include "platform/vbide/command_bars.h"

namespace ide {

// The picture of a built-in toolbar command by its id (vbide::kCmdOpenProject),
// so that a renamed command keeps it; a null icon for commands without one
// (add-ins' buttons show their text).
QIcon ToolbarIcon(std::int32_t commandId);

}  // namespace ide
