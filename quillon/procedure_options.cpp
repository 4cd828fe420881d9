#include "quillon/procedure_options.h"

#include <map>
#include <string_view>

#include "base/text.h"
#include "quillon/kind_table.h"
#include "shared/command_options.h"

namespace quillon {

namespace {

const char* const kValueOptions[] = {
    "--kind",   "--scope", "--name",   "--args",        "--type", "--class",
    "--project-name", "--vbp", "--module", "--static", "--error",  "--mouse",
    "--context", "--member", "--code-member", "--read", "--write",
};

bool TakesValue(std::string_view option) {
    for (const char* known : kValueOptions) {
        if (option == known) return true;
    }
    return false;
}

// "--help" or "-h" where an option stands; as the value of an option ("--args
// -h") it is that value.
bool AsksForHelp(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") return true;
        if (TakesValue(args[i])) ++i;
    }
    return false;
}

using RawOptions = std::map<std::string, std::string, std::less<>>;

RawOptions Collect(const std::vector<std::string>& args) {
    RawOptions raw;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string option = args[i];
        std::optional<std::string> value;
        if (option.rfind("--", 0) == 0) {
            const auto equals = option.find('=');
            if (equals != std::string::npos) {
                value = option.substr(equals + 1);
                option.resize(equals);
            }
        }
        if (!TakesValue(option)) {
            if (option.rfind("-", 0) == 0) throw UsageError("unknown option '" + option + "'");
            throw UsageError("unexpected argument '" + option + "'");
        }
        if (!value) {
            if (i + 1 >= args.size()) throw UsageError(option + " needs a value");
            value = args[++i];
        }
        if (!raw.emplace(option, *value).second) throw UsageError(option + " is given twice");
    }
    return raw;
}

std::optional<std::string> Take(const RawOptions& raw, std::string_view option) {
    const auto found = raw.find(option);
    if (found == raw.end()) return std::nullopt;
    return found->second;
}

std::int16_t ParseKind(const std::string& text) {
    const char* const names[] = {"sub", "function", "property", "event"};
    for (std::int16_t kind = 0; kind < 4; ++kind) {
        if (text::EqualsNoCase(text, names[kind])) return kind;
    }
    throw UsageError("--kind: expected sub, function, property or event, not '" + text + "'");
}

std::int16_t ParseScope(const std::string& text) {
    if (text::EqualsNoCase(text, "public")) return scopePublic;
    if (text::EqualsNoCase(text, "private")) return scopePrivate;
    if (text::EqualsNoCase(text, "friend")) return scopeFriend;
    throw UsageError("--scope: expected public, private or friend, not '" + text + "'");
}

// A check state or a data class: exactly one of the digits 0, 1, 2.
std::int16_t ParseDigit(std::string_view option, const std::string& text) {
    if (text == "0" || text == "1" || text == "2") return static_cast<std::int16_t>(text[0] - '0');
    throw UsageError(std::string(option) + ": expected 0, 1 or 2, not '" + text + "'");
}

const char* KindName(std::int16_t kind) {
    switch (kind) {
        case kindSub: return "a sub";
        case kindFunction: return "a function";
        case kindProperty: return "a property";
        default: return "an event";
    }
}

// The dialog as every opening prepares it, then the chosen kind's column.
ProcedureRequest PreparedRequest(std::int16_t kind) {
    ProcedureRequest r;
    r.intKind = kind;
    r.intScope = scopePublic;
    const KindColumn& column = kKindTable[kind];
    r.intRead = r.intWrite = r.intMember = r.intCodeMember = column.propertyBoxes;
    if (column.staticValue) r.intStatic = *column.staticValue;
    if (column.mouseValue) r.intMouse = *column.mouseValue;
    if (column.errorValue) r.intError = *column.errorValue;
    return r;
}

// Sets a check box from its option; a box the kind disables keeps its value.
void ApplyCheck(const RawOptions& raw, std::string_view option, bool enabled, std::int16_t kind,
                CheckState& box) {
    const auto text = Take(raw, option);
    if (!text) return;
    const CheckState value = ParseDigit(option, *text);
    if (!enabled && value != box) {
        throw UsageError(std::string(option) + ": cannot be set for " + KindName(kind) +
                         " (always " + std::to_string(box) + ")");
    }
    box = value;
}

}  // namespace

