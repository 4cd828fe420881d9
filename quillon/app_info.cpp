#include "quillon/app_info.h"

namespace quillon {

forms::AppInfo QuillonAppInfo() {
    forms::AppInfo app;
    app.Title = "Quillon";
    app.ProductName = "Quillon";
    app.FileDescription = "Tarnwick Add Procedure Dialog";
    app.EXEName = "Quillon";
    app.Major = 1;
    app.Minor = 0;
    app.Revision = 0;
    return app;
}

}  // namespace quillon
