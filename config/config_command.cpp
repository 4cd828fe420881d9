#include "config/config_command.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include "base/text.h"
#include "base/vb_error.h"
#include "config/project_check.h"
#include "config/store.h"
#include "config/store_text.h"
#include "config/unified_diff.h"
#include "platform/win/path_text.h"
#include "shared/vbide.h"

namespace config {

namespace {

namespace fs = std::filesystem;

const char kUsage[] =
    "usage: tarnwick config PROJECT.vbp COMMAND [--dry-run] [--skip-missing]\n"
    "\n"
    "Commands:\n"
    "  list                      the configurations (* marks the current one) and the\n"
    "                            value of every constant in each\n"
    "  switch NAME|NUMBER        make a configuration current and rewrite every module\n"
    "  add-config NAME           add a configuration (every constant False in it)\n"
    "  add-const NAME            add a constant (False in every configuration)\n"
    "  set CONFIG CONST true|false   set a constant's value in one configuration\n"
    "  check                     report modules that disagree with the current\n"
    "                            configuration or test undefined names in #If\n"
    "                            (exit status 0 when all agree, 1 when anything is\n"
    "                            reported, 2 when the project cannot be checked)\n"
    "  make-args [NAME]          the configuration's values as the compiler's /d\n"
    "                            option takes them (name=-1:other=0)\n"
    "\n"
    "--dry-run prints what a command would change, as a unified diff, and writes\n"
    "nothing. A project whose module files are missing or unreadable is refused;\n"
    "--skip-missing goes ahead without those modules and lists them. A project\n"
    "without configurations gets the defaults (debug and release, constant\n"
    "debugging) before switch, add-config, add-const and set.\n";

// A failure the user must hear about, with the exit status it gives.
struct CommandError : std::runtime_error {
    explicit CommandError(const std::string& what, int status = 1) : std::runtime_error(what), status(status) {}
    int status;
};

std::string Join(const std::vector<std::string>& items, const char* separator) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? separator : "") + items[i];
    return out;
}

// ---- The project ----------------------------------------------------------------

struct Project {
    vbide::VBProjectPtr project;
    std::vector<std::string> problems;
    std::string path;
};

Project Open(vbide::VBE& vbe, const std::string& path) {
    Project p;
    p.path = path;
    p.project = vbe.VBProjects()->AddFromFile(path);
    const long count = vbe.VBProjects()->Count();
    if (count != 1)
        throw CommandError(path + " holds " + std::to_string(count) + " projects; name the .vbp file of one of them");
    p.problems = p.project->LoadProblems();
    return p;
}

// What the store holds, read without writing anything.
struct Snapshot {
    int current = 0;
    std::vector<std::string> configurations;
    std::vector<std::string> constants;
    // values[i][k]: constant k in configuration i; empty when not stored.
    std::vector<std::vector<std::optional<std::string>>> values;
};

Snapshot ReadSnapshot(const vbide::VBProjectPtr& project) {
    Snapshot s;
    s.current = ReadNumber(project, kConfigurations, kCurrent);
    const int configurations = ReadCount(project, kConfigurations);
    const int constants = ReadCount(project, kConstants);
    for (int i = 1; i <= configurations; ++i) s.configurations.push_back(ReadEntry(project, kConfigurations, ConfigKey(i)));
    for (int k = 1; k <= constants; ++k) s.constants.push_back(ReadEntry(project, kConstants, ConstKey(k)));
    for (int i = 1; i <= configurations; ++i) {
        std::vector<std::optional<std::string>> row;
        for (const std::string& name : s.constants) {
            try {
                row.push_back(project->ReadProperty(ConfigKey(i), name));
            } catch (const vb::VbError& e) {
                if (e.Number() != 5) throw;
                row.push_back(std::nullopt);
            }
        }
        s.values.push_back(std::move(row));
    }
    return s;
}

// A configuration by its name (exact, then without regard to case) or its
// number; answers its number.
long ResolveConfiguration(const Snapshot& s, const std::string& text) {
    for (std::size_t i = 0; i < s.configurations.size(); ++i)
        if (s.configurations[i] == text) return static_cast<long>(i + 1);
    for (std::size_t i = 0; i < s.configurations.size(); ++i)
        if (text::EqualsNoCase(s.configurations[i], text)) return static_cast<long>(i + 1);
    if (!text.empty() && text.size() < 6 && text.find_first_not_of("0123456789") == std::string::npos) {
        long number = std::stol(text);
        if (number >= 1 && number <= static_cast<long>(s.configurations.size())) return number;
    }
    throw CommandError("unknown configuration \"" + text + "\"; the project has: " + Join(s.configurations, ", "));
}

