#include "platform/vbide/declaration_checker.h"

#include <algorithm>
#include <array>

#include "base/text.h"
#include "platform/vbide/code_rules.h"

namespace vbide {

using rules::EqualsNoCase;
using rules::ProcDeclaration;

namespace {

// Words that cannot name a procedure. Statement names that the language lets
// a class member take (Name, Open, Close, Print, Error, Line...) are not here.
constexpr std::array<const char*, 86> kReserved = {
    "AddressOf", "And", "Any", "As", "Boolean", "ByRef", "Byte", "ByVal", "Call", "Case",
    "CBool", "CByte", "CCur", "CDate", "CDbl", "CDec", "CInt", "CLng", "Const", "CSng",
    "CStr", "Currency", "CVar", "Date", "Decimal", "Declare", "DefBool", "DefByte", "DefCur",
    "DefDate", "DefDbl", "DefInt", "DefLng", "DefObj", "DefSng", "DefStr", "DefVar", "Dim",
    "Do", "Double", "Each", "Else", "ElseIf", "Empty", "End", "Enum", "Eqv", "Erase",
    "Event", "Exit", "False", "For", "Friend", "Function", "Global", "GoSub", "GoTo", "If",
    "Imp", "Implements", "In", "Integer", "Is", "Let", "Like", "Long", "Loop", "LSet", "Me",
    "Mod", "New", "Next", "Not", "Nothing", "Null", "On", "Option", "Optional", "Or",
    "ParamArray", "Preserve", "Private", "Property", "Public", "RaiseEvent", "ReDim"};
constexpr std::array<const char*, 22> kReserved2 = {
    "Rem", "Resume", "Return", "RSet", "Select", "Set", "Single", "Static", "Step", "Stop",
    "String", "Sub", "Then", "To", "True", "Type", "TypeOf", "Until", "Variant", "Wend",
    "While", "With"};
constexpr std::array<const char*, 3> kReserved3 = {"WithEvents", "Xor", "Object"};

bool IsValidIdentifier(const std::string& s) { return text::IsIdentifier(s); }

// The line without its comment (outside string literals).
std::string StripComment(const std::string& line) {
    bool inString = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') inString = !inString;
        else if (c == '\'' && !inString) return line.substr(0, i);
    }
    return line;
}

// Checks what follows the name: "(...)" balanced, then optionally "As type".
std::string CheckSignature(const std::string& rest, bool asAllowed) {
    std::string code = StripComment(rest);
    int depth = 0;
    bool inString = false;
    std::size_t closeAt = std::string::npos;
    std::size_t i = 0;
    while (i < code.size() && text::IsBlank(code[i])) ++i;
    if (i < code.size() && code[i] != '(') {
        // No parameter list: only "As type" may follow.
        closeAt = i == 0 ? 0 : i - 1;
    } else {
        for (; i < code.size(); ++i) {
            char c = code[i];
            if (c == '"') inString = !inString;
            if (inString) continue;
            if (c == '(') ++depth;
            else if (c == ')') {
                if (--depth < 0) return "unbalanced parentheses";
                if (depth == 0) {
                    closeAt = i;
                    break;
                }
            }
        }
        if (depth != 0 || inString) return "unbalanced parentheses";
    }
    std::string tail = closeAt == std::string::npos ? std::string() : text::TrimBlanks(code.substr(closeAt + 1));
    if (tail.find_first_of("()") != std::string::npos) return "unbalanced parentheses";
    if (tail.empty()) return {};
    std::size_t w = 0;
    while (w < tail.size() && rules::IsIdentifierChar(tail[w])) ++w;
    if (!EqualsNoCase(tail.substr(0, w), "As")) return "unexpected text after the parameter list";
    if (!asAllowed) return "an As clause where the procedure takes none";
    std::string type = text::TrimBlanks(tail.substr(w));
    if (type.empty()) return "As without a type";
    return {};
}

std::string CheckDeclaration(const ProcDeclaration& d, const std::string& logical,
                             vbext_ComponentType moduleType) {
    if (!IsValidIdentifier(d.name)) return "invalid procedure name";
    if (IsReservedWord(d.name)) return "reserved word as procedure name";
    if (moduleType == vbext_ct_StdModule && d.keyword == ProcDeclaration::Keyword::Event)
        return "Event in a standard module";
    if (moduleType == vbext_ct_StdModule && d.isFriend) return "Friend in a standard module";
    bool asAllowed = d.keyword == ProcDeclaration::Keyword::Function ||
                     d.keyword == ProcDeclaration::Keyword::PropertyGet;
    return CheckSignature(logical.substr(d.afterName), asAllowed);
}

// A label definition at the start of a statement line: "Name:" (not ":=")
// or a line number.
std::string LabelOf(const std::string& line) {
    std::size_t i = 0;
    while (i < line.size() && text::IsBlank(line[i])) ++i;
    std::size_t j = i;
    if (j < line.size() && line[j] >= '0' && line[j] <= '9') {
        while (j < line.size() && line[j] >= '0' && line[j] <= '9') ++j;
        return line.substr(i, j - i);
    }
    while (j < line.size() && rules::IsIdentifierChar(line[j])) ++j;
    if (j == i || j >= line.size() || line[j] != ':') return {};
    if (j + 1 < line.size() && line[j + 1] == '=') return {};
    return line.substr(i, j - i);
}

// Targets of GoTo, GoSub and Resume on a line (outside strings and comments).
std::vector<std::string> TargetsOf(const std::string& line) {
    std::vector<std::string> targets;
    std::string code = StripComment(line);
    std::vector<std::string> words;
    bool inString = false;
    std::string current;
    auto flush = [&] {
        if (!current.empty()) words.push_back(current);
        current.clear();
    };
    for (char c : code) {
        if (c == '"') {
            flush();
            inString = !inString;
            continue;
        }
        if (inString) continue;
        if (rules::IsIdentifierChar(c) || c == '-') current += c;
        else if (c == ',') {
            flush();
            words.push_back(",");
        } else flush();
    }
    flush();
    for (std::size_t k = 0; k + 1 < words.size(); ++k) {
        bool jump = EqualsNoCase(words[k], "GoTo") || EqualsNoCase(words[k], "GoSub");
        bool resume = EqualsNoCase(words[k], "Resume");
        if (!jump && !resume) continue;
        // "On x GoTo a, b, c" lists several targets.
        for (std::size_t t = k + 1; t < words.size(); t += 2) {
            const std::string& target = words[t];
            if (target == ",") break;
            if (!(resume && EqualsNoCase(target, "Next")) && target != "0" && target != "-1")
                targets.push_back(target);
            if (!jump || t + 1 >= words.size() || words[t + 1] != ",") break;
        }
    }
    return targets;
}

}  // namespace

