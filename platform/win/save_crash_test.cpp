// A save crashed at every one of its steps, with every choice of what the
// disk kept: after recovery the files are wholly old or wholly new.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/win/crash_file_system.h"
#include "platform/win/save.h"

namespace win {
namespace {

using testing::CrashFileSystem;

struct Case {
    const char* what;
    // name -> old bytes ("" for a file the save creates), new bytes, mode
    struct File {
        std::string name, before, after;
        unsigned mode;
    };
    std::vector<File> files;
    std::vector<std::pair<std::string, std::string>> links;  // second names: existing, new
};

// An absolute path as the save writes it (on Windows with a drive), so that
// the save's names are the file system's.
#ifdef _WIN32
const std::string kRoot = "C:/crash/P";
#else
const std::string kRoot = "/crash/P";
#endif
const std::vector<std::string> kFolders = {kRoot, kRoot + "/src"};

// The project: P.vbp (mode kept), a module in a folder of its own, a file
// with a second name (rewritten in place) and a new file.
const Case kProject = {"project",
                       {{"P.vbp", "Type=Exe\nold\n", "Type=Exe\nnew, and longer\n", 0600},
                        {"src/one.bas", "old one", "new one", 0640},
                        {"hard.bas", "old hard, quite a lot longer", "new hard", 0644},
                        {"src/fresh.cls", "", "new fresh", 0644}},
                       {{"hard.bas", "src/hard-link"}}};
// The project file does not change: only modules in another folder do.
const Case kModulesOnly = {"modules only",
                           {{"P.vbp", "Type=Exe\n", "Type=Exe\n", 0644},
                            {"src/one.bas", "old one", "new one", 0644},
                            {"src/two.bas", "old two", "new two", 0644}},
                           {}};

std::string At(const std::string& name) { return kRoot + "/" + name; }

void Lay(CrashFileSystem& fs, const Case& c) {
    for (const std::string& folder : kFolders) fs.AddFolder(folder);
    for (const Case::File& f : c.files)
        if (!f.before.empty()) fs.Put(At(f.name), f.before, f.mode);
    for (const auto& [existing, name] : c.links) fs.Link(At(existing), At(name));
}

NamedFiles Names(const Case& c) {
    return [c](const std::string&) {
        std::vector<std::string> paths;
        for (const Case::File& f : c.files) paths.push_back(At(f.name));
        return paths;
    };
}

SaveResult RunSave(CrashFileSystem& fs, const Case& c) {
    std::vector<FileToSave> files;
    for (const Case::File& f : c.files) files.push_back({At(f.name), f.after});
    return SaveFiles(files, At("P.vbp"), fs, Names(c));
}

// Wholly old or wholly new, modes kept, nothing else in the folders; an
// empty answer when so.
std::string Judge(CrashFileSystem& fs, const Case& c, bool mustBeNew) {
    std::string bytes;
    bool isNew = false;
    for (const Case::File& f : c.files)
        if (f.before != f.after && fs.ReadFile(At(f.name), bytes, kReadLimit) == 0 && bytes == f.after) isNew = true;
    if (mustBeNew && !isNew) return "a save that answered success came back old";
    std::map<std::string, std::set<std::string>> expected;
    for (const Case::File& f : c.files) {
        const std::string& want = isNew ? f.after : f.before;
        if (!want.empty()) expected[FolderOfPath(At(f.name))].insert(NameOfPath(At(f.name)));
        FileFacts facts;
        const int e = fs.Facts(At(f.name), facts);
        if (want.empty()) {
            if (e != 0 || facts.exists) return f.name + " exists";
            continue;
        }
        if (fs.ReadFile(At(f.name), bytes, kReadLimit) != 0 || bytes != want)
            return f.name + " holds \"" + bytes + "\", not \"" + want + "\"";
        if (facts.mode != f.mode) return f.name + " lost its mode";
    }
    for (const auto& [existing, name] : c.links) {
        expected[FolderOfPath(At(name))].insert(NameOfPath(At(name)));
        std::string a, b;
        fs.ReadFile(At(existing), a, kReadLimit);
        fs.ReadFile(At(name), b, kReadLimit);
        if (a != b) return name + " is no longer a second name of " + existing;
    }
    for (const std::string& folder : kFolders)
        if (fs.Names(folder) != expected[folder]) {
            std::string names;
            for (const std::string& n : fs.Names(folder)) names += " " + n;
            return folder + " holds" + names;
        }
    return {};
}

// Every subset of the folders: those whose unflushed entries the disk kept.
std::vector<std::set<std::string>> Subsets() {
    std::vector<std::set<std::string>> all;
    for (unsigned mask = 0; mask < (1u << kFolders.size()); ++mask) {
        std::set<std::string> keep;
        for (std::size_t i = 0; i < kFolders.size(); ++i)
            if (mask & (1u << i)) keep.insert(kFolders[i]);
        all.push_back(keep);
    }
    return all;
}

TEST(SaveCrash, AtEveryStepTheFilesComeBackWhollyOldOrWhollyNew) {
    for (const Case& c : {kProject, kModulesOnly}) {
        CrashFileSystem counting;
        Lay(counting, c);
        const SaveResult counted = RunSave(counting, c);
        ASSERT_TRUE(counted.ok()) << counted.Text();
        const int steps = counting.Changes();
        // Step steps + 1 is a crash just after the save answered.
        for (int n = 1; n <= steps + 1; ++n)
            for (const auto& keep : Subsets())
                for (const bool tear : {false, true}) {
                    SCOPED_TRACE(std::string(c.what) + ", crash at step " + std::to_string(n) + " of " +
                                 std::to_string(steps) + ", folders kept " + std::to_string(keep.size()) +
                                 (tear ? ", torn" : ""));
                    CrashFileSystem fs;
                    Lay(fs, c);
                    fs.CrashAt(n);
                    const bool saved = RunSave(fs, c).ok();
                    fs.Crash(keep, tear);
                    const SaveResult recovered = RecoverSave(At("P.vbp"), fs, Names(c));
                    ASSERT_TRUE(recovered.ok()) << recovered.Text();
                    const std::string judged = Judge(fs, c, saved);
                    ASSERT_EQ(judged, "");
                }
    }
}

// Recovery itself may be cut off by a crash: the next one still finishes.
TEST(SaveCrash, ARecoveryCrashedAtEveryStepIsFinishedByTheNext) {
    const Case& c = kProject;
    CrashFileSystem counting;
    Lay(counting, c);
    ASSERT_TRUE(RunSave(counting, c).ok());
    const int steps = counting.Changes();
    for (int n = 1; n <= steps; ++n)
        for (const auto& keep : Subsets())
            for (const bool tear : {false, true})
                for (int r = 1;; ++r) {
                SCOPED_TRACE("crash at step " + std::to_string(n) + ", recovery crashed at " + std::to_string(r) +
                             ", folders kept " + std::to_string(keep.size()) + (tear ? ", torn" : ""));
                CrashFileSystem fs;
                Lay(fs, c);
                fs.CrashAt(n);
                RunSave(fs, c);
                fs.Crash({}, tear);
                fs.CrashAt(r);
                RecoverSave(At("P.vbp"), fs, Names(c));
                const bool recoveryCrashed = fs.Crashed();
                fs.Crash(keep, tear);
                const SaveResult recovered = RecoverSave(At("P.vbp"), fs, Names(c));
                ASSERT_TRUE(recovered.ok()) << recovered.Text();
                ASSERT_EQ(Judge(fs, c, false), "");
                if (!recoveryCrashed) break;
            }
}

}  // namespace
}  // namespace win
