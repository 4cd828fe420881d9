#include "apps/tarnwick/tour_support.h"

#include <ostream>

#include "platform/forms/form.h"
#include "platform/forms/qt/qt_app.h"

namespace tarnwick {

vbide::CommandBarControlPtr MenuCommand(const vbide::VBEPtr& vbe, const std::string& menu,
                                        const std::string& caption) {
    return vbe->CommandBars()->Item("Menu Bar")->Controls()->Item(menu)->CommandBar()->Controls()->Item(
        caption);
}

vbide::CommandBarControlPtr ToolbarDropDown(const vbide::VBEPtr& vbe) {
    auto controls = vbe->CommandBars()->Item("Standard")->Controls();
    for (std::int32_t i = 1; i <= controls->Count(); ++i)
        if (controls->Item(i)->Type() == vbide::msoControlDropdown) return controls->Item(i);
    return nullptr;
}

std::vector<std::string> ModuleLines(const vbide::CodeModulePtr& module) {
    std::vector<std::string> lines;
    for (std::int32_t i = 1; i <= module->CountOfLines(); ++i) lines.push_back(module->Lines(i, 1));
    return lines;
}

void Snap(forms::Form& form, const std::filesystem::path& png, std::ostream& out) {
    if (forms::qt::Screenshot(form, png.string()))
        out << "  screenshot: " << png.string() << "\n";
    else
        out << "  (no screenshot of " << form.Name() << ")\n";
}

void Heading(std::ostream& out, const std::string& title) {
    out << "\n== " << title << " " << std::string(title.size() < 70 ? 70 - title.size() : 2, '=')
        << "\n";
}

void PrintIndented(std::ostream& out, const std::string& text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        out << "  | " << text.substr(start, end - start) << "\n";
        start = end + 2;
    }
}

}  // namespace tarnwick
