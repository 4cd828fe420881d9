#include "platform/vbide/module_file.h"

#include <algorithm>
#include <vector>

#include "base/text.h"
#include "platform/vbide/code_rules.h"

namespace vbide {

namespace {

// A line of a file as views into its bytes.
using RawLine = text::Line;

std::string FirstWord(std::string_view s) {
    std::string t(text::TrimBlanks(s));
    std::size_t i = 0;
    while (i < t.size() && t[i] != ' ' && t[i] != '\t') ++i;
    return t.substr(0, i);
}

bool StartsWithWord(std::string_view line, const char* word) {
    return rules::EqualsNoCase(FirstWord(line), word);
}

bool IsAttributeLine(std::string_view line) {
    // Attribute lines stand at column 1.
    return line.size() > 10 && rules::EqualsNoCase(line.substr(0, 10), "Attribute ");
}

bool IsDesignerType(vbext_ComponentType type) {
    return type == vbext_ct_VBForm || type == vbext_ct_VBMDIForm || type == vbext_ct_UserControl ||
           type == vbext_ct_PropPage || type == vbext_ct_DocObject ||
           type == vbext_ct_ActiveXDesigner || type == vbext_ct_MSForm;
}

// The number of header lines of the VERSION block starting at line 0.
std::size_t VersionBlockEnd(const std::vector<RawLine>& lines) {
    std::size_t i = 1;
    int depth = 0;
    std::size_t outer = 0;
    while (i < lines.size()) {
        const std::string word = FirstWord(lines[i].text);
        if (depth == 0) {
            if (rules::EqualsNoCase(word, "Begin")) {
                depth = 1;
                outer = i;
            } else if (!rules::EqualsNoCase(word, "Object")) {
                break;
            }
        } else if (rules::EqualsNoCase(word, "Begin") || rules::EqualsNoCase(word, "BeginProperty")) {
            ++depth;
        } else if (rules::EqualsNoCase(word, "End") || rules::EqualsNoCase(word, "EndProperty")) {
            --depth;
        }
        ++i;
    }
    if (depth > 0)
        throw ModuleFileError(static_cast<std::int32_t>(outer) + 1, "\"Begin\" block is not closed by \"End\"");
    return i;
}

std::string NameFromAttribute(std::string_view line) {
    // Attribute VB_Name = "Name"
    std::size_t q1 = line.find('"');
    std::size_t q2 = line.rfind('"');
    if (q1 == std::string::npos || q2 <= q1)
        return std::string(text::TrimBlanks(line.substr(std::min(line.size(), line.find('=') + 1))));
    return std::string(line.substr(q1 + 1, q2 - q1 - 1));
}

}  // namespace

std::int32_t ComponentTypeOfExtension(const std::string& extension) {
    struct { const char* ext; vbext_ComponentType type; } table[] = {
        {"bas", vbext_ct_StdModule}, {"cls", vbext_ct_ClassModule}, {"frm", vbext_ct_VBForm},
        {"ctl", vbext_ct_UserControl}, {"pag", vbext_ct_PropPage}, {"dob", vbext_ct_DocObject},
        {"dsr", vbext_ct_ActiveXDesigner},
    };
    for (auto& row : table)
        if (rules::EqualsNoCase(extension, row.ext)) return row.type;
    return 0;
}

std::string ExtensionOfComponentType(vbext_ComponentType type) {
    switch (type) {
        case vbext_ct_StdModule: return "bas";
        case vbext_ct_ClassModule: return "cls";
        case vbext_ct_VBForm: case vbext_ct_VBMDIForm: return "frm";
        case vbext_ct_UserControl: return "ctl";
        case vbext_ct_PropPage: return "pag";
        case vbext_ct_DocObject: return "dob";
        default: return "dsr";
    }
}

ParsedModule ParseModuleFile(std::string bytes, vbext_ComponentType type) {
    if (const std::size_t nul = bytes.find('\0'); nul != std::string::npos)
        throw ModuleFileError(static_cast<std::int32_t>(std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(nul), '\n')) + 1,
                              "NUL byte: not a text file");
    ParsedModule result;
    result.type = type;
    // The text keeps the bytes; the lines are views into them.
    result.text.Adopt(std::move(bytes));
    const std::vector<RawLine> lines = text::SplitLines(result.text.Adopted());
    for (auto& l : lines)
        if (!l.end.empty()) {
            result.text.SetNewLineEnd(std::string(l.end));
            break;
        }
    std::size_t header = 0;
    bool hasVersion = !lines.empty() && StartsWithWord(lines[0].text, "VERSION");
    if (hasVersion) header = VersionBlockEnd(lines);
    else if (IsDesignerType(type))
        throw ModuleFileError(1, "not a designer file: the first line is not \"VERSION\"");
    for (std::size_t i = 0; i < header; ++i)
        if (type == vbext_ct_VBForm && rules::EqualsNoCase(FirstWord(lines[i].text), "Begin") &&
            text::TrimBlanks(lines[i].text).find("VB.MDIForm") != std::string::npos)
            result.type = vbext_ct_VBMDIForm;
    while (header < lines.size() && IsAttributeLine(lines[header].text)) ++header;
    std::string headerBytes;
    for (std::size_t i = 0; i < header; ++i) {
        if (rules::EqualsNoCase(FirstWord(lines[i].text.substr(std::min<std::size_t>(10, lines[i].text.size()))),
                                "VB_Name") &&
            IsAttributeLine(lines[i].text))
            result.name = NameFromAttribute(lines[i].text);
        headerBytes.append(lines[i].text).append(lines[i].end);
    }
    result.text.SetHeader(headerBytes);
    result.text.ReserveLines(lines.size() - header);
    for (std::size_t i = header; i < lines.size(); ++i) {
        const RawLine& l = lines[i];
        if (IsAttributeLine(l.text) && result.text.Count() > 0)
            result.text.AppendHidden(std::string_view(l.text.data(), l.text.size() + l.end.size()));
        else
            result.text.AppendLine(l.text, l.end);
    }
    return result;
}

