#include "platform/vbide/project_file.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include <unistd.h>

#include "base/text.h"
#include "platform/win/code_page.h"
#include "platform/win/files.h"
#include "platform/win/path_text.h"
#include "platform/win/save.h"

#include "platform/vbide/code_rules.h"
#include "platform/vbide/model.h"
#include "platform/vbide/module_file.h"

namespace vbide {

namespace fs = std::filesystem;
using rules::EqualsNoCase;

namespace {

// ---- Files ----------------------------------------------------------------------

// Reads a whole file (a regular file within the read limit); throws VbError
// 53 when it does not exist, 75 naming the reason when it cannot be read.
std::string ReadFile(const std::string& path) {
    std::error_code ec;
    if (!fs::exists(win::PathOf(path), ec)) throw vb::VbError(53, "VBIDE", "File not found: " + path);
    if (fs::is_directory(win::PathOf(path), ec)) throw vb::VbError(75, "VBIDE", "Path/File access error: " + path);
    std::string bytes;
    if (const int e = win::FileSystem::Native().ReadFile(path, bytes, win::kReadLimit)) {
        if (e == ENOENT) throw vb::VbError(53, "VBIDE", "File not found: " + path);
        throw vb::VbError(75, "VBIDE",
                          "Path/File access error: " + path + " (" + win::ReadFailureText(e, path, win::kReadLimit) + ")");
    }
    return bytes;
}

// ---- Project lines --------------------------------------------------------------

struct KeyValue {
    std::string key;
    std::string value;
};

bool SplitKeyValue(const std::string& line, KeyValue& kv) {
    std::size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) return false;
    kv.key = line.substr(0, eq);
    kv.value = line.substr(eq + 1);
    return true;
}

// A quoted value is the text between the first and the last quote (inner
// quotes are not escaped in project files).
std::string Unquote(const std::string& value) {
    std::size_t q1 = value.find('"');
    std::size_t q2 = value.rfind('"');
    if (q1 == std::string::npos || q2 == q1) return value;
    return value.substr(q1 + 1, q2 - q1 - 1);
}

// The component keys of a project file and whether their value starts with
// "Name; ".
struct ComponentKey {
    const char* key;
    bool named;
};
constexpr ComponentKey kComponentKeys[] = {
    {"Module", true}, {"Class", true}, {"Form", false}, {"UserControl", false},
    {"PropertyPage", false}, {"UserDocument", false}, {"Designer", false},
};

const ComponentKey* FindComponentKey(const std::string& key) {
    for (auto& k : kComponentKeys)
        if (EqualsNoCase(key, k.key)) return &k;
    return nullptr;
}

std::string KeyOfType(vbext_ComponentType type) {
    switch (type) {
        case vbext_ct_StdModule: return "Module";
        case vbext_ct_ClassModule: return "Class";
        case vbext_ct_UserControl: return "UserControl";
        case vbext_ct_PropPage: return "PropertyPage";
        case vbext_ct_DocObject: return "UserDocument";
        case vbext_ct_ActiveXDesigner: return "Designer";
        default: return "Form";
    }
}

std::string ComponentLine(const ComponentImpl& c) {
    std::string key = KeyOfType(c.type);
    if (c.type == vbext_ct_StdModule || c.type == vbext_ct_ClassModule)
        return key + "=" + c.name + "; " + c.relativePath;
    return key + "=" + c.relativePath;
}

std::string Extension(const std::string& windowsPath) {
    std::size_t slash = windowsPath.find_last_of("\\/");
    std::size_t dot = windowsPath.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return windowsPath.substr(dot + 1);
}

// Project and group files end their lines in CR LF, LF or a lone CR (as old
// Mac editors wrote them); each line keeps its own end.
std::vector<ProjectFile::Line> SplitLines(const std::string& bytes) {
    std::vector<ProjectFile::Line> lines;
    for (const text::Line& line : text::SplitLinesAtAnyEnd(bytes))
        lines.push_back({std::string(line.text), std::string(line.end)});
    return lines;
}

// The module file a component line names: the value, or for a named
// component the part after "Name;". False when the line has no path.
bool ComponentPath(const ComponentKey& key, const std::string& value, std::string& path) {
    path = value;
    if (key.named) {
        const std::size_t semi = value.find(';');
        if (semi == std::string::npos) return false;
        path = value.substr(semi + 1);
    }
    path = text::TrimBlanks(path);
    return true;
}

// The module files that a project file's bytes name, found as loading finds
// them: what a save of the project may write besides the project file.
win::NamedFiles NamedModules(const std::string& folder) {
    return [folder](const std::string& bytes) {
        std::vector<std::string> paths;
        for (const ProjectFile::Line& line : SplitLines(bytes)) {
            if (!line.text.empty() && line.text[0] == '[') break;  // the property store
            KeyValue kv;
            std::string path;
            if (!SplitKeyValue(line.text, kv)) continue;
            if (const ComponentKey* key = FindComponentKey(kv.key); key && ComponentPath(*key, kv.value, path))
                paths.push_back(ResolvePath(folder, path));
        }
        return paths;
    };
}

std::string FolderOf(const std::string& path) { return win::TextOf(fs::absolute(win::PathOf(path)).lexically_normal().parent_path()); }

// Saves files all together under the lock and journal of `anchor` (a
// project file, which names the other files, or the one file written), or
// fails with error 75 naming the file and the reason: then nothing changed,
// or the save was committed and the next open of the project finishes it.
std::size_t Save(const std::vector<win::FileToSave>& files, const std::string& anchor, const win::NamedFiles& names) {
    const win::SaveResult saved = win::SaveFiles(files, anchor, win::FileSystem::Native(), names);
    if (saved.ok()) return saved.changed;
    if (saved.outcome == win::SaveResult::kForeign) throw vb::VbError(75, "VBIDE", saved.Text());
    const std::string reason =
        saved.outcome == win::SaveResult::kLocked ? "another program is saving the project; try again" : saved.Why();
    throw vb::VbError(75, "VBIDE", "Path/File access error: " + saved.file + " (" + reason + ")");
}

// Before a project is read: a save of it that was interrupted is finished
// (or undone), so that it reads wholly old or wholly new. A journal that is
// not the project's own is left alone and becomes a load problem: reading
// goes on, a save is refused.
void RecoverInterruptedSave(const std::string& vbpPath, std::vector<LoadProblem>& problems) {
    const win::SaveResult recovered = win::RecoverSave(vbpPath, win::FileSystem::Native(), NamedModules(FolderOf(vbpPath)));
    if (recovered.outcome == win::SaveResult::kForeign) {
        problems.push_back(LoadProblem{{}, 0, recovered.Text()});
        return;
    }
    if (!recovered.ok())
        throw vb::VbError(75, "VBIDE", "Path/File access error: " + recovered.file + " (" + recovered.reason + ")");
}

// A name as a project or module file stores it: a name in the projects' code
// page, or in a double-byte code page the file may have been written in
// (a Japanese project read where the code page is Windows-1252). Such a name
// is kept as its bytes stand, so that saving writes it back unchanged.
bool IsStoredName(const std::string& name) {
    if (IsValidName(name)) return true;
    for (const unsigned codePage : {932u, 936u, 949u, 950u})
        if (win::IsIdentifierInCodePage(name, codePage)) return true;
    return false;
}

LoadProblem Problem(const std::string& file, std::int32_t line, const std::string& message) {
    return LoadProblem{file, line, message};
}

// Reads one module into a new component of `project`.
std::shared_ptr<ComponentImpl> LoadComponent(const std::shared_ptr<ProjectImpl>& project,
                                             const std::string& folder, const std::string& key,
                                             const std::string& value, const std::string& vbpPath,
                                             std::int32_t vbpLine, std::vector<LoadProblem>& problems) {
    const ComponentKey* ck = FindComponentKey(key);
    std::string name;
    std::string path;
    if (!ComponentPath(*ck, value, path)) {
        problems.push_back(Problem(vbpPath, vbpLine, "expected \"Name; path\" after \"" + key + "=\""));
        return nullptr;
    }
    if (ck->named) name = text::TrimBlanks(value.substr(0, value.find(';')));
    std::int32_t type = ComponentTypeOfExtension(Extension(path));
    if (type == 0) {
        problems.push_back(Problem(vbpPath, vbpLine, "unknown kind of module file, kept as it is: " + path));
        return nullptr;
    }
    std::string disk = ResolvePath(folder, path);
    std::string bytes;
    if (const int e = win::FileSystem::Native().ReadFile(disk, bytes, win::kReadLimit)) {
        problems.push_back(Problem(vbpPath, vbpLine,
                                   e == ENOENT ? "file not found: " + path
                                               : "file not readable: " + path + " (" +
                                                     win::ReadFailureText(e, disk, win::kReadLimit) + ")"));
        return nullptr;
    }
    ParsedModule parsed;
    try {
        parsed = ParseModuleFile(std::move(bytes), static_cast<vbext_ComponentType>(type));
    } catch (const ModuleFileError& e) {
        problems.push_back(Problem(disk, e.Line(), e.what()));
        return nullptr;
    }
    if (!parsed.name.empty()) name = parsed.name;
    if (name.empty()) {
        name = win::TextOf(win::PathOf(disk).stem());
    }
    if (!IsStoredName(name) || project->FindComponent(name)) {
        problems.push_back(Problem(disk, 0, "module name \"" + name + "\" is invalid or used twice"));
        return nullptr;
    }
    auto c = std::make_shared<ComponentImpl>(project, name, parsed.type);
    c->module = std::make_shared<ModuleImpl>(c);
    c->module->text = std::move(parsed.text);
    c->relativePath = path;
    c->diskPath = disk;
    return c;
}

std::shared_ptr<ProjectImpl> LoadProject(Environment& env, const std::string& path,
                                         std::vector<LoadProblem>& problems) {
    std::shared_ptr<win::SaveLock> lock;
    {
        std::error_code ec;
        if (!fs::exists(win::PathOf(path), ec)) throw vb::VbError(53, "VBIDE", "File not found: " + path);
    }
    if (env.HoldsProjectLocks()) {
        lock = std::make_shared<win::SaveLock>(path);
        if (!lock->Held())
            throw vb::VbError(75, "VBIDE", "Path/File access error: " + path +
                                               (lock->Error() == EWOULDBLOCK ? " (another program is saving it)" : ""));
    }
    const std::size_t firstProblem = problems.size();
    RecoverInterruptedSave(path, problems);
    std::string bytes = ReadFile(path);
    auto file = std::make_unique<ProjectFile>();
    file->path = win::TextOf(fs::absolute(win::PathOf(path)).lexically_normal());
    file->folder = win::TextOf(win::PathOf(file->path).parent_path());
    std::vector<ProjectFile::Line> lines = SplitLines(bytes);
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].text.find('\0') != std::string::npos)
            throw vb::VbError(5, "VBIDE", path + "(" + std::to_string(i + 1) + "): NUL byte: not a project file");
    for (auto& l : lines)
        if (!l.end.empty()) {
            file->lineEnd = l.end;
            break;
        }
    // The project's own lines end before the first "[Section]" line and the
    // blank lines above it; the rest is the property store.
    std::size_t storeStart = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (!lines[i].text.empty() && lines[i].text[0] == '[') {
            storeStart = i;
            break;
        }
    if (storeStart < lines.size())
        while (storeStart > 0 && rules::IsBlank(lines[storeStart - 1].text)) --storeStart;
    bool hasType = false;
    std::string projectName;
    std::int32_t nameLine = 0;
    for (std::size_t i = 0; i < storeStart; ++i) {
        KeyValue kv;
        if (!SplitKeyValue(lines[i].text, kv)) {
            if (rules::IsBlank(lines[i].text)) continue;
            if (i == 0)
                throw vb::VbError(5, "VBIDE", path + "(1): not a project file: expected \"Type=...\"");
            problems.push_back(Problem(path, static_cast<std::int32_t>(i) + 1, "line not understood, kept as it is"));
            continue;
        }
        if (EqualsNoCase(kv.key, "Type")) hasType = true;
        if (EqualsNoCase(kv.key, "Name")) {
            projectName = Unquote(kv.value);
            nameLine = static_cast<std::int32_t>(i) + 1;
        }
    }
    if (!hasType) throw vb::VbError(5, "VBIDE", path + "(1): not a project file: no \"Type=\" line");
    // A project without a name is Project1, as a new one is. A name that is
    // none in any code page is kept as stored, so that saving writes it back
    // unchanged, and reported.
    if (projectName.empty()) projectName = "Project1";
    else if (!IsStoredName(projectName))
        problems.push_back(Problem(path, nameLine, "project name \"" + projectName +
                                                       "\" is no valid name in code page " +
                                                       std::to_string(win::ProjectCodePage()) + "; kept as it is"));
    auto project = std::make_shared<ProjectImpl>(env.Internal().self, projectName);
    for (std::size_t i = 0; i < storeStart; ++i) {
        KeyValue kv;
        if (!SplitKeyValue(lines[i].text, kv) || !FindComponentKey(kv.key)) continue;
        auto c = LoadComponent(project, file->folder, kv.key, kv.value, path,
                               static_cast<std::int32_t>(i) + 1, problems);
        if (c) project->components.push_back(c);
    }
    std::string store;
    for (std::size_t i = storeStart; i < lines.size(); ++i) store += lines[i].text + lines[i].end;
    lines.resize(storeStart);
    file->lines = std::move(lines);
    project->store.Load(store, file->lineEnd);
    project->file = std::move(file);
    for (std::size_t i = firstProblem; i < problems.size(); ++i) project->loadProblems.push_back(problems[i].Text());
    project->lock = std::move(lock);
    return project;
}

