#pragma once
// Projects on disk: a .vbp project file with its module files, and .vbg
// groups of projects.
//
// Loading keeps every byte: the project's own key=value lines as read
// (unknown keys included), the property store as [Section] blocks after them,
// and for each module the hidden header and attribute lines around the lines
// the code window shows (see ModuleText). Paths in the project file are
// Windows paths (backslashes, "..\", any letter case); they are resolved
// against the project's folder without regard to case. A module file that is
// missing or unreadable is reported and left out; the project file keeps its
// line. Saving writes only the files that changed, all or nothing, through
// win::SaveFiles.

#include <memory>
#include <string>
#include <vector>

#include "contract/vbide.h"

namespace vbide {

class Environment;
class ProjectImpl;
class ComponentImpl;

// The project file as read (held by a project opened from disk).
struct ProjectFile {
    struct Line {
        std::string text;
        std::string end;  // "\r\n", "\n" or "" (last line without an end)
    };
    std::string path;     // the .vbp file
    std::string folder;   // its folder, for relative module paths
    std::string lineEnd = "\r\n";
    std::vector<Line> lines;  // the project's own lines, before the store
    bool linesChanged = false;

    // Keeps the project file's component lines in step with the project.
    static void ComponentAdded(ProjectImpl& project, ComponentImpl& component);
    static void ComponentRemoved(ProjectImpl& project, ComponentImpl& component);
    static void ComponentRenamed(ProjectImpl& project, ComponentImpl& component,
                                 const std::string& oldName);
    static void ProjectRenamed(ProjectImpl& project);
};

// A problem met while loading: the file and 1-based line (0 for the whole
// file) and what is wrong.
struct LoadProblem {
    std::string file;
    std::int32_t line = 0;
    std::string message;
    std::string Text() const;
};

struct OpenResult {
    std::vector<VBProjectPtr> projects;   // in the order of the file (group: start-up first)
    std::vector<LoadProblem> problems;     // modules left out, lines not understood
};

// Opens a .vbp or .vbg file into the environment: the projects are added (as
// the user's File > Open does: ItemAdded, then the first becomes active).
// An interrupted save of a project is finished or undone first (a journal
// beside it that is not the project's own save is left alone and becomes a
// load problem, which a later save of the project refuses to go past); an
// environment that holds project locks keeps each project's writer lock
// until the project is removed.
// Problems with single modules are reported through Environment::Report and
// returned; the rest of the project still opens. Throws vb::VbError 53 (file
// not found), 75 (not readable) or 5 (not a project file, with the file and
// line in the description) when the project file itself cannot be used.
OpenResult OpenProjectFile(Environment& env, const std::string& path);

// Writes the project file and every changed module file of `project`, all
// or nothing, through win::SaveFiles (the .vbp is the save's anchor: its lock
// and journal). A project never saved needs `path` (the .vbp to create; its
// modules are written beside it under their default file names). Throws
// vb::VbError 75 naming the file when one cannot be written (nothing changed).
// Answers how many files changed.
std::int32_t SaveProject(const VBProjectPtr& project, const std::string& path = {});

// The files SaveProject would write now (changed modules, then the project
// file when its lines or its store changed), without writing anything.
// Error 5 for a project that has no project file yet or holds components
// that were never saved (SaveProject must place those first).
std::vector<PendingFile> PendingSave(const VBProjectPtr& project);

// Resolves a Windows-style path (backslashes, "..\", any case) against
// `folder` on this file system, matching each component without regard to
// case when the exact name does not exist. Returns the path as found, or the
// literal translation when nothing matches.
std::string ResolvePath(const std::string& folder, const std::string& windowsPath);

}  // namespace vbide
