#pragma once
// Larkspur's App object: its title, version and the folder of the program.

#include "platform/forms/app_info.h"

namespace larkspur {

// The program's App; main sets Path to the program's folder.
forms::AppInfo& App();

}  // namespace larkspur
