#include "platform/win/save.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string_view>

#include "base/text.h"
#include "platform/win/path_text.h"
#include "platform/win/save_journal.h"

namespace win {

namespace {

// At most this many temporary files stay open between write-out and flush;
// larger saves flush in batches of it.
constexpr std::size_t kOpenFiles = 256;

const char kForeignJournal[] = "an unfinished save that does not belong to this project was left alone";

std::string Reason(int error) { return FileErrorText(error); }

// A path made absolute and plain ("a/./b/../c" is "a/c"), with "/" between
// elements: how a save and its recovery compare names.
std::string Plain(const std::string& path) {
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(PathOf(path), ignored);
    return GenericTextOf((absolute.empty() ? PathOf(path) : absolute).lexically_normal());
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder == "." ? name : folder.ends_with("/") ? folder + name : folder + "/" + name;
}

std::string JournalOf(const std::string& anchor) {
    std::string name = ".";
    name += NameOfPath(anchor);
    name += ".save-journal";
    return Join(FolderOfPath(anchor), name);
}

SaveResult Failure(SaveResult::Outcome outcome, const std::string& file, const std::string& reason) {
    SaveResult r;
    r.outcome = outcome;
    r.file = file;
    r.reason = reason;
    return r;
}

int FlushFolders(FileSystem& fs, const std::set<std::string>& folders, std::string& failed) {
    for (const std::string& folder : folders)
        if (const int e = fs.FlushFolder(folder)) {
            failed = folder;
            return e;
        }
    return 0;
}

// Writes `bytes` over the existing file `target`, keeping its identity, and
// makes them durable.
int Overwrite(FileSystem& fs, const std::string& target, std::string_view bytes) {
    std::unique_ptr<WritableFile> file;
    int e = fs.OpenExisting(target, file);
    if (e == 0) e = file->Reserve(bytes.size());
    if (e == 0) e = file->Append(bytes);
    if (e == 0) e = file->Truncate();
    if (e == 0) e = file->Flush();
    if (file) {
        const int closed = file->Close();
        if (e == 0) e = closed;
    }
    return e;
}

// One step as the save carries it out: the journal's record and where it
// lies on disk.
struct Step {
    JournalStep record;
    std::string target;  // the file itself (links followed)
    std::string temp;    // the temporary file beside it
};

// ---- Recovery ---------------------------------------------------------------

// What recovery found for one step, after checking it.
struct Found {
    Step step;
    std::string named;  // the target as the save named it, made plain
    bool tempExists = false;
    bool tempIsNew = false;
    bool tempCutShort = false;  // shorter than the new bytes
    bool targetIsNew = false;
};

// The files a journal may name: the anchor, the files it names as it reads
// now and as its new bytes would read, and those of the save under way.
// How two names of one file compare: without regard to case on Windows,
// whose file names ignore it (a project may name "cthing.CLS" for the file
// CThing.cls), exactly elsewhere.
std::string NameKey(const std::string& name) {
#ifdef _WIN32
    return text::UpperAscii(name);
#else
    return name;
#endif
}

struct Allowed {
    const NamedFiles& names;
    std::set<std::string> files;
    void Add(const std::string& anchorBytes) {
        if (names)
            for (const std::string& path : names(anchorBytes)) files.insert(NameKey(Plain(path)));
    }
};

// Checks a journal's steps against the files; answers false, having
// changed nothing, when one of them is not this anchor's own save.
bool Check(FileSystem& fs, const Journal& journal, const std::string& anchor, Allowed& allowed,
           std::vector<Found>& found) {
    const std::string folder = FolderOfPath(anchor);
    allowed.files.insert(NameKey(anchor));
    if (std::string bytes; fs.ReadFile(fs.FollowLinks(anchor), bytes, kReadLimit) == 0) allowed.Add(bytes);
    for (const JournalStep& record : journal.steps) {
        if (!IsRecordableName(record.target)) return false;
        Found f;
        f.step.record = record;
        f.named = Plain(Join(folder, record.target));
        f.step.target = fs.FollowLinks(f.named);
        if (!IsTempNameFor(record.temp, NameOfPath(f.step.target))) return false;
        f.step.temp = Join(FolderOfPath(f.step.target), record.temp);
        // The temporary file is a regular file of its own (not a link, no
        // second name), or none.
        FileFacts temp;
        if (fs.FollowLinks(f.step.temp) != f.step.temp || fs.Facts(f.step.temp, temp) != 0) return false;
        if (temp.exists) {
            std::string bytes;
            if (!temp.regular || temp.links != 1 || fs.ReadFile(f.step.temp, bytes, kReadLimit) != 0) return false;
            f.tempExists = true;
            f.tempIsNew = ContentHash(bytes) == record.newHash;
            f.tempCutShort = bytes.size() < record.newSize;
            if (f.named == anchor && f.tempIsNew) allowed.Add(bytes);
        }
        found.push_back(std::move(f));
    }
    for (Found& f : found) {
        if (!allowed.files.count(NameKey(f.named))) return false;
        if (!journal.committed) continue;
        // A committed step is finished only from the new bytes, over the old
        // (or already the new) ones; an in-place copy may have been cut short.
        // Its temporary file goes only once the target holds the new bytes.
        if (f.tempExists && !f.tempIsNew) return false;
        FileFacts facts;
        std::string bytes;
        if (fs.Facts(f.step.target, facts) != 0 || (facts.exists && !facts.regular)) return false;
        if (facts.exists && fs.ReadFile(f.step.target, bytes, kReadLimit) != 0) return false;
        const std::optional<std::uint64_t> now =
            facts.exists ? std::optional<std::uint64_t>(ContentHash(bytes)) : std::nullopt;
        f.targetIsNew = now && *now == f.step.record.newHash;
        if (f.targetIsNew || (f.tempExists && now == f.step.record.oldHash)) continue;
#ifdef _WIN32
        // ReplaceFile takes the old file away before it gives the new one its
        // name: a crash between the two leaves no target, only the temporary
        // file with the new bytes, which then takes its place.
        if (f.tempExists && !facts.exists && !f.step.record.inPlace) continue;
#endif
        if (!f.tempExists) return false;
        if (!(f.step.record.inPlace && journal.copying && now)) return false;
    }
    return true;
}

// Finishes a committed journal's steps (those not done yet) or removes the
// temporary files of one never committed; then the journal goes. A journal
// that is not this anchor's own is left alone with every file it names.
SaveResult Recover(FileSystem& fs, const std::string& anchor, Allowed allowed) {
    const std::string journalPath = JournalOf(fs.FollowLinks(anchor));
    FileFacts facts;
    // A name longer than the system holds names no journal: the save that
    // follows refuses such names before it writes one.
    if (const int e = fs.Facts(journalPath, facts); e == ENAMETOOLONG) return {};
    else if (e) return Failure(SaveResult::kFailed, journalPath, Reason(e));
    if (!facts.exists) return {};
    std::string text;
    Journal journal;
    std::vector<Found> found;
    const int read = facts.regular ? fs.ReadFile(journalPath, text, kJournalReadLimit) : kNotRegularFile;
    if (read != 0 || !ParseJournal(text, journal) || !Check(fs, journal, anchor, allowed, found))
        return Failure(SaveResult::kForeign, journalPath,
                       read == 0 ? std::string(kForeignJournal)
                                 : std::string(kForeignJournal) + " (" +
                                       ReadFailureText(read, journalPath, kJournalReadLimit) + ")");
    // A copy into a file kept in place may be cut short by a crash: the
    // journal says so first, so that the next recovery copies it again.
    bool copies = false;
    for (const Found& f : found) copies = copies || (f.tempExists && f.step.record.inPlace && !f.targetIsNew);
    if (journal.committed && copies && !journal.copying) {
        const std::string copying = JournalText(journal.steps) + std::string(kJournalCommit) + std::string(kJournalCopying);
        if (const int e = Overwrite(fs, journalPath, copying)) return Failure(SaveResult::kFailed, journalPath, Reason(e));
    }
    std::set<std::string> folders;
    for (const Found& f : found) {
        if (!f.tempExists) continue;  // replaced before the interruption (or, not committed, never written)
        int e = 0;
        if (!journal.committed) {
            // Nothing was replaced yet. A temporary file is this save's own
            // when it holds the new bytes or was cut short writing them (a
            // crash); any other is left where it is.
            if (f.tempIsNew || f.tempCutShort) e = fs.Remove(f.step.temp);
        } else if (f.targetIsNew) {
            e = fs.Remove(f.step.temp);
        } else if (f.step.record.inPlace) {
            std::string bytes;
            e = fs.ReadFile(f.step.temp, bytes, kReadLimit);
            if (e == 0) e = Overwrite(fs, f.step.target, bytes);
            if (e == 0) e = fs.Remove(f.step.temp);
        } else {
            e = fs.Rename(f.step.temp, f.step.target);
        }
        if (e != 0) return Failure(SaveResult::kFailed, f.step.target, Reason(e));
        folders.insert(FolderOfPath(f.step.target));
    }
    std::string failed;
    if (const int e = FlushFolders(fs, folders, failed)) return Failure(SaveResult::kFailed, failed, Reason(e));
    if (const int e = fs.Remove(journalPath); e != 0 && e != ENOENT) return Failure(SaveResult::kFailed, journalPath, Reason(e));
    return {};
}

// ---- Saving -----------------------------------------------------------------

std::string TempName(const std::string& target) {
    static std::atomic<unsigned long> counter{0};
    return Join(FolderOfPath(target),
                TempNameFor(NameOfPath(target), static_cast<unsigned long>(::getpid()), ++counter));
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
SaveResult Plan(FileSystem& fs, const std::vector<FileToSave>& files, const std::string& anchor,
                std::vector<Planned>& plan) {
    const std::string folder = FolderOfPath(anchor);
    std::set<std::string> seen;
    std::set<std::string> creatable;  // folders found open to new files
    // The journal goes beside the anchor before anything else: a name the
    // system cannot hold refuses the save here, while nothing has changed.
    if (const int e = fs.CanReplace(JournalOf(anchor))) return Failure(SaveResult::kRefused, anchor, Reason(e));
    for (const FileToSave& f : files) {
        Planned p{&f, {}, {}};
        const std::string named = Plain(f.path);
        p.step.target = fs.FollowLinks(named);
        if (!seen.insert(p.step.target).second) continue;  // the first of two names for one file wins
        p.step.record.target = GenericTextOf(PathOf(named).lexically_relative(PathOf(folder)));
        if (!IsRecordableName(p.step.record.target))
            return Failure(SaveResult::kRefused, f.path, "the file lies on another drive than " + anchor);
        if (const int e = fs.Facts(p.step.target, p.facts)) return Failure(SaveResult::kRefused, f.path, Reason(e));
        if (p.facts.exists && !p.facts.regular)
            return Failure(SaveResult::kRefused, f.path, ReadFailureText(kNotRegularFile, p.step.target, 0));
        if (p.facts.exists && !p.facts.writable) return Failure(SaveResult::kRefused, f.path, "the file is read-only");
        if (const std::string into = FolderOfPath(p.step.target); creatable.count(into) == 0) {
            if (const int e = fs.CanCreateIn(into)) return Failure(SaveResult::kRefused, f.path, Reason(e));
            creatable.insert(into);
        }
        if (const int e = fs.CanReplace(p.step.target)) return Failure(SaveResult::kRefused, f.path, Reason(e));
        const Content content(f);
        if (p.facts.exists) {
            std::string current;
            if (const int e = fs.ReadFile(p.step.target, current, kReadLimit))
                return Failure(SaveResult::kRefused, f.path, ReadFailureText(e, p.step.target, kReadLimit));
            if (current == content.Bytes()) continue;
            p.step.record.oldHash = ContentHash(current);
        }
        p.step.record.newHash = ContentHash(content.Bytes());
        p.step.record.newSize = content.Bytes().size();
        // A new file keeps the owner, group and permissions of the one it
        // replaces; where it cannot get them (or the file has other names),
        // the file is rewritten in place.
        p.step.record.inPlace = p.facts.exists && (p.facts.links > 1 || !fs.CanTakeOver(p.facts));
        p.step.temp = TempName(p.step.target);
        p.step.record.temp = NameOfPath(p.step.temp);
        plan.push_back(std::move(p));
    }
    return {};
}

class Saver {
public:
    Saver(FileSystem& fs, SaveLock& lock, std::string anchor, Allowed own)
        : fs_(fs), lock_(lock), anchor_(std::move(anchor)), journalPath_(JournalOf(fs.FollowLinks(anchor_))),
          own_(std::move(own)) {}

    SaveResult Run(std::vector<Planned>& plan) {
        SaveResult r = WriteJournal(plan);
        if (r.ok()) r = WriteTemporaries(plan);
        if (r.ok()) r = Commit(plan);
        if (!r.ok() && !committed_ && !Undo()) Unfinished(r, plan);
        return r;
    }

private:
    SaveResult Fail(const std::string& file, int e) { return Failure(SaveResult::kFailed, file, Reason(e)); }

    // The journal's first version is durable before any temporary file
    // exists, so that every temporary file can be found after a crash.
    SaveResult WriteJournal(const std::vector<Planned>& plan) {
        std::vector<JournalStep> steps;
        for (const Planned& p : plan) steps.push_back(p.step.record);
        const std::string text = JournalText(steps);
        // Recovery reads no larger journal.
        if (text.size() + kJournalCommit.size() + kJournalCopying.size() > kMaxJournalBytes)
            return Failure(SaveResult::kRefused, anchor_, "too many files for one save");
        if (const int e = fs_.Create(journalPath_, journal_)) return Fail(journalPath_, e);
        journalCreated_ = true;
        if (const int e = journal_->Append(text)) return Fail(journalPath_, e);
        if (const int e = journal_->Flush()) return Fail(journalPath_, e);
        if (const int e = fs_.FlushFolder(FolderOfPath(journalPath_))) return Fail(journalPath_, e);
        return {};
    }

    // Gives the new file the old one's owner, group and permissions. Some
    // file systems refuse even to set what a file has already (FAT, some
    // shares, where every file looks alike): that is as good.
    bool TookOver(WritableFile& file, const Planned& p) {
        if (file.TakeOver(p.facts) == 0) return true;
        FileFacts made;
        return fs_.Facts(p.step.temp, made) == 0 && made.mode == p.facts.mode && made.owner == p.facts.owner &&
               made.group == p.facts.group;
    }

    // Each new content goes to its temporary file; write-out is started on
    // each, then each is flushed (in batches, to bound the open files).
    SaveResult WriteTemporaries(std::vector<Planned>& plan) {
        std::vector<std::unique_ptr<WritableFile>> open;
        std::size_t batchStart = 0;
        const std::string anchorFile = fs_.FollowLinks(anchor_);
        for (std::size_t i = 0; i < plan.size(); ++i) {
            Planned& p = plan[i];
            std::unique_ptr<WritableFile> file;
            if (const int e = fs_.Create(p.step.temp, file)) return Fail(p.file->path, e);
            created_.push_back(p.step.temp);
            if (const int e = file->Append(Content(*p.file).Bytes())) return Fail(p.file->path, e);
            if (p.facts.exists && !p.step.record.inPlace && !TookOver(*file, p))
                return Failure(SaveResult::kFailed, p.file->path, "its owner, group and permissions cannot be kept");
            if (const int e = file->StartFlush()) return Fail(p.file->path, e);
            if (!p.step.record.inPlace && p.step.target == anchorFile) lock_.Include(*file);
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
        // Room for the files rewritten in place, so that a full disk stops
        // the save here, before anything is committed.
        for (const Planned& p : plan) {
            if (!p.step.record.inPlace) continue;
            std::unique_ptr<WritableFile> file;
            int e = fs_.OpenExisting(p.step.target, file);
            if (e == 0) e = file->Reserve(static_cast<std::size_t>(p.step.record.newSize));
            if (file) file->Close();
            if (e != 0) return Fail(p.file->path, e);
        }
        return {};
    }

    SaveResult Commit(std::vector<Planned>& plan) {
        // The temporary files' names must be durable before the journal
        // that points at them is committed.
        std::string failedFolder;
        if (const int e = FlushFolders(fs_, folders_, failedFolder)) return Fail(failedFolder, e);
        if (const int e = journal_->Append(kJournalCommit)) return Fail(journalPath_, e);
        commitWritten_ = true;
        if (const int e = journal_->Flush()) return Fail(journalPath_, e);
        committed_ = true;
        SaveResult applied = Apply(plan);
        if (journal_) journal_->Close();
        journal_.reset();
        if (!applied.ok()) {
            // Whatever is left is finished from the journal now, or by the
            // next save or open.
            if (!Recover(fs_, anchor_, own_).ok()) {
                Unfinished(applied, plan);
                return applied;
            }
        }
        SaveResult r;
        r.changed = plan.size();
        return r;
    }

    SaveResult Apply(const std::vector<Planned>& plan) {
        bool copies = false;
        std::vector<std::pair<std::string, std::string>> renames;
        std::vector<const Planned*> renamed;
        for (const Planned& p : plan) {
            copies = copies || p.step.record.inPlace;
            if (p.step.record.inPlace) continue;
            renames.emplace_back(p.step.temp, p.step.target);
            renamed.push_back(&p);
        }
        std::size_t failed = 0;
        if (const int e = fs_.RenameFiles(renames, failed)) return Fail(renamed[failed]->file->path, e);
        if (copies) {
            // From here a file rewritten in place may be cut short by a
            // crash: recovery then copies it again.
            if (const int e = journal_->Append(kJournalCopying)) return Fail(journalPath_, e);
            if (const int e = journal_->Flush()) return Fail(journalPath_, e);
            for (const Planned& p : plan) {
                if (!p.step.record.inPlace) continue;
                std::string bytes;
                int e = fs_.ReadFile(p.step.temp, bytes, kReadLimit);
                if (e == 0) e = Overwrite(fs_, p.step.target, bytes);
                if (e == 0) e = fs_.Remove(p.step.temp);
                if (e != 0) return Fail(p.file->path, e);
            }
        }
        std::string failedFolder;
        if (const int e = FlushFolders(fs_, folders_, failedFolder)) return Fail(failedFolder, e);
        journal_->Close();
        journal_.reset();
        if (const int e = fs_.Remove(journalPath_)) return Fail(journalPath_, e);
        return {};
    }

    static void Unfinished(SaveResult& r, const std::vector<Planned>& plan) {
        r.outcome = SaveResult::kUnfinished;
        for (const Planned& p : plan) r.unfinished.push_back(p.file->path);
    }

    // Before the commit nothing was replaced: the temporary files and the
    // journal go. Should that fail too, the next save or open removes them.
    // A journal whose commit was written but not flushed may hold it all the
    // same: it goes first, for good, or else the save stands committed (and
    // the answer is false).
    bool Undo() {
        if (journal_) journal_->Close();
        journal_.reset();
        if (commitWritten_) {
            if (fs_.Remove(journalPath_) != 0) return false;
            if (fs_.FlushFolder(FolderOfPath(journalPath_)) != 0) return true;  // the temporary files stay
            for (const std::string& temp : created_) fs_.Remove(temp);
            return true;
        }
        bool clean = true;
        for (const std::string& temp : created_) clean = fs_.Remove(temp) == 0 && clean;
        if (clean && journalCreated_) fs_.Remove(journalPath_);
        return true;
    }

    FileSystem& fs_;
    SaveLock& lock_;
    std::string anchor_;
    std::string journalPath_;
    std::unique_ptr<WritableFile> journal_;
    bool journalCreated_ = false;
    bool commitWritten_ = false;
    bool committed_ = false;
    std::vector<std::string> created_;
    std::set<std::string> folders_;
    Allowed own_;
};

SaveResult LockFailure(const SaveLock& lock, const std::string& anchor) {
    return Failure(lock.Error() == EWOULDBLOCK ? SaveResult::kLocked : SaveResult::kFailed, anchor,
                   lock.Error() == EWOULDBLOCK ? "another program is saving it" : Reason(lock.Error()));
}

}  // namespace

std::string SaveResult::Text() const {
    if (outcome == kForeign) return reason + ": " + file;
    return file + ": " + Why();
}

std::string SaveResult::Why() const {
    if (outcome == kForeign) return reason + ": " + file;
    if (outcome != kUnfinished) return reason;
    std::string list;
    for (const std::string& f : unfinished) list += (list.empty() ? "" : ", ") + f;
    return reason + "; the save is committed and is finished the next time the files are opened or saved: " + list;
}

SaveResult RecoverSave(const std::string& anchor, FileSystem& fs, const NamedFiles& names) {
    SaveLock lock(anchor, fs);
    if (!lock.Held()) return LockFailure(lock, anchor);
    return Recover(fs, Plain(anchor), Allowed{names, {}});
}

SaveResult SaveFiles(const std::vector<FileToSave>& files, const std::string& anchor, FileSystem& fs,
                     const NamedFiles& names) {
    SaveLock lock(anchor, fs);
    if (!lock.Held()) return LockFailure(lock, anchor);
    const std::string plainAnchor = Plain(anchor);
    // An earlier save of this anchor may also have written the files that
    // this one writes.
    Allowed own{names, {}};
    for (const FileToSave& f : files) own.files.insert(NameKey(Plain(f.path)));
    if (SaveResult r = Recover(fs, plainAnchor, own); !r.ok()) return r;
    std::vector<Planned> plan;
    if (SaveResult r = Plan(fs, files, plainAnchor, plan); !r.ok() || plan.empty()) return r;
    return Saver(fs, lock, plainAnchor, std::move(own)).Run(plan);
}

}  // namespace win
