#include "platform/win/save.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <string_view>

namespace win {

namespace {

// At most this many temporary files stay open between write-out and flush;
// larger saves flush in batches of it.
constexpr std::size_t kOpenFiles = 256;

const char kJournalHead[] = "tarnwick save journal 1\n";
const char kCommit[] = "commit\n";

std::string Reason(int error) { return FileErrorText(error); }

std::string JournalOf(const std::string& anchor) {
    const std::string folder = FolderOfPath(anchor);
    return (folder == "." ? std::string() : folder == "/" ? folder : folder + "/") + "." + NameOfPath(anchor) +
           ".save-journal";
}

// One replacement: the temporary file and the file it replaces, renamed over
// it or copied into it (in place).
struct Step {
    std::string temp;
    std::string target;
    bool inPlace = false;
};

std::string Field(const std::string& text) { return std::to_string(text.size()) + " " + text; }

std::string JournalLine(const Step& s) {
    return std::string(s.inPlace ? "C " : "R ") + Field(s.temp) + " " + Field(s.target) + "\n";
}

bool ReadField(const std::string& text, std::size_t& at, std::string& out) {
    std::size_t n = 0;
    std::size_t digits = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 9) {
        n = n * 10 + static_cast<std::size_t>(text[at++] - '0');
        ++digits;
    }
    if (digits == 0 || at >= text.size() || text[at] != ' ' || text.size() - at - 1 < n) return false;
    out = text.substr(at + 1, n);
    at += 1 + n;
    return true;
}

// The steps a journal lists (complete lines only) and whether it was committed.
std::vector<Step> ParseJournal(const std::string& text, bool& committed) {
    committed = false;
    std::vector<Step> steps;
    if (text.compare(0, sizeof kJournalHead - 1, kJournalHead) != 0) return steps;
    std::size_t at = sizeof kJournalHead - 1;
    while (at < text.size()) {
        if (text.compare(at, std::string::npos, kCommit) == 0) {
            committed = true;
            break;
        }
        Step s;
        if (text.size() - at < 2 || (text[at] != 'R' && text[at] != 'C') || text[at + 1] != ' ') break;
        s.inPlace = text[at] == 'C';
        at += 2;
        if (!ReadField(text, at, s.temp) || at >= text.size() || text[at++] != ' ') break;
        if (!ReadField(text, at, s.target) || at >= text.size() || text[at++] != '\n') break;
        steps.push_back(std::move(s));
    }
    return steps;
}

// Writes `bytes` over the existing file `target`, keeping its identity.
int Overwrite(FileSystem& fs, const std::string& target, std::string_view bytes) {
    std::unique_ptr<WritableFile> file;
    int e = fs.OpenExisting(target, file);
    if (e == 0) e = file->Append(bytes);
    if (e == 0) e = file->Truncate();
    if (e == 0) e = file->Flush();
    if (file) {
        const int closed = file->Close();
        if (e == 0) e = closed;
    }
    return e;
}

int FlushFolders(FileSystem& fs, const std::set<std::string>& folders) {
    for (const std::string& folder : folders)
        if (const int e = fs.FlushFolder(folder)) return e;
    return 0;
}

SaveResult Failure(SaveResult::Outcome outcome, const std::string& file, const std::string& reason) {
    SaveResult r;
    r.outcome = outcome;
    r.file = file;
    r.reason = reason;
    return r;
}

// Finishes a committed journal's steps (those not done yet) or removes the
// temporary files of one never committed; then the journal goes.
SaveResult Recover(FileSystem& fs, const std::string& journal) {
    std::string text;
    if (const int e = fs.ReadFile(journal, text)) {
        if (e == ENOENT) return {};
        return Failure(SaveResult::kFailed, journal, Reason(e));
    }
    bool committed = false;
    const std::vector<Step> steps = ParseJournal(text, committed);
    std::set<std::string> folders;
    for (const Step& s : steps) {
        FileFacts temp;
        if (const int e = fs.Facts(s.temp, temp)) return Failure(SaveResult::kFailed, s.temp, Reason(e));
        if (!temp.exists) continue;  // replaced before the interruption, or never written
        int e = 0;
        if (!committed) {
            e = fs.Remove(s.temp);
        } else if (s.inPlace) {
            std::string bytes;
            e = fs.ReadFile(s.temp, bytes);
            if (e == 0) e = Overwrite(fs, s.target, bytes);
            if (e == 0) e = fs.Remove(s.temp);
        } else {
            e = fs.Rename(s.temp, s.target);
        }
        if (e != 0) return Failure(SaveResult::kFailed, s.target, Reason(e));
        folders.insert(FolderOfPath(s.target));
    }
    if (const int e = FlushFolders(fs, folders)) return Failure(SaveResult::kFailed, *folders.begin(), Reason(e));
    if (const int e = fs.Remove(journal); e != 0 && e != ENOENT) return Failure(SaveResult::kFailed, journal, Reason(e));
    return {};
}

std::string TempName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    const std::string folder = FolderOfPath(target);
    return (folder == "/" ? folder : folder + "/") + "." + NameOfPath(target) + "." +
           std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".tmp";
}

