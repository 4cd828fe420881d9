#pragma once
// The one way the suite writes files: a set of files is saved all together or
// not at all, durably, without breaking links or permissions.
//
// A save names an anchor (a project's .vbp, or the one file written): the
// writer lock is taken on it, and a small journal beside it records the plan
// while the files are replaced. The steps:
//   1. plan: every target is checked (links followed to the file they name;
//      a file the user may not write is refused before anything changes) and
//      files whose bytes would not change are left alone;
//   2. each new content goes to a temporary file beside its target, write-out
//      is started on all of them, then all are flushed in one pass;
//   3. the journal is committed, the targets are replaced (by rename, or in
//      place for a file with several hard links or an owner we cannot give a
//      new file), the folders are flushed and the journal removed.
// A save interrupted at any moment is finished (journal committed) or undone
// (not committed) by the next save or RecoverSave of the same anchor, so the
// files are either all old or all new and no temporary file remains.

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "platform/win/file_system.h"

namespace win {

struct FileToSave {
    std::string path;
    std::string bytes;
};

struct SaveResult {
    enum Outcome { kSaved, kRefused, kLocked, kFailed };
    Outcome outcome = kSaved;
    std::size_t changed = 0;  // files whose bytes changed
    std::string file;         // the file concerned when not saved
    std::string reason;       // why, for a message ("read-only", the system's text)
    bool ok() const { return outcome == kSaved; }
    // "<file>: <reason>" for messages.
    std::string Text() const;
};

// How long a writer waits for another one on the same anchor: 10 seconds, or
// $TARNWICK_LOCK_WAIT_MS.
std::chrono::milliseconds DefaultLockWait();

// Saves `files` (paths as given: links are written through) under the lock
// and journal of `anchor`. Nothing is changed unless the result is kSaved,
// apart from finishing an earlier interrupted save of the same anchor.
SaveResult SaveFiles(const std::vector<FileToSave>& files, const std::string& anchor,
                     FileSystem& fs = FileSystem::Native());

// Finishes or undoes an interrupted save of `anchor`, under its lock.
SaveResult RecoverSave(const std::string& anchor, FileSystem& fs = FileSystem::Native());

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