std::size_t ResolveConstant(const Snapshot& s, const std::string& text) {
    for (std::size_t k = 0; k < s.constants.size(); ++k)
        if (text::EqualsNoCase(s.constants[k], text)) return k;
    throw CommandError("unknown constant \"" + text + "\"; the project has: " + Join(s.constants, ", "));
}

// Names become store keys and the name in "#Const <name> = ...": a VB
// identifier keeps both intact.
void CheckName(const std::string& name, const char* what) {
    if (!text::IsIdentifier(name))
        throw CommandError(std::string("\"") + name + "\" is no valid " + what +
                           " name: use a letter, then letters, digits or \"_\"");
}

std::string ProjectArgumentsLine(const std::string& vbpPath) {
    std::ifstream in(vbpPath, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') break;  // the store follows the project's own lines
        std::size_t eq = line.find('=');
        if (eq != std::string::npos && text::EqualsNoCase(line.substr(0, eq), "CondComp")) return line.substr(eq + 1);
    }
    return {};
}

std::string ValueText(const std::optional<std::string>& value) {
    if (!value) return "(no value)";
    return ReadsAsTrue(*value) ? "True" : "False";
}

// ---- Saving ----------------------------------------------------------------------

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

// A file's path relative to the project's folder ("../Shared/CThing.cls" for
// a module beside it), so that the diff applies from that folder.
std::string DisplayPath(const std::string& path, const std::string& vbpPath) {
    fs::path folder = fs::absolute(win::PathOf(vbpPath)).parent_path();
    fs::path relative = win::PathOf(path).lexically_relative(folder);
    return win::GenericTextOf(relative.empty() ? win::PathOf(path) : relative);
}

// Saves the project, or with --dry-run prints what saving would change.
// Answers how many files changed.
std::size_t Commit(const Project& p, bool dryRun, std::ostream& out) {
    if (!dryRun) return static_cast<std::size_t>(p.project->SaveAs(p.project->FileName()));
    const std::vector<vbide::PendingFile> files = p.project->PendingSave();
    for (const vbide::PendingFile& f : files) {
        const std::string name = DisplayPath(f.path, p.path);
        out << UnifiedDiff(ReadBytes(f.path), f.bytes, "a/" + name, "b/" + name);
    }
    return 0;
}

// ---- Commands -------------------------------------------------------------------

struct Invocation {
    std::string projectPath;
    std::string command;
    std::vector<std::string> operands;
    bool dryRun = false;
    bool skipMissing = false;
};

void ExpectOperands(const Invocation& in, std::size_t min, std::size_t max) {
    if (in.operands.size() < min || in.operands.size() > max)
        throw CommandError("wrong number of arguments for " + in.command + "\n" + kUsage, 2);
}

// A project that did not load whole is refused, unless the user chose to go
// ahead without the modules that could not be read.
void RefuseIncompleteLoad(const Invocation& in, const Project& p, std::ostream& err) {
    if (p.problems.empty()) return;
    if (in.skipMissing) {
        for (const std::string& problem : p.problems) err << "tarnwick config: skipped: " << problem << "\n";
        return;
    }
    std::string text = "the project did not load completely, so nothing was changed:";
    for (const std::string& problem : p.problems) text += "\n  " + problem;
    throw CommandError(text + "\n(--skip-missing changes the modules that loaded)");
}

void WarnAboutProblems(const Project& p, std::ostream& err) {
    for (const std::string& problem : p.problems) err << "tarnwick config: warning: " << problem << "\n";
}

bool SayNoConfigurations(const Project& p, std::ostream& out) {
    if (HasConfigurations(p.project)) return false;
    out << p.project->Name() << " has no configurations.\n";
    return true;
}

// Gives a project without configurations the add-in's defaults; answers
// whether it did.
bool EnsureConfigurations(const Project& p) {
    if (HasConfigurations(p.project)) return false;
    InitializeConfigurations(p.project);
    return true;
}