void Adopt(Environment& env, const std::shared_ptr<ProjectImpl>& project) {
    auto& s = env.Internal();
    s.projects.push_back(project);
    s.Notify([](EnvironmentObserver& o) { o.ProjectsChanged(); });
    s.events->RaiseProject([&](VBProjectsEvents& e) {
        if (e.ItemAdded) e.ItemAdded(project);
    });
}

// The index of the project-file line of a component (by key and name/path).
std::size_t FindComponentLine(const ProjectFile& file, const ComponentImpl& c) {
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        KeyValue kv;
        if (!SplitKeyValue(file.lines[i].text, kv)) continue;
        const ComponentKey* ck = FindComponentKey(kv.key);
        if (!ck) continue;
        std::string path = kv.value;
        if (ck->named) {
            std::size_t semi = kv.value.find(';');
            if (semi == std::string::npos) continue;
            path = kv.value.substr(semi + 1);
        }
        if (text::TrimBlanks(path) == c.relativePath) return i;
    }
    return file.lines.size();
}

std::string Serialize(const ProjectImpl& project) {
    const ProjectFile& file = *project.file;
    std::string out;
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        out += file.lines[i].text;
        // A last line read without its end gets one when the store follows.
        out += (file.lines[i].end.empty() && (i + 1 < file.lines.size() || !project.store.Empty()))
                   ? file.lineEnd
                   : file.lines[i].end;
    }
    out += project.store.Serialize(file.lineEnd);
    return out;
}

}  // namespace