std::string NewModuleHeader(vbext_ComponentType type, const std::string& name) {
    const std::string nameAttr = "Attribute VB_Name = \"" + name + "\"\r\n";
    switch (type) {
        case vbext_ct_StdModule: return nameAttr;
        case vbext_ct_ClassModule:
            return "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\n  Persistable = 0  'NotPersistable\r\n"
                   "  DataBindingBehavior = 0  'vbNone\r\n  DataSourceBehavior  = 0  'vbNone\r\n"
                   "  MTSTransactionMode  = 0  'NotAnMTSObject\r\nEND\r\n" + nameAttr +
                   "Attribute VB_GlobalNameSpace = False\r\nAttribute VB_Creatable = True\r\n"
                   "Attribute VB_PredeclaredId = False\r\nAttribute VB_Exposed = False\r\n";
        default: {
            std::string kind = type == vbext_ct_VBMDIForm ? "VB.MDIForm"
                             : type == vbext_ct_UserControl ? "VB.UserControl"
                             : type == vbext_ct_PropPage ? "VB.PropertyPage"
                             : type == vbext_ct_DocObject ? "VB.UserDocument"
                                                          : "VB.Form";
            return "VERSION 5.00\r\nBegin " + kind + " " + name + " \r\n   Caption         =   \"" + name +
                   "\"\r\n   ClientHeight    =   3195\r\n   ClientLeft      =   60\r\n"
                   "   ClientTop       =   345\r\n   ClientWidth     =   4680\r\nEnd\r\n" + nameAttr +
                   "Attribute VB_GlobalNameSpace = False\r\nAttribute VB_Creatable = False\r\n"
                   "Attribute VB_PredeclaredId = True\r\nAttribute VB_Exposed = False\r\n";
        }
    }
}

std::string RenameInHeader(const std::string& header, const std::string& oldName,
                           const std::string& newName, const std::string& lineEnd) {
    std::vector<RawLine> lines = text::SplitLines(header);
    bool found = false;
    std::string out;
    for (auto& l : lines) {
        std::string text(l.text);
        if (IsAttributeLine(text) && rules::EqualsNoCase(FirstWord(text.substr(10)), "VB_Name")) {
            text = "Attribute VB_Name = \"" + newName + "\"";
            found = true;
        } else if (rules::EqualsNoCase(FirstWord(text), "Begin") && l.text.find(' ') != std::string::npos) {
            // "Begin VB.Form Name " on the top level only: its indent is none.
            std::string t = text::TrimBlanks(text);
            std::size_t sp1 = t.find(' ');
            std::size_t sp2 = t.find(' ', sp1 + 1);
            if (text.size() && text[0] != ' ' && sp2 != std::string::npos &&
                rules::EqualsNoCase(t.substr(sp2 + 1, oldName.size()), oldName) &&
                text::TrimBlanks(t.substr(sp2 + 1)).size() == oldName.size())
                text = text.substr(0, text.find(t) + sp2 + 1) + newName +
                       text.substr(text.find(t) + sp2 + 1 + oldName.size());
        }
        out.append(text).append(l.end);
    }
    if (!found) {
        if (!out.empty() && out.back() != '\n') out += lineEnd;
        out += "Attribute VB_Name = \"" + newName + "\"" + lineEnd;
    }
    return out;
}

}  // namespace vbide
