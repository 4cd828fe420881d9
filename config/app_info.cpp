#include "config/Connect.h"

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
        return app;
    }();
    return info;
}

}  // namespace config
