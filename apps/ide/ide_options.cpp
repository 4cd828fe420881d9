#include "apps/ide/ide_options.h"

namespace ide {

const char* const kUsage =
    "Usage: ide [--addins FILE] [--screenshot FILE.png] [PROJECT.vbp|GROUP.vbg]\n"
    "  --addins FILE       the add-in list file (default: $TARNWICK_ADDINS, else\n"
    "                      ${XDG_DATA_HOME:-~/.local/share}/tarnwick/vbaddin.ini)\n"
    "  --screenshot FILE   render the window offscreen into a PNG file and exit\n"
    "The registry store is $TARNWICK_REGISTRY (default\n"
    "${XDG_DATA_HOME:-~/.local/share}/tarnwick/registry.db).\n";

IdeOptions ParseOptions(const std::vector<std::string>& args, const char* (*getenv)(const char*)) {
    IdeOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) {
                o.error = a + " needs a file name";
                return;
            }
            into = args[++i];
        };
        if (a == "--addins") value(o.addinsFile);
        else if (a.rfind("--addins=", 0) == 0) o.addinsFile = a.substr(9);
        else if (a == "--screenshot") value(o.screenshot);
        else if (a.rfind("--screenshot=", 0) == 0) o.screenshot = a.substr(13);
        else if (a == "-h" || a == "--help") o.help = true;
        else if (a.size() > 1 && a[0] == '-') o.error = "unknown option " + a;
        else if (!o.project.empty()) o.error = "only one project can be named";
        else o.project = a;
        if (!o.error.empty()) return o;
    }
    if (o.addinsFile.empty()) {
        if (const char* e = getenv("TARNWICK_ADDINS"); e && *e) {
            o.addinsFile = e;
        } else {
            std::string data;
            if (const char* x = getenv("XDG_DATA_HOME"); x && *x) data = x;
            else if (const char* h = getenv("HOME"); h && *h) data = std::string(h) + "/.local/share";
            else data = ".";
            o.addinsFile = data + "/tarnwick/vbaddin.ini";
        }
    }
    return o;
}

}  // namespace ide