// The new bytes of a file, made by its producer only when it has one.
class Content {
public:
    explicit Content(const FileToSave& file) : file_(file) {
        if (file.produce) made_ = file.produce();
    }
    std::string_view Bytes() const { return file_.produce ? std::string_view(made_) : std::string_view(file_.bytes); }

private:
    const FileToSave& file_;
    std::string made_;
};

struct Planned {
    const FileToSave* file;
    Step step;
    FileFacts facts;
};

// Checks every target and keeps those whose bytes change. A refusal comes
// before anything is written.
SaveResult Plan(FileSystem& fs, const std::vector<FileToSave>& files, std::vector<Planned>& plan) {
    std::set<std::string> seen;
    for (const FileToSave& f : files) {
        Planned p{&f, {}, {}};
        p.step.target = fs.FollowLinks(f.path);
        if (!seen.insert(p.step.target).second) continue;  // the first of two names for one file wins
        if (const int e = fs.Facts(p.step.target, p.facts)) return Failure(SaveResult::kRefused, f.path, Reason(e));
        if (p.facts.exists && !p.facts.writable) return Failure(SaveResult::kRefused, f.path, "the file is read-only");
        if (const int e = fs.CanCreateIn(FolderOfPath(p.step.target)))
            return Failure(SaveResult::kRefused, f.path, Reason(e));
        if (const int e = fs.CanReplace(p.step.target)) return Failure(SaveResult::kRefused, f.path, Reason(e));
        if (p.facts.exists) {
            std::string current;
            if (const int e = fs.ReadFile(p.step.target, current))
                return Failure(SaveResult::kRefused, f.path, Reason(e));
            if (current == Content(f).Bytes()) continue;
        }
        p.step.inPlace = p.facts.exists && p.facts.links > 1;
        p.step.temp = TempName(p.step.target);
        plan.push_back(std::move(p));
    }
    return {};
}

class Saver {
public:
    Saver(FileSystem& fs, SaveLock& lock, std::string anchor)
        : fs_(fs), lock_(lock), anchor_(std::move(anchor)), journalPath_(JournalOf(anchor_)) {}

    SaveResult Run(std::vector<Planned>& plan) {
        SaveResult r = WriteTemporaries(plan);
        if (r.ok()) r = Commit(plan);
        if (!r.ok() && !committed_) Undo();
        return r;
    }

private:
    SaveResult Fail(const std::string& file, int e) { return Failure(SaveResult::kFailed, file, Reason(e)); }

    // The journal first (so that the temporary files can always be found),
    // then the temporary files, flushed together.
    SaveResult WriteTemporaries(std::vector<Planned>& plan) {
        std::string text = kJournalHead;
        for (const Planned& p : plan) text += JournalLine(p.step);
        if (const int e = fs_.Create(journalPath_, journal_)) return Fail(journalPath_, e);
        journalCreated_ = true;
        if (const int e = journal_->Append(text)) return Fail(journalPath_, e);
        folders_.insert(FolderOfPath(journalPath_));

        std::vector<std::unique_ptr<WritableFile>> open;
        std::size_t batchStart = 0;
        for (std::size_t i = 0; i < plan.size(); ++i) {
            Planned& p = plan[i];
            std::unique_ptr<WritableFile> file;
            if (const int e = fs_.Create(p.step.temp, file)) return Fail(p.file->path, e);
            created_.push_back(p.step.temp);
            if (const int e = file->Append(Content(*p.file).Bytes())) return Fail(p.file->path, e);
            // A new file keeps the owner, group and permissions of the one it
            // replaces; where they cannot be given, the file is written in place.
            if (p.facts.exists && !p.step.inPlace && file->TakeOver(p.facts) != 0) p.step.inPlace = true;
            if (const int e = file->StartFlush()) return Fail(p.file->path, e);
            if (!p.step.inPlace && p.step.target == anchor_) lock_.Include(*file);
            folders_.insert(FolderOfPath(p.step.target));
            open.push_back(std::move(file));
            if (open.size() == kOpenFiles || i + 1 == plan.size()) {
                std::vector<WritableFile*> batch;
                for (const auto& f : open) batch.push_back(f.get());
                std::size_t failed = 0;
                if (const int e = fs_.FlushFiles(batch, failed)) return Fail(plan[batchStart + failed].file->path, e);
                for (std::size_t k = 0; k < open.size(); ++k)
                    if (const int e = open[k]->Close()) return Fail(plan[batchStart + k].file->path, e);
                open.clear();
                batchStart = i + 1;
            }
        }
        // The journal is committed in full once the files are durable.
        journal_->Close();
        journal_.reset();
        return {};
    }

