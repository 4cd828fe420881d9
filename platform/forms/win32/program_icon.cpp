#include "platform/forms/win32/program_icon.h"

#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/win32/win32_app.h"

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

std::string MissingIcons(const Form& form) {
    std::string missing;
    auto named = [](const std::string& picture) { return picture.rfind("icon:", 0) == 0; };
    if (named(form.Icon()) && !SendMessageA(static_cast<HWND>(WindowOf(form)), WM_GETICON, ICON_BIG, 0))
        missing += form.Name() + " ";
    for (const Control* c : form.Controls()) {
        const std::string* picture = c->Kind() == ControlKind::PictureBox ? &static_cast<const PictureBox*>(c)->Picture()
                                     : c->Kind() == ControlKind::Image    ? &static_cast<const Image*>(c)->Picture()
                                                                          : nullptr;
        if (picture && named(*picture) && !SendMessageA(static_cast<HWND>(WindowOf(*c)), STM_GETICON, 0, 0))
            missing += c->Name() + " ";
    }
    if (!missing.empty()) missing.pop_back();
    return missing;
}

}  // namespace forms::win32
