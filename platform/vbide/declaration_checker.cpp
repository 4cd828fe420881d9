#include "platform/vbide/declaration_checker.h"

#include <algorithm>
#include <array>
#include <string_view>

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

// The characters that give a name its type ("Total&" is a Long).
bool IsTypeCharacter(char c) { return std::string_view("%&!#@$").find(c) != std::string_view::npos; }

// Reads a line left to right: blanks are skipped before every token.
class Scanner {
public:
    explicit Scanner(const std::string& text) : s_(text) {}
    bool AtEnd() {
        Blanks();
        return i_ >= s_.size();
    }
    // The word at the cursor (letters, digits, "_"), consumed; "" when none.
    std::string Word() {
        Blanks();
        std::size_t start = i_;
        while (i_ < s_.size() && rules::IsIdentifierChar(s_[i_])) ++i_;
        return s_.substr(start, i_ - start);
    }
    // A variable's name: a word, then at most one type-declaration character,
    // whose presence `typed` reports.
    std::string Name(bool& typed) {
        std::string name = Word();
        typed = !name.empty() && i_ < s_.size() && IsTypeCharacter(s_[i_]);
        if (typed) ++i_;
        return name;
    }
    // Consumes `word` when it stands at the cursor as a whole word.
    bool TakeWord(const char* word) {
        std::size_t saved = i_;
        if (EqualsNoCase(Word(), word)) return true;
        i_ = saved;
        return false;
    }
    // The character at the cursor, 0 at the end.
    char Next() {
        Blanks();
        return i_ < s_.size() ? s_[i_] : '\0';
    }
    // Consumes a parenthesised group that opens at the cursor ("(1 To 5)");
    // false when it does not close.
    bool TakeGroup() {
        if (!Take('(')) return false;
        int depth = 1;
        bool inString = false;
        for (; i_ < s_.size() && depth > 0; ++i_) {
            if (s_[i_] == '"') inString = !inString;
            else if (!inString && s_[i_] == '(') ++depth;
            else if (!inString && s_[i_] == ')') --depth;
        }
        return depth == 0;
    }
    std::string Rest() const { return s_.substr(i_); }
    bool Take(char c) {
        Blanks();
        if (i_ < s_.size() && s_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }

private:
    void Blanks() {
        while (i_ < s_.size() && text::IsBlank(s_[i_])) ++i_;
    }
    const std::string& s_;
    std::size_t i_ = 0;
};

// The intrinsic types: reserved words that may still follow "As".
constexpr std::array<const char*, 11> kTypeWords = {"Boolean", "Byte",   "Currency", "Date",   "Double", "Integer",
                                                     "Long",    "Object", "Single",   "String", "Variant"};

bool IsTypeWord(const std::string& word) {
    return std::any_of(kTypeWords.begin(), kTypeWords.end(), [&](const char* t) { return EqualsNoCase(word, t); });
}

// Splits a list at the commas that stand outside string literals and
// parentheses.
std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items(1);
    int depth = 0;
    bool inString = false;
    for (char c : text) {
        if (c == '"') inString = !inString;
        else if (!inString && c == '(') ++depth;
        else if (!inString && c == ')') --depth;
        else if (!inString && depth == 0 && c == ',') {
            items.emplace_back();
            continue;
        }
        items.back() += c;
    }
    return items;
}

// The code of a line before its comment and before a ":" that starts the
// next statement.
std::string FirstStatement(const std::string& line) {
    std::string code = StripComment(line);
    bool inString = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        if (code[i] == '"') inString = !inString;
        else if (!inString && code[i] == ':') return code.substr(0, i);
    }
    return code;
}

// What follows "As": a type name, a name qualified by its project or
// library ("MyProject.CThing"), or a fixed-length "String * n"; "New" first
// where an object may be created with the variable; "()" after it where a
// function or property returns an array.
std::string CheckType(Scanner& in, bool newAllowed, bool arrayAllowed = false) {
    if (newAllowed) in.TakeWord("New");
    const std::string name = in.Word();
    if (name.empty()) return "As without a type";
    const bool qualified = in.Take('.');
    if (!IsValidIdentifier(name) || (IsReservedWord(name) && (qualified || !IsTypeWord(name))))
        return "invalid type name";
    if (qualified && !IsValidIdentifier(in.Word())) return "invalid type name";
    if (in.Take('*')) {
        if (qualified || !EqualsNoCase(name, "String")) return "a length after a type other than String";
        if (in.Word().empty()) return "a fixed-length String without its length";
        return {};
    }
    if (arrayAllowed && in.Take('(') && !in.Take(')')) return "bounds on an array return type";
    return {};
}

