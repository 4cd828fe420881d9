#include "quillon/app_info.h"

#include "platform/win/files.h"

namespace quillon {

forms::AppInfo QuillonAppInfo() {
    forms::AppInfo app;
    app.Title = "Quillon";
    app.ProductName = "Quillon";
    app.FileDescription = "Tarnwick Add Procedure Dialog";
    app.EXEName = "Quillon";
    // The folder of the library (or program) this code was linked into.
    app.Path = win::GetModuleFolder(reinterpret_cast<const void*>(&QuillonAppInfo));
    app.Major = 1;
    app.Minor = 0;
    app.Revision = 0;
    return app;
}

}  // namespace quillon
