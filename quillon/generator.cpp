#include "quillon/generator.h"

#include <string_view>

#include "base/text.h"

namespace quillon {

namespace {

constexpr std::string_view CRLF = "\r\n";

// The prefix of a Property Let parameter: the type's first three characters
// (all of it when shorter), lower-cased, so "Long" gives "lon".
std::string ValuePrefix(const ProcedureRequest& r) {
    return text::LowerAscii(std::string_view(r.strDataType).substr(0, 3));
}

// The type as written in a declaration: a class module of a project is
// qualified by the project's name.
std::string TypeText(const ProcedureRequest& r) {
    if (r.intDataClass == classProject) return r.strProjectName + "." + r.strDataType;
    return r.strDataType;
}

std::string Keyword(const ProcedureRequest& r, bool blnSetter) {
    switch (r.intKind) {
        case kindSub: return "Sub ";
        case kindFunction: return "Function ";
        case kindProperty:
            if (!blnSetter) return "Property Get ";
            return r.intDataClass == classValue ? "Property Let " : "Property Set ";
        case kindEvent: return "Event ";
        default: return {};
    }
}

// The text between the parentheses: what the user typed, except for a property
// writer, whose single parameter is generated from the name and the type.
std::string ArgumentText(const ProcedureRequest& r, bool blnSetter) {
    if (r.intKind != kindProperty || !blnSetter) return r.strArgs;
    if (r.intDataClass == classValue) {
        return ValuePrefix(r) + r.strName + " As " + r.strDataType;
    }
    return "obj" + r.strName + " As " + TypeText(r);
}

// Read and Write choose the reader's and writer's scope when they are ticked or
// cleared; grayed (or anything else) falls through to the scope buttons.
std::string ScopeWord(const ProcedureRequest& r, bool blnSetter) {
    if (r.intKind == kindProperty) {
        const CheckState box = blnSetter ? r.intWrite : r.intRead;
        if (box == vbChecked) return "Public ";
        if (box == vbUnchecked) return "Private ";
    }
    switch (r.intScope) {
        case scopePublic: return "Public ";
        case scopePrivate: return "Private ";
        case scopeFriend: return "Friend ";
        default: return {};
    }
}

void AppendLine(std::string& text, std::string_view line) {
    text += line;
    text += CRLF;
}

}  // namespace

std::string BuildHeader(const ProcedureRequest& r, bool blnSetter) {
    const std::string keyword = Keyword(r, blnSetter);
    std::string line = ScopeWord(r, blnSetter);
    if (r.intStatic == vbChecked) line += "Static ";
    line += keyword;
    line += r.strName;
    line += " (";
    line += ArgumentText(r, blnSetter);
    line += ")";
    if (!text::Trim(r.strDataType).empty() &&
        (keyword == "Function " || keyword == "Property Get ")) {
        line += "As " + TypeText(r);
    }
    return line;
}

std::string ExitStatement(std::int16_t intKind) {
    switch (intKind) {
        case kindSub: return "Exit Sub ";
        case kindFunction: return "Exit Function ";
        case kindProperty: return "Exit Property";
        default: return {};
    }
}

std::string EndStatement(std::int16_t intKind) {
    switch (intKind) {
        case kindSub: return "End Sub ";
        case kindFunction: return "End Function ";
        case kindProperty: return "End Property";
        default: return {};
    }
}

std::string BuildProcedure(const ProcedureRequest& r, bool blnSetter) {
    const bool error = r.intError == vbChecked;
    const bool mouse = r.intMouse == vbChecked;
    const bool context = r.intContext == vbChecked;
    const bool codeMember = r.intCodeMember == vbChecked;
    const bool objectClass = r.intDataClass != classValue;
    // The labels are written with the trimmed name, so the error jump uses it
    // too; a name typed with trailing blanks would otherwise jump to a label
    // that does not exist.
    const std::string label = text::Trim(r.strName);

    std::string text;
    AppendLine(text, BuildHeader(r, blnSetter));
    AppendLine(text, "");
    // An event is its declaration alone: it has no body and no closing line.
    if (r.intKind == kindEvent) return text;

    if (error) {
        AppendLine(text, "On Error GoTo " + label + "Err");
        AppendLine(text, "");
    }
    if (mouse) {
        AppendLine(text, "    Dim intPointer As Integer");
        AppendLine(text, "    intPointer = Screen.MousePointer");
        AppendLine(text, "    Screen.MousePointer = vbHourGlass");
        AppendLine(text, "");
    }
    if (context) {
        AppendLine(text, "    Dim objContext As MTxAs.ObjectContext");
        AppendLine(text, "    Set objContext = GetObjectContext()");
        AppendLine(text, "");
    }
    AppendLine(text, "");
    AppendLine(text, "    'Place Code Body Here!");
    if (codeMember && blnSetter) {
        if (objectClass) {
            AppendLine(text, "     Set m_" + r.strName + " = obj" + r.strName);
        } else {
            AppendLine(text, "     m_" + r.strName + " = " + ValuePrefix(r) + r.strName);
        }
    }
    if (codeMember && !blnSetter) {
        if (objectClass) {
            AppendLine(text, "    Set " + r.strName + " = m_" + r.strName);
        } else {
            AppendLine(text, "    " + r.strName + " = m_" + r.strName);
        }
    }
    AppendLine(text, "");
    if (context) {
        AppendLine(text, "     objContext.SetComplete");
        AppendLine(text, "");
    }
    if (error) AppendLine(text, label + "Exit:");
    if (mouse) AppendLine(text, "    Screen.MousePointer = intPointer");
    if (error) {
        AppendLine(text, "    " + ExitStatement(r.intKind));
        AppendLine(text, "");
        AppendLine(text, label + "Err:");
        if (context) {
            AppendLine(text, "     objContext.SetAbort");
            AppendLine(text, "");
        }
        AppendLine(text, "    Debug.Print Err.Description");
        AppendLine(text, "    App.StartLogging App.Path & \"\\error.log\", vbLogtoFile");
        AppendLine(text, "    App.LogEvent Err.Description, vbLogEventTypeError");
        AppendLine(text, "    Resume " + label + "Exit");
    }
    AppendLine(text, "");
    AppendLine(text, EndStatement(r.intKind));
    return text;
}

std::string MemberDeclaration(const ProcedureRequest& r) {
    return "Private m_" + r.strName + " As " + TypeText(r) + std::string(CRLF);
}

}  // namespace quillon