// The three kinds of parameter, which must come in this order.
enum class ParameterKind { Required, Optional, ParamArray };

// One parameter: [Optional] [ByVal|ByRef] name[()] [As type] [= default],
// the default only with Optional; or ParamArray name() [As Variant]. A name
// with a type-declaration character takes no As clause.
std::string CheckParameter(const std::string& text, ParameterKind& kind) {
    Scanner in(text);
    if (in.AtEnd()) return "an empty parameter";
    const bool optional = in.TakeWord("Optional");
    const bool passing = in.TakeWord("ByVal") || in.TakeWord("ByRef");
    const bool paramArray = in.TakeWord("ParamArray");
    kind = paramArray ? ParameterKind::ParamArray : optional ? ParameterKind::Optional : ParameterKind::Required;
    if (paramArray && (optional || passing)) return "ParamArray with Optional, ByVal or ByRef";
    bool typed = false;
    const std::string name = in.Name(typed);
    if (!IsValidIdentifier(name)) return "invalid parameter name";
    if (IsReservedWord(name)) return "reserved word as parameter name";
    const bool array = in.Take('(');
    if (array && !in.Take(')')) return "bounds on an array parameter";
    if (paramArray && (typed || !array)) return "a ParamArray that is no array of Variant";
    if (in.TakeWord("As")) {
        if (typed) return "an As clause after a type-declaration character";
        if (paramArray) {
            if (!in.TakeWord("Variant")) return "a ParamArray that is no array of Variant";
        } else {
            std::string why = CheckType(in, false);
            if (!why.empty()) return why;
        }
    }
    if (in.Take('=')) {
        if (!optional) return "a default value without Optional";
        if (in.AtEnd()) return "= without a default value";
        return {};
    }
    if (!in.AtEnd()) return "unexpected text in a parameter";
    return {};
}

// A parameter list: required parameters, then either Optional ones or one
// ParamArray, never both. An event takes required parameters only; the last
// parameter of a Property Let or Set (the value assigned) is a required one.
std::string CheckParameters(const std::string& parameters, ProcDeclaration::Keyword keyword) {
    const std::vector<std::string> list = SplitList(parameters);
    const bool valueLast = keyword == ProcDeclaration::Keyword::PropertyLet ||
                           keyword == ProcDeclaration::Keyword::PropertySet;
    bool anyOptional = false;
    bool afterParamArray = false;
    for (std::size_t i = 0; i < list.size(); ++i) {
        ParameterKind kind = ParameterKind::Required;
        std::string why = CheckParameter(list[i], kind);
        if (!why.empty()) return why;
        if (afterParamArray) return "a parameter after a ParamArray";
        const bool value = valueLast && i + 1 == list.size();
        switch (kind) {
            case ParameterKind::Required:
                if (anyOptional && !value) return "a required parameter after an Optional one";
                break;
            case ParameterKind::Optional:
                if (keyword == ProcDeclaration::Keyword::Event) return "Optional in an event";
                if (value) return "an Optional value parameter of a Property Let or Set";
                anyOptional = true;
                break;
            case ParameterKind::ParamArray:
                if (keyword == ProcDeclaration::Keyword::Event) return "ParamArray in an event";
                if (value) return "a ParamArray value parameter of a Property Let or Set";
                if (anyOptional) return "ParamArray with Optional parameters";
                afterParamArray = true;
                break;
        }
    }
    return {};
}