std::string LoadProblem::Text() const {
    if (file.empty()) return message;
    return file + (line > 0 ? "(" + std::to_string(line) + ")" : std::string()) + ": " + message;
}

std::string ResolvePath(const std::string& folder, const std::string& windowsPath) {
    std::string p = windowsPath;
    std::replace(p.begin(), p.end(), '\\', '/');
    fs::path current = win::PathOf(folder);
    if (p.size() >= 2 && p[1] == ':') return p;  // a drive path: nothing on this system
    if (!p.empty() && p[0] == '/') {
        if (p.size() > 1 && p[1] == '/') return p;  // a network path
        current = "/";
    }
    std::stringstream parts(p);
    std::string part;
    while (std::getline(parts, part, '/')) {
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            current = current.parent_path();
            continue;
        }
        std::error_code ec;
        fs::path exact = current / win::PathOf(part);
        if (fs::exists(exact, ec)) {
            current = exact;
            continue;
        }
        fs::path match;
        for (fs::directory_iterator it(current, ec), end; !ec && it != end; it.increment(ec)) {
            std::string name;
            if (win::TryTextOf(it->path().filename(), name) && EqualsNoCase(name, part)) {
                match = it->path();
                break;
            }
        }
        current = match.empty() ? exact : match;
    }
    return win::TextOf(current);
}