    SaveResult Commit(std::vector<Planned>& plan) {
        // The temporary files' names must be durable before the journal
        // that points at them.
        if (const int e = FlushFolders(fs_, folders_)) return Fail(*folders_.begin(), e);
        std::string text = kJournalHead;
        for (const Planned& p : plan) text += JournalLine(p.step);
        text += kCommit;
        if (const int e = Overwrite(fs_, journalPath_, text)) return Fail(journalPath_, e);
        committed_ = true;
        SaveResult applied = Apply(plan);
        if (!applied.ok()) {
            // Whatever is left is finished from the journal now, or by the
            // next save or open.
            if (!Recover(fs_, journalPath_).ok()) {
                applied.reason += "; the save is completed the next time the project is opened or saved";
                return applied;
            }
        }
        SaveResult r;
        r.changed = plan.size();
        return r;
    }

    SaveResult Apply(const std::vector<Planned>& plan) {
        for (const Planned& p : plan) {
            int e = 0;
            if (p.step.inPlace) {
                e = Overwrite(fs_, p.step.target, Content(*p.file).Bytes());
                if (e == 0) e = fs_.Remove(p.step.temp);
            } else {
                e = fs_.Rename(p.step.temp, p.step.target);
            }
            if (e != 0) return Fail(p.file->path, e);
        }
        if (const int e = FlushFolders(fs_, folders_)) return Fail(*folders_.begin(), e);
        if (const int e = fs_.Remove(journalPath_)) return Fail(journalPath_, e);
        return {};
    }

    // Before the commit nothing was replaced: the temporary files and the
    // journal go. Should that fail too, the next save or open removes them.
    void Undo() {
        if (journal_) journal_->Close();
        bool clean = true;
        for (const std::string& temp : created_) clean = fs_.Remove(temp) == 0 && clean;
        if (clean && journalCreated_) fs_.Remove(journalPath_);
    }

    FileSystem& fs_;
    SaveLock& lock_;
    std::string anchor_;
    std::string journalPath_;
    std::unique_ptr<WritableFile> journal_;
    bool journalCreated_ = false;
    bool committed_ = false;
    std::vector<std::string> created_;
    std::set<std::string> folders_;
};

}  // namespace

std::string SaveResult::Text() const { return file + ": " + reason; }

SaveResult RecoverSave(const std::string& anchor, FileSystem& fs) {
    SaveLock lock(anchor, fs);
    if (!lock.Held())
        return Failure(lock.Error() == EWOULDBLOCK ? SaveResult::kLocked : SaveResult::kFailed, anchor,
                       lock.Error() == EWOULDBLOCK ? "another program is saving it" : Reason(lock.Error()));
    return Recover(fs, JournalOf(fs.FollowLinks(anchor)));
}

SaveResult SaveFiles(const std::vector<FileToSave>& files, const std::string& anchor, FileSystem& fs) {
    SaveLock lock(anchor, fs);
    if (!lock.Held())
        return Failure(lock.Error() == EWOULDBLOCK ? SaveResult::kLocked : SaveResult::kFailed, anchor,
                       lock.Error() == EWOULDBLOCK ? "another program is saving it" : Reason(lock.Error()));
    const std::string realAnchor = fs.FollowLinks(anchor);
    if (SaveResult r = Recover(fs, JournalOf(realAnchor)); !r.ok()) return r;
    std::vector<Planned> plan;
    if (SaveResult r = Plan(fs, files, plan); !r.ok() || plan.empty()) return r;
    return Saver(fs, lock, realAnchor).Run(plan);
}

}  // namespace win
