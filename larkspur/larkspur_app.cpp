#include "larkspur/larkspur_app.h"

namespace larkspur {

forms::AppInfo& App() {
    static forms::AppInfo app = [] {
        forms::AppInfo a;
        a.Title = "Larkspur";
        a.ProductName = "Larkspur";
        a.EXEName = "larkspur";
        a.Major = 1;
        a.Minor = 0;
        a.Revision = 8;
        return a;
    }();
    return app;
}

}  // namespace larkspur
