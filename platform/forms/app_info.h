#pragma once
// VB's App object: what a deliverable knows about itself. Each deliverable
// defines its own (an add-in library and the program that loads it differ).

#include <string>

namespace forms {

struct AppInfo {
    std::string Title;
    std::string ProductName;
    std::string FileDescription;  // empty when the deliverable has none
    std::string EXEName;
    std::string Path;  // folder of the program or library, no trailing separator
    int Major = 1;
    int Minor = 0;
    int Revision = 0;
};

}  // namespace forms
