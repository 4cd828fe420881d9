#pragma once
// The command line of the environment window:
//
//   ide [--addins FILE] [--screenshot FILE.png] [PROJECT.vbp|GROUP.vbg]
//
// The add-in list file is --addins FILE, else $TARNWICK_ADDINS, else
// ${XDG_DATA_HOME:-~/.local/share}/tarnwick/vbaddin.ini. The registry store
// is the one of the suite ($TARNWICK_REGISTRY or its default).

#include <string>
#include <vector>

namespace ide {

struct IdeOptions {
    std::string project;     // "" for none
    std::string addinsFile;  // the add-in list file in use
    std::string screenshot;  // "" unless --screenshot
    bool help = false;
    std::string error;       // what is wrong with the command line, "" when fine
};

// `args` without the program name; `getenv` answers environment variables
// (nullptr when unset).
IdeOptions ParseOptions(const std::vector<std::string>& args,
                        const char* (*getenv)(const char*));

extern const char* const kUsage;

}  // namespace ide