int List(const Project& p, std::ostream& out, std::ostream& err) {
    WarnAboutProblems(p, err);
    if (SayNoConfigurations(p, out)) return 0;
    const Snapshot s = ReadSnapshot(p.project);
    out << "Configurations of " << p.project->Name() << " (* marks the current one):\n";
    for (std::size_t i = 0; i < s.configurations.size(); ++i) {
        out << (static_cast<int>(i + 1) == s.current ? "* " : "  ") << i + 1 << " " << s.configurations[i] << "\n";
        for (std::size_t k = 0; k < s.constants.size(); ++k)
            out << "      " << s.constants[k] << " = " << ValueText(s.values[i][k]) << "\n";
    }
    return 0;
}

void ReportChange(const Project& p, const ConfigureResult& r, std::size_t files, std::ostream& out) {
    const Snapshot s = ReadSnapshot(p.project);
    const std::string name = s.current >= 1 && s.current <= static_cast<int>(s.configurations.size())
                                 ? s.configurations[s.current - 1]
                                 : "?";
    out << p.project->Name() << ": configuration " << s.current << " (" << name << ") applied; " << r.linesReplaced
        << " declaration lines rewritten, " << r.linesInserted << " inserted; " << files
        << (files == 1 ? " file" : " files") << " changed.\n";
}

int Change(const Invocation& in, const Project& p, std::ostream& out, std::ostream& err) {
    RefuseIncompleteLoad(in, p, err);
    const bool initialized = EnsureConfigurations(p);
    const Snapshot s = ReadSnapshot(p.project);
    if (in.command == "switch") {
        SetCurrent(p.project, ResolveConfiguration(s, in.operands[0]));
    } else if (in.command == "add-config") {
        CheckName(in.operands[0], "configuration");
        for (const std::string& c : s.configurations)
            if (text::EqualsNoCase(c, in.operands[0])) throw CommandError("configuration \"" + c + "\" exists already");
        AddConfiguration(p.project, in.operands[0]);
    } else if (in.command == "add-const") {
        CheckName(in.operands[0], "constant");
        for (const std::string& c : s.constants)
            if (text::EqualsNoCase(c, in.operands[0])) throw CommandError("constant \"" + c + "\" exists already");
        AddConstant(p.project, in.operands[0]);
    } else {  // set
        const long configuration = ResolveConfiguration(s, in.operands[0]);
        const std::size_t constant = ResolveConstant(s, in.operands[1]);
        bool value;
        if (text::EqualsNoCase(in.operands[2], "true")) value = true;
        else if (text::EqualsNoCase(in.operands[2], "false")) value = false;
        else throw CommandError("the value must be true or false, not \"" + in.operands[2] + "\"", 2);
        SetValue(p.project, configuration, s.constants[constant], value);
    }
    // As closing the dialog does: the code follows the store.
    const ConfigureResult r = Configure(p.project);
    const std::size_t files = Commit(p, in.dryRun, out);
    if (in.dryRun) return 0;
    // Said only once the files are saved: a failed save leaves the project
    // without configurations.
    if (initialized)
        out << p.project->Name() << " had no configurations: added debug and release with constant debugging.\n";
    ReportChange(p, r, files, out);
    return 0;
}

int Check(const Invocation& in, const Project& p, std::ostream& out, std::ostream& err) {
    if (in.skipMissing) RefuseIncompleteLoad(in, p, err);
    else WarnAboutProblems(p, err);
    if (SayNoConfigurations(p, out)) return 1;
    const Snapshot s = ReadSnapshot(p.project);
    if (s.current < 1 || s.current > static_cast<int>(s.configurations.size()))
        throw CommandError("the current configuration " + std::to_string(s.current) + " is not stored");
    std::vector<ConstantValue> constants;
    for (std::size_t k = 0; k < s.constants.size(); ++k) {
        const auto& value = s.values[s.current - 1][k];
        if (!value)
            throw CommandError("configuration " + s.configurations[s.current - 1] + " has no value for constant " +
                               s.constants[k]);
        constants.push_back({s.constants[k], *value});
    }
    const auto findings =
        CheckProject(p.project, constants, ArgumentNames(ProjectArgumentsLine(p.project->FileName())));
    for (const CheckFinding& f : findings) {
        out << f.module;
        if (f.line > 0) out << ":" << f.line;
        out << ": " << f.message << "\n";
    }
    if (findings.empty() && (p.problems.empty() || in.skipMissing))
        out << p.project->Name() << ": every module agrees with configuration " << s.current << " ("
            << s.configurations[s.current - 1] << ").\n";
    // Modules that could not be read were not checked: trouble, unless the
    // user chose to leave them out.
    if (!p.problems.empty() && !in.skipMissing) return 2;
    return findings.empty() ? 0 : 1;
}

