#include "config/Connect.h"
#include "platform/win/files.h"

namespace config {

const forms::AppInfo& ConfigAppInfo() {
    static const forms::AppInfo info = [] {
        forms::AppInfo app;
        app.Title = "Tarnwick Thornbury";
        app.ProductName = "Tarnwick Thornbury";
        app.FileDescription = "Tarnwick Thornbury";
        app.EXEName = "Config";
        app.Major = 1;
        app.Minor = 0;
        app.Revision = 0;
        // The folder of the library (or program) that carries this code.
        app.Path = win::GetModuleFolder(reinterpret_cast<const void*>(&ConfigAppInfo));
        return app;
    }();
    return info;
}

}  // namespace config
