#pragma once
// What the add-in knows about itself, for its About box.

#include "platform/forms/app_info.h"

namespace quillon {

forms::AppInfo QuillonAppInfo();

}  // namespace quillon