int MakeArgs(const Invocation& in, const Project& p, std::ostream& out, std::ostream& err) {
    WarnAboutProblems(p, err);
    if (SayNoConfigurations(p, err)) return 1;
    const Snapshot s = ReadSnapshot(p.project);
    const long number = in.operands.empty() ? s.current : ResolveConfiguration(s, in.operands[0]);
    if (number < 1 || number > static_cast<long>(s.configurations.size()))
        throw CommandError("the current configuration " + std::to_string(number) + " is not stored");
    std::vector<std::string> seen, parts;
    for (std::size_t k = 0; k < s.constants.size(); ++k) {
        bool repeated = false;
        for (const std::string& name : seen) repeated = repeated || text::EqualsNoCase(name, s.constants[k]);
        if (repeated) continue;  // constants of one name share one value
        seen.push_back(s.constants[k]);
        const auto& value = s.values[number - 1][k];
        if (!value)
            throw CommandError("configuration " + s.configurations[number - 1] + " has no value for constant " +
                               s.constants[k]);
        parts.push_back(s.constants[k] + (ReadsAsTrue(*value) ? "=-1" : "=0"));
    }
    out << Join(parts, ":") << "\n";
    return 0;
}

Invocation Parse(const std::vector<std::string>& args) {
    Invocation in;
    std::vector<std::string> words;
    for (const std::string& a : args) {
        if (a == "--dry-run") in.dryRun = true;
        else if (a == "--skip-missing") in.skipMissing = true;
        else if (a == "--help" || a == "-h") throw CommandError("", 0);
        else if (a.size() > 1 && a[0] == '-' && a.find_first_not_of("0123456789", 1) != std::string::npos)
            throw CommandError("unknown option " + a + "\n" + kUsage, 2);
        else words.push_back(a);
    }
    if (words.size() < 2) throw CommandError(kUsage, 2);
    in.projectPath = words[0];
    in.command = words[1];
    in.operands.assign(words.begin() + 2, words.end());
    return in;
}

}  // namespace

int RunConfigCommand(const std::vector<std::string>& args, vbide::VBE& vbe, std::ostream& out, std::ostream& err) {
    // check follows diff: 1 for findings, 2 for every failure.
    bool checking = false;
    try {
        const Invocation in = Parse(args);
        checking = in.command == "check";
        struct Shape {
            const char* name;
            std::size_t min, max;
        };
        static const Shape shapes[] = {{"list", 0, 0},       {"switch", 1, 1}, {"add-config", 1, 1},
                                       {"add-const", 1, 1},  {"set", 3, 3},    {"check", 0, 0},
                                       {"make-args", 0, 1}};
        const Shape* shape = nullptr;
        for (const Shape& s : shapes)
            if (in.command == s.name) shape = &s;
        if (!shape) throw CommandError("unknown command \"" + in.command + "\"\n" + kUsage, 2);
        ExpectOperands(in, shape->min, shape->max);

        const Project p = Open(vbe, in.projectPath);
        try {
            if (in.command == "list") return List(p, out, err);
            if (in.command == "check") return Check(in, p, out, err);
            if (in.command == "make-args") return MakeArgs(in, p, out, err);
            return Change(in, p, out, err);
        } catch (const vb::VbError& e) {
            // A damaged store or a failed save: name the project it concerns.
            throw CommandError(p.project->Name() + ": " + e.Description());
        }
    } catch (const CommandError& e) {
        if (e.status == 0) {
            out << kUsage;
            return 0;
        }
        err << "tarnwick config: " << e.what() << (std::string(e.what()).ends_with("\n") ? "" : "\n");
        return checking ? 2 : e.status;
    } catch (const vb::VbError& e) {
        err << "tarnwick config: " << e.Description() << "\n";
        return checking ? 2 : 1;
    }
}

}  // namespace config