OpenResult OpenProjectFile(Environment& env, const std::string& path) {
    OpenResult result;
    std::vector<std::shared_ptr<ProjectImpl>> loaded;
    if (EqualsNoCase(Extension(path), "vbg")) {
        std::string bytes = ReadFile(path);
        auto lines = SplitLines(bytes);
        if (lines.empty() || !EqualsNoCase(text::TrimBlanks(lines[0].text).substr(0, 7), "VBGROUP"))
            throw vb::VbError(5, "VBIDE", path + "(1): not a group file: expected \"VBGROUP 5.0\"");
        std::string folder = win::TextOf(fs::absolute(win::PathOf(path)).parent_path());
        std::vector<std::string> files;
        for (std::size_t i = 1; i < lines.size(); ++i) {
            KeyValue kv;
            if (!SplitKeyValue(lines[i].text, kv)) continue;
            if (EqualsNoCase(kv.key, "StartupProject")) files.insert(files.begin(), kv.value);
            else if (EqualsNoCase(kv.key, "Project")) files.push_back(kv.value);
        }
        for (auto& f : files) {
            try {
                loaded.push_back(LoadProject(env, ResolvePath(folder, f), result.problems));
            } catch (const vb::VbError& e) {
                result.problems.push_back(Problem(path, 0, e.Description()));
            }
        }
    } else {
        loaded.push_back(LoadProject(env, path, result.problems));
    }
    for (auto& problem : result.problems) env.Report(problem.Text());
    for (auto& p : loaded) {
        Adopt(env, p);
        result.projects.push_back(p);
    }
    if (!loaded.empty()) env.ActivateProject(loaded.front());
    return result;
}