ProcedureOptions ParseProcedureOptions(const std::vector<std::string>& args) {
    ProcedureOptions options;
    if (AsksForHelp(args)) {
        options.help = true;
        return options;
    }
    RawOptions raw = Collect(args);
    // The texts that go into the module, and the names that are looked up
    // in the project, are in the projects' code page there.
    for (const char* option : {"--name", "--args", "--type", "--project-name", "--module"}) {
        const auto found = raw.find(std::string_view(option));
        if (found == raw.end()) continue;
        try {
            found->second = cli::CodePageText(option, found->second);
        } catch (const cli::UsageError& e) {
            throw UsageError(e.what());
        }
    }
    // A line break would split the declaration the module receives.
    for (const char* option : {"--name", "--args", "--type"}) {
        const auto text = Take(raw, option);
        if (text && text->find_first_of("\r\n") != std::string::npos)
            throw UsageError(std::string(option) + ": the text holds a line break");
    }

    const std::int16_t kind = ParseKind(Take(raw, "--kind").value_or("sub"));
    const KindColumn& column = kKindTable[kind];
    ProcedureRequest& r = options.request;
    r = PreparedRequest(kind);

    const auto name = Take(raw, "--name");
    if (!name) throw UsageError("--name is required");
    if (text::Trim(*name).empty()) throw UsageError("--name: the name is blank");
    r.strName = *name;

    if (const auto scope = Take(raw, "--scope")) {
        const std::int16_t value = ParseScope(*scope);
        if (!column.scopeEnabled && value != scopePublic) {
            throw UsageError(std::string("--scope: ") + KindName(kind) +
                             " is always public (a property's reader and writer take "
                             "their scope from --read and --write)");
        }
        r.intScope = value;
    }
    if (const auto text = Take(raw, "--args")) {
        if (!column.argsEnabled && !text->empty()) {
            throw UsageError(std::string("--args: ") + KindName(kind) + " takes no typed arguments");
        }
        r.strArgs = *text;
    }
    if (const auto text = Take(raw, "--type")) {
        if (!column.typeEnabled && !text->empty()) {
            throw UsageError(std::string("--type: ") + KindName(kind) + " has no data type");
        }
        r.strDataType = *text;
    }
    if (const auto text = Take(raw, "--class")) options.dataClass = ParseDigit("--class", *text);

    ApplyCheck(raw, "--static", column.staticEnabled, kind, r.intStatic);
    ApplyCheck(raw, "--mouse", column.mouseEnabled, kind, r.intMouse);
    ApplyCheck(raw, "--error", column.errorEnabled, kind, r.intError);
    ApplyCheck(raw, "--context", true, kind, r.intContext);
    ApplyCheck(raw, "--member", true, kind, r.intMember);
    ApplyCheck(raw, "--code-member", true, kind, r.intCodeMember);
    ApplyCheck(raw, "--read", true, kind, r.intRead);
    ApplyCheck(raw, "--write", true, kind, r.intWrite);

    options.projectName = Take(raw, "--project-name");
    options.vbpPath = Take(raw, "--vbp");
    options.moduleName = Take(raw, "--module");
    if (options.vbpPath && !options.moduleName) throw UsageError("--vbp needs --module");
    if (options.moduleName && !options.vbpPath) throw UsageError("--module needs --vbp");
    if (options.vbpPath && options.projectName) {
        throw UsageError("--project-name: not used with --vbp (the active project's name is used)");
    }
    if (!options.vbpPath && options.dataClass == classProject && !options.projectName) {
        throw UsageError("--class: data class 2 needs --project-name (or --vbp)");
    }
    return options;
}

const char* ProcedureUsage() {
    return R"(Usage: tarnwick procedure --name NAME [options]
       tarnwick procedure --name NAME [options] --vbp FILE.vbp --module MODULE

Builds a Visual Basic procedure skeleton as the Quillon add-in's dialog does.
Without --vbp the text goes to standard output with CR LF line ends: the
procedure (for a property the reader, then the writer), then the member
declaration when --member is 1. With --vbp it is inserted into MODULE of the
project as the add-in inserts it (procedure at the end, event and member
declaration after the declarations section) and the project is saved.

  --kind sub|function|property|event   the kind (default sub); applied first:
                        a property gets Read, Write, Declare Member and Code
                        Member checked and is never static; an event has no
                        type, no static, mouse or error handling
  --scope public|private|friend   the scope (default public; a property and an
                        event are always public)
  --name TEXT           the procedure name (required), taken as typed
  --args TEXT           the text between the parentheses, as typed
  --type TEXT           the data type, as typed (blanks kept); --name, --args and
                        --type hold no line break
  --class 0|1|2         the data class: 0 value (Property Let), 1 object
                        (Property Set), 2 class module of the project (Property
                        Set, type qualified by the project name); default: the
                        class of the standard type named by --type, with --vbp a
                        class module of the project gives 2, otherwise 0
  --project-name TEXT   the project name for data class 2 without --vbp
  --static, --error, --mouse, --context, --member, --code-member, --read,
  --write 0|1|2         the check boxes: 0 cleared, 1 checked, 2 grayed; only 1
                        chooses an option; --read and --write 1 make the
                        property reader or writer Public, 0 Private, 2 follows
                        --scope
  --vbp FILE.vbp        the project to insert into (with --module)
  --module NAME         the module of that project that receives the text
  --help                this text

Exit status: 0 done, 1 the environment rejected the construct (a declaration
that would not compile: a property or member without a type, an argument list
that does not parse) or the project could not be read or saved (no file is
changed), 2 usage error.
)";
}

}  // namespace quillon