// Checks what follows the name: "(parameters)", then optionally "As type"
// (not after a name with a type-declaration character, `typedName`).
std::string CheckSignature(const std::string& rest, const ProcDeclaration& d, bool typedName) {
    const bool asAllowed = d.keyword == ProcDeclaration::Keyword::Function ||
                           d.keyword == ProcDeclaration::Keyword::PropertyGet;
    const bool needsParameter = d.keyword == ProcDeclaration::Keyword::PropertyLet ||
                                d.keyword == ProcDeclaration::Keyword::PropertySet;
    std::string code = StripComment(rest);
    int depth = 0;
    bool inString = false;
    std::size_t closeAt = std::string::npos;
    std::size_t i = 0;
    while (i < code.size() && text::IsBlank(code[i])) ++i;
    const std::size_t openAt = i;
    std::string parameters;
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
        if (closeAt != std::string::npos) parameters = code.substr(openAt + 1, closeAt - openAt - 1);
    }
    if (text::TrimBlanks(parameters).empty()) {
        if (needsParameter) return "a Property Let or Set without a parameter";
    } else {
        std::string why = CheckParameters(parameters, d.keyword);
        if (!why.empty()) return why;
    }
    std::string tail = closeAt == std::string::npos ? std::string() : text::TrimBlanks(code.substr(closeAt + 1));
    // Parentheses after the list only close the type of a function or
    // property that returns an array ("As Long()").
    const std::size_t open = tail.find('(');
    const std::size_t close = tail.find(')');
    const bool typeParentheses = open == std::string::npos
                                     ? close == std::string::npos
                                     : asAllowed && close != std::string::npos && close > open &&
                                           tail.find('(', open + 1) == std::string::npos &&
                                           close + 1 == tail.size();
    if (!typeParentheses) return "unbalanced parentheses";
    if (tail.empty()) return {};
    Scanner in(tail);
    if (!in.TakeWord("As")) return "unexpected text after the parameter list";
    if (!asAllowed) return "an As clause where the procedure takes none";
    if (typedName) return "an As clause after a type-declaration character";
    std::string why = CheckType(in, false, true);
    if (!why.empty()) return why;
    if (!in.AtEnd()) return "unexpected text after the type";
    return {};
}

std::string CheckDeclaration(const ProcDeclaration& d, const std::string& logical,
                             vbext_ComponentType moduleType) {
    // A function or property reader may give its type by a character
    // after its name ("Total&") instead of an As clause.
    const bool typedName = !d.name.empty() && IsTypeCharacter(d.name.back()) &&
                           (d.keyword == ProcDeclaration::Keyword::Function ||
                            d.keyword == ProcDeclaration::Keyword::PropertyGet);
    const std::string name = typedName ? d.name.substr(0, d.name.size() - 1) : d.name;
    if (!IsValidIdentifier(name)) return "invalid procedure name";
    if (IsReservedWord(name)) return "reserved word as procedure name";
    if (moduleType == vbext_ct_StdModule && d.keyword == ProcDeclaration::Keyword::Event)
        return "Event in a standard module";
    if (moduleType == vbext_ct_StdModule && d.isFriend) return "Friend in a standard module";
    return CheckSignature(logical.substr(d.afterName), d, typedName);
}

// One variable of a declaration: name[(bounds)] [As [New] type].
std::string CheckVariable(const std::string& text, bool newAllowed) {
    Scanner in(text);
    bool typed = false;
    const std::string name = in.Name(typed);
    if (!IsValidIdentifier(name)) return "invalid variable name";
    if (IsReservedWord(name)) return "reserved word as variable name";
    if (in.Next() == '(' && !in.TakeGroup()) return "unbalanced parentheses";
    if (in.TakeWord("As")) {
        if (typed) return "an As clause after a type-declaration character";
        std::string why = CheckType(in, newAllowed);
        if (!why.empty()) return why;
    }
    if (!in.AtEnd()) return "unexpected text in a declaration";
    return {};
}

// A variable declaration ("Private m_Name As String", "Dim a(3), b As New
// Collection"); "" for a line that declares something else or is legal.
std::string CheckVariableDeclaration(const std::string& logical) {
    const std::string code = FirstStatement(logical);
    Scanner in(code);
    if (!in.TakeWord("Private") && !in.TakeWord("Public") && !in.TakeWord("Global") && !in.TakeWord("Dim"))
        return {};
    Scanner next = in;
    const std::string word = next.Word();
    for (const char* other : {"Const", "Declare", "Type", "Enum", "Event", "Sub", "Function", "Property", "Static",
                              "Implements"})
        if (EqualsNoCase(word, other)) return {};
    const bool withEvents = in.TakeWord("WithEvents");
    for (const std::string& variable : SplitList(in.Rest())) {
        std::string why = CheckVariable(variable, !withEvents);
        if (!why.empty()) return why;
    }
    return {};
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
            } else {
                std::string why = CheckVariableDeclaration(logical);
                if (!why.empty()) return CheckResult{false, lineNo, why};
            }
        }
        i = last;
    }
    // A procedure whose End line is not in the text may have its labels in
    // the lines that follow in the module: its jumps are not judged.
    return {};
}

}  // namespace vbide
