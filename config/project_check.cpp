#include "config/project_check.h"

#include <algorithm>

#include "base/text.h"
#include "config/store_text.h"

namespace config {

namespace {

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return text::EqualsNoCase(n, name); });
}

// The first word after optional blanks and a "#", lower-cased, and where the
// rest of the line begins.
std::string Directive(const std::string& line, std::size_t& rest) {
    std::size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] != '#') return {};
    std::size_t j = i + 1;
    while (j < line.size() && text::IsAsciiLetter(line[j])) ++j;
    std::string word;
    for (std::size_t k = i + 1; k < j; ++k) word += text::LowerAscii(line[k]);
    rest = j;
    return word;
}

const std::vector<std::string>& Operators() {
    static const std::vector<std::string> words = {"and", "or",  "not",   "xor",  "eqv",  "imp",  "mod",
                                                   "is",  "like", "true", "false", "then", "empty", "null",
                                                   "nothing"};
    return words;
}

}  // namespace

const std::vector<std::string>& BuiltInConstants() {
    static const std::vector<std::string> names = {"Win16", "Win32", "Win64", "Mac", "VBA6", "VBA7"};
    return names;
}

std::vector<std::string> NamesTestedBy(const std::string& line) {
    std::size_t i = 0;
    const std::string word = Directive(line, i);
    if (word != "if" && word != "elseif") return {};
    std::vector<std::string> names;
    while (i < line.size()) {
        const char c = line[i];
        if (c == '\'') break;  // a comment runs to the end of the line
        if (c == '"') {
            std::size_t close = line.find('"', i + 1);
            i = close == std::string::npos ? line.size() : close + 1;
        } else if (c == '&' && i + 1 < line.size() && text::IsAsciiLetter(line[i + 1])) {
            i += 2;  // &H1F, &O17: the digits are skipped with the number below
            while (i < line.size() && text::IsIdentifierChar(line[i])) ++i;
        } else if (c >= '0' && c <= '9') {
            while (i < line.size() && (text::IsIdentifierChar(line[i]) || line[i] == '.')) ++i;
        } else if (text::IsIdentifierStart(c)) {
            std::size_t j = i;
            while (j < line.size() && text::IsIdentifierChar(line[j])) ++j;
            std::string name = line.substr(i, j - i);
            if (text::EqualsNoCase(name, "rem")) break;
            if (!Contains(Operators(), name) && !Contains(names, name)) names.push_back(name);
            i = j;
        } else {
            ++i;
        }
    }
    return names;
}

std::string NameDeclaredBy(const std::string& line) {
    std::size_t i = 0;
    if (Directive(line, i) != "const") return {};
    i = line.find_first_not_of(" \t", i);
    if (i == std::string::npos || !text::IsIdentifierStart(line[i])) return {};
    std::size_t j = i;
    while (j < line.size() && text::IsIdentifierChar(line[j])) ++j;
    return line.substr(i, j - i);
}

std::vector<std::string> ArgumentNames(const std::string& condComp) {
    std::string value = condComp;
    std::size_t first = value.find('"'), last = value.rfind('"');
    if (first != std::string::npos && last > first) value = value.substr(first + 1, last - first - 1);
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < value.size()) {
        std::size_t end = value.find(':', start);
        if (end == std::string::npos) end = value.size();
        std::string entry = value.substr(start, end - start);
        std::string name = text::Trim(entry.substr(0, entry.find('=')));
        if (!name.empty()) names.push_back(name);
        start = end + 1;
    }
    return names;
}

std::vector<CheckFinding> CheckProject(const vbide::VBProjectPtr& project,
                                       const std::vector<ConstantValue>& constants,
                                       const std::vector<std::string>& arguments) {
    std::vector<CheckFinding> findings;
    std::vector<std::string> known = arguments;
    for (const ConstantValue& c : constants) known.push_back(c.name);
    for (const std::string& b : BuiltInConstants()) known.push_back(b);

    vbide::VBComponentsPtr components = project->VBComponents();
    for (std::int32_t i = 1; i <= components->Count(); ++i) {
        vbide::VBComponentPtr component = components->Item(i);
        vbide::CodeModulePtr module = component->CodeModule();
        if (!module) continue;
        const std::string name = component->Name();
        const std::int32_t count = module->CountOfLines();
        const std::string code = count > 0 ? module->Lines(1, count) : std::string();
        std::vector<std::string> lines;
        for (const text::Line& line : text::SplitLines(code)) lines.emplace_back(line.text);

        for (const ConstantValue& c : constants) {
            const std::string wanted = DeclarationLine(c.name, c.value);
            bool declared = false;
            for (std::size_t l = 0; l < lines.size(); ++l) {
                if (!IsDeclarationOf(lines[l], c.name)) continue;
                declared = true;
                if (lines[l] != wanted)
                    findings.push_back({name, static_cast<std::int32_t>(l + 1),
                                        "\"" + lines[l] + "\" should read \"" + wanted + "\""});
            }
            if (!declared) findings.push_back({name, 0, "no declaration of " + c.name});
        }

        std::vector<std::string> own = known;
        for (const std::string& line : lines) {
            std::string declaredName = NameDeclaredBy(line);
            if (!declaredName.empty()) own.push_back(declaredName);
        }
        for (std::size_t l = 0; l < lines.size(); ++l)
            for (const std::string& tested : NamesTestedBy(lines[l]))
                if (!Contains(own, tested))
                    findings.push_back({name, static_cast<std::int32_t>(l + 1),
                                        "#If tests " + tested +
                                            ", which no configuration, #Const line, project argument or "
                                            "built-in constant defines"});
    }
    return findings;
}

}  // namespace config