namespace {

// The files a save writes: changed modules, then the project file when its
// lines or its store changed. Their bytes are made when the save needs them,
// one file at a time.
std::vector<win::FileToSave> FilesToWrite(ProjectImpl& project, bool fresh) {
    const ProjectFile& file = *project.file;
    std::vector<win::FileToSave> pending;
    for (auto& c : project.components) {
        if (!c->module) continue;
        if (c->relativePath.empty() || c->diskPath.empty())
            throw vb::VbError(5, "VBIDE", "component \"" + c->name + "\" was never saved");
        if (c->dirty) pending.push_back({c->diskPath, {}, [c] { return c->module->text.Serialize(); }});
    }
    if (fresh || file.linesChanged || project.store.Changed())
        pending.push_back({file.path, {}, [&project] { return Serialize(project); }});
    return pending;
}

// Saving an already saved project under a new name: the project file moves,
// its modules stay where they are, so their lines name them from the new
// folder.
void MoveProjectFile(ProjectImpl& project, const std::string& newPath) {
    ProjectFile& file = *project.file;
    const std::string newFolder = win::TextOf(win::PathOf(newPath).parent_path());
    if (newFolder != file.folder) {
        for (auto& c : project.components) {
            if (!c->module || c->diskPath.empty()) continue;
            const std::size_t at = FindComponentLine(file, *c);
            std::string relative = win::TextOf(win::PathOf(c->diskPath).lexically_relative(win::PathOf(newFolder)));
            if (relative.empty()) relative = c->diskPath;
            std::replace(relative.begin(), relative.end(), '/', '\\');
            c->relativePath = relative;
            if (at < file.lines.size()) file.lines[at].text = ComponentLine(*c);
        }
    }
    file.path = newPath;
    file.folder = newFolder;
    file.linesChanged = true;
    std::error_code ec;
    fs::create_directories(win::PathOf(newFolder), ec);
}

}  // namespace

std::int32_t SaveProject(const VBProjectPtr& projectRef, const std::string& path) {
    auto project = std::dynamic_pointer_cast<ProjectImpl>(projectRef);
    if (!project) throw vb::VbError(5, "VBIDE");
    project->Check();
    bool fresh = !project->file;
    if (fresh) {
        if (path.empty()) throw vb::VbError(5, "VBIDE", "a new project needs a file name");
        auto file = std::make_unique<ProjectFile>();
        file->path = win::TextOf(fs::absolute(win::PathOf(path)).lexically_normal());
        file->folder = win::TextOf(win::PathOf(file->path).parent_path());
        std::error_code ec;
        fs::create_directories(win::PathOf(file->folder), ec);
        file->lines.push_back(ProjectFile::Line{"Type=Exe", "\r\n"});
        for (auto& c : project->components) {
            c->relativePath = c->name + "." + ExtensionOfComponentType(c->type);
            file->lines.push_back(ProjectFile::Line{ComponentLine(*c), "\r\n"});
        }
        file->lines.push_back(ProjectFile::Line{"Name=\"" + project->name + "\"", "\r\n"});
        file->linesChanged = true;
        project->file = std::move(file);
    }
    // Should the save fail, the project keeps its file name and lines.
    const ProjectFile before = *project->file;
    std::vector<std::pair<std::shared_ptr<ComponentImpl>, std::string>> paths;
    for (auto& c : project->components) paths.emplace_back(c, c->relativePath);
    if (!fresh && !path.empty()) {
        const std::string newPath = win::TextOf(fs::absolute(win::PathOf(path)).lexically_normal());
        if (newPath != project->file->path) MoveProjectFile(*project, newPath);
    }
    ProjectFile& file = *project->file;
    std::size_t changed = 0;
    try {
        for (auto& c : project->components) {
            if (!c->module) continue;
            if (c->relativePath.empty()) {
                c->relativePath = c->name + "." + ExtensionOfComponentType(c->type);
                file.lines.push_back(ProjectFile::Line{ComponentLine(*c), file.lineEnd});
                file.linesChanged = true;
            }
            if (c->diskPath.empty()) {
                c->diskPath = ResolvePath(file.folder, c->relativePath);
                if (c->module->text.Header().empty())
                    c->module->text.SetHeader(NewModuleHeader(c->type, c->name));
                c->dirty = true;
            }
        }
        changed = Save(FilesToWrite(*project, fresh), file.path, NamedModules(file.folder));
    } catch (...) {
        if (!fresh) {
            file = before;
            for (auto& [c, relative] : paths) c->relativePath = relative;
        }
        throw;
    }
    for (auto& c : project->components)
        if (c->module) c->dirty = false;
    file.linesChanged = false;
    project->store.MarkSaved();
    project->dirty = false;
    return static_cast<std::int32_t>(changed);
}