bool IsReservedWord(const std::string& word) {
    auto in = [&](const auto& list) {
        return std::any_of(list.begin(), list.end(), [&](const char* r) { return EqualsNoCase(word, r); });
    };
    return in(kReserved) || in(kReserved2) || in(kReserved3);
}

CheckResult CheckInsertedCode(const std::vector<std::string>& lines, vbext_ComponentType moduleType) {
    struct OpenProcedure {
        long line = 0;
        std::vector<std::string> labels;
        std::vector<std::pair<std::string, long>> targets;
    };
    bool inProcedure = false;
    OpenProcedure proc;
    auto closeProcedure = [&]() -> CheckResult {
        for (const auto& jump : proc.targets) {
            const std::string& target = jump.first;
            bool defined = std::any_of(proc.labels.begin(), proc.labels.end(),
                                       [&](const std::string& l) { return EqualsNoCase(l, target); });
            if (!defined) return CheckResult{false, jump.second, "label not defined: " + target};
        }
        return {};
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::size_t last = i;
        std::string logical = rules::LogicalLine(lines, i, last);
        long lineNo = static_cast<long>(i) + 1;
        if (!rules::IsComment(lines[i])) {
            ProcDeclaration d = rules::ParseDeclaration(logical);
            if (d.keyword != ProcDeclaration::Keyword::None) {
                std::string why = CheckDeclaration(d, logical, moduleType);
                if (!why.empty()) return CheckResult{false, lineNo, why};
                if (d.keyword != ProcDeclaration::Keyword::Event) {
                    inProcedure = true;
                    proc = OpenProcedure{lineNo, {}, {}};
                }
            } else if (rules::IsProcedureEnd(logical)) {
                if (inProcedure) {
                    CheckResult r = closeProcedure();
                    if (!r.ok) return r;
                }
                inProcedure = false;
            } else if (inProcedure) {
                std::string label = LabelOf(logical);
                if (!label.empty()) proc.labels.push_back(label);
                for (auto& t : TargetsOf(logical)) proc.targets.emplace_back(t, lineNo);
            }
        }
        i = last;
    }
    // A procedure whose End line is not in the text may have its labels in
    // the lines that follow in the module: its jumps are not judged.
    return {};
}

}  // namespace vbide
