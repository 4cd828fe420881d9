#pragma once
// The one way the suite writes files: a set of files is saved all together or
// not at all, durably, without breaking links or permissions.
//
// A save names an anchor (a project's .vbp, or the one file written): the
// writer lock is taken on it, and a small journal beside it
// (save_journal.h) records the plan while the files are replaced. The steps:
//   1. plan: every target is checked (links followed to the file they name;
//      a file the user may not write is refused before anything changes) and
//      files whose bytes would not change are left alone;
//   2. the journal's first version (names relative to the anchor's folder,
//      hashes of old and new bytes) is made durable;
//   3. each new content goes to a temporary file beside its target; write-out
//      is started on each, then each is flushed (fsync where the owner and
//      mode were given to it), and room is reserved in the files to be
//      rewritten in place;
//   4. the folders are flushed, the journal is committed and flushed;
//   5. the targets are replaced: by rename, which is atomic for each file,
//      or, for a file with several hard links or an owner a new file cannot
//      get, by copying the flushed temporary file into it, which is not: a
//      crash during that copy leaves it torn until the next open copies it
//      again; then the folders are flushed and the journal removed.
// What is promised is for the set: after a crash at any moment the next save
// or RecoverSave of the anchor finds the files all old (not committed) or
// finishes them all new (committed), and removes the temporary files. A
// reader that opens a file while a save runs sees the old or the new bytes,
// except in a file rewritten in place.
//
// Recovery trusts no journal: it acts only when every step names the anchor
// or a file the anchor names, its temporary file has the name a save gives
// it beside the target and is a file of its own, and the hashes show the
// files as this save left them. Otherwise it changes nothing and answers
// kForeign.

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/file_system.h"

namespace win {

struct FileToSave {
    std::string path;
    std::string bytes;
    // When set, makes the bytes instead: called each time the save needs
    // them (to compare, then to write), so that a large save never holds
    // every file's new content at once.
    std::function<std::string()> produce = {};
};

struct SaveResult {
    // kRefused, kLocked, kFailed: nothing changed. kUnfinished: the save was
    // committed but not every file could be replaced; the next save or open
    // of the anchor finishes it (the files are in `unfinished`). kForeign: a
    // journal beside the anchor is not this anchor's own save; it and every
    // file were left alone (`file` is the journal).
    enum Outcome { kSaved, kRefused, kLocked, kFailed, kUnfinished, kForeign };
    Outcome outcome = kSaved;
    std::size_t changed = 0;  // files whose bytes changed
    std::string file;         // the file concerned when not saved
    std::string reason;       // why, for a message ("read-only", the system's text)
    std::vector<std::string> unfinished;
    bool ok() const { return outcome == kSaved; }
    // "<file>: <reason>" for messages ("<reason>: <journal>" for kForeign).
    std::string Text() const;
    // The reason for a message that names the file already: for kForeign
    // with the journal, for kUnfinished with what happens to the files.
    std::string Why() const;
};

// The files an anchor names besides itself (a project's modules), read from
// the anchor's bytes, as paths the save would be given. Recovery allows a
// journal to touch only these, the anchor and the files of the save under way.
using NamedFiles = std::function<std::vector<std::string>(const std::string& anchorBytes)>;

// How long a writer waits for another one on the same anchor: 10 seconds, or
// $TARNWICK_LOCK_WAIT_MS.
std::chrono::milliseconds DefaultLockWait();

// Saves `files` (paths as given: links are written through) under the lock
// and journal of `anchor`. Nothing is changed unless the result is kSaved or
// kUnfinished, apart from finishing an earlier interrupted save of the same
// anchor.
SaveResult SaveFiles(const std::vector<FileToSave>& files, const std::string& anchor,
                     FileSystem& fs = FileSystem::Native(), const NamedFiles& names = {});

// Finishes or undoes an interrupted save of `anchor`, under its lock.
SaveResult RecoverSave(const std::string& anchor, FileSystem& fs = FileSystem::Native(),
                       const NamedFiles& names = {});

// The writer lock of an anchor, held for a whole read-modify-save (a command
// on a project, a profile update). Within one process the lock is shared: a
// save of an anchor whose lock the process holds goes ahead.
class SaveLock {
public:
    SaveLock(const std::string& anchor, FileSystem& fs = FileSystem::Native(),
             std::chrono::milliseconds wait = DefaultLockWait());
    ~SaveLock();
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;

    bool Held() const { return key_.size() > 0 && error_ == 0; }
    // EWOULDBLOCK when another writer kept it for the whole wait, else errno.
    int Error() const { return error_; }
    // A file the lock's holder has just created at the anchor's place: it is
    // locked too, so that the next writer waits for this one to finish.
    void Include(WritableFile& file);

private:
    FileSystem& fs_;
    std::string key_;
    int error_ = 0;
};

}  // namespace win