std::vector<PendingFile> PendingSave(const VBProjectPtr& projectRef) {
    auto project = std::dynamic_pointer_cast<ProjectImpl>(projectRef);
    if (!project) throw vb::VbError(5, "VBIDE");
    project->Check();
    if (!project->file) throw vb::VbError(5, "VBIDE", "the project was never saved");
    std::vector<PendingFile> pending;
    for (const win::FileToSave& f : FilesToWrite(*project, false)) pending.push_back({f.path, f.produce()});
    return pending;
}

void ProjectFile::ComponentAdded(ProjectImpl& project, ComponentImpl& c) {
    // The module gets its file beside the project; the line goes after the
    // last component line (or at the end of the project's lines).
    ProjectFile& file = *project.file;
    c.relativePath = c.name + "." + ExtensionOfComponentType(c.type);
    c.diskPath.clear();
    std::size_t at = file.lines.size();
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        KeyValue kv;
        if (SplitKeyValue(file.lines[i].text, kv) && FindComponentKey(kv.key)) at = i + 1;
    }
    if (at > 0 && at == file.lines.size() && file.lines.back().end.empty())
        file.lines.back().end = file.lineEnd;
    file.lines.insert(file.lines.begin() + static_cast<std::ptrdiff_t>(at),
                      ProjectFile::Line{ComponentLine(c), file.lineEnd});
    file.linesChanged = true;
}

void ProjectFile::ComponentRemoved(ProjectImpl& project, ComponentImpl& c) {
    ProjectFile& file = *project.file;
    std::size_t at = FindComponentLine(file, c);
    if (at < file.lines.size()) {
        file.lines.erase(file.lines.begin() + static_cast<std::ptrdiff_t>(at));
        file.linesChanged = true;
    }
}

void ProjectFile::ComponentRenamed(ProjectImpl& project, ComponentImpl& c, const std::string& oldName) {
    ProjectFile& file = *project.file;
    if (c.module) {
        c.module->text.SetHeader(RenameInHeader(c.module->text.Header(), oldName, c.name,
                                                c.module->text.NewLineEnd()));
        c.dirty = true;
    }
    if (c.type != vbext_ct_StdModule && c.type != vbext_ct_ClassModule) return;
    std::size_t at = FindComponentLine(file, c);
    if (at < file.lines.size()) {
        file.lines[at].text = ComponentLine(c);
        file.linesChanged = true;
    }
}

void ProjectFile::ProjectRenamed(ProjectImpl& project) {
    ProjectFile& file = *project.file;
    file.linesChanged = true;
    for (auto& line : file.lines) {
        KeyValue kv;
        if (SplitKeyValue(line.text, kv) && EqualsNoCase(kv.key, "Name")) {
            line.text = kv.key + "=\"" + project.name + "\"";
            return;
        }
    }
    std::size_t at = file.lines.empty() ? 0 : 1;
    file.lines.insert(file.lines.begin() + static_cast<std::ptrdiff_t>(at),
                      ProjectFile::Line{"Name=\"" + project.name + "\"", file.lineEnd});
}

}  // namespace vbide
