#include "platform/forms/win32/program_icon.h"

namespace forms::win32 {

HICON ProgramIcon(const std::string& picture, int size) {
    const std::string prefix = "icon:";
    if (picture.compare(0, prefix.size(), prefix) != 0 || picture.size() == prefix.size()) return nullptr;
    std::string name = picture.substr(prefix.size());
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), name.c_str(), IMAGE_ICON, size, size, LR_SHARED));
}

}  // namespace forms::win32
