#pragma once
// The few file-system operations that saving needs, behind one small
// interface: the system's own implementation for the programs, and wrappers
// for tests (faults injected at the N-th write, flush or rename). Every
// operation answers 0 or an errno value; nothing throws.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace win {

// What saving must know about a file before replacing it.
struct FileFacts {
    bool exists = false;
    bool writable = false;  // the user may change it (not read-only, not immutable)
    unsigned links = 1;     // hard links to it
    unsigned mode = 0;      // permission bits
    unsigned owner = 0;
    unsigned group = 0;
};

// A file being written. Closing (or destroying) it never makes it durable:
// that is StartFlush and Flush.
class WritableFile {
public:
    virtual ~WritableFile() = default;
    virtual int Append(std::string_view bytes) = 0;
    // Begins writing the data out without waiting for it, so that many files
    // can be flushed together.
    virtual int StartFlush() = 0;
    // Waits until the data (and the size) are durable.
    virtual int Flush() = 0;
    // Gives the file the permissions, owner and group in `facts`.
    virtual int TakeOver(const FileFacts& facts) = 0;
    // Cuts the file at the bytes appended so far (a file rewritten in place).
    virtual int Truncate() = 0;
    // Takes the file's writer lock without waiting (the file is ours alone,
    // so it is always free); it is held until UnlockFile(handle).
    virtual int Lock(int& handle) = 0;
    virtual int Close() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The system's file system.
    static FileSystem& Native();

    virtual int ReadFile(const std::string& path, std::string& bytes) = 0;
    // A missing file answers 0 with facts.exists false.
    virtual int Facts(const std::string& path, FileFacts& facts) = 0;
    // The file a path finally names: symbolic links followed, also a link
    // whose target does not exist yet. Answers `path` when it is no link.
    virtual std::string FollowLinks(const std::string& path) = 0;
    // 0 when files can be created and renamed in `folder`.
    virtual int CanCreateIn(const std::string& folder) = 0;
    // 0 when `target` can be replaced by a file written beside it, as far as
    // the system can tell before anything is written. On Windows: the target's
    // name and every name the save gives beside it fit the path limit
    // (ENAMETOOLONG), and the target can be opened for writing and deleting,
    // so no other program holds it open against that (EBUSY) and the user has
    // the right (EACCES). Elsewhere Facts and CanCreateIn tell it all.
    virtual int CanReplace(const std::string& target) {
        (void)target;
        return 0;
    }
    // A new file that must not exist yet.
    virtual int Create(const std::string& path, std::unique_ptr<WritableFile>& file) = 0;
    // An existing file, to be rewritten from its first byte.
    virtual int OpenExisting(const std::string& path, std::unique_ptr<WritableFile>& file) = 0;
    virtual int Rename(const std::string& from, const std::string& to) = 0;
    virtual int Remove(const std::string& path) = 0;
    // Makes the folder's entries (files created, renamed, removed) durable.
    virtual int FlushFolder(const std::string& folder) = 0;
    // Makes several open files durable, as Flush on each does, but together
    // where the system can (their write-out started before). On failure
    // `failed` is the index of the file concerned.
    virtual int FlushFiles(const std::vector<WritableFile*>& files, std::size_t& failed) {
        for (failed = 0; failed < files.size(); ++failed)
            if (const int e = files[failed]->Flush()) return e;
        return 0;
    }

    // Writer locks between processes: TryLock takes the lock of an existing
    // file or folder without waiting (EWOULDBLOCK when another process holds
    // it); StillNames says whether the locked file is still the one at
    // `path` (a save may have replaced it meanwhile).
    virtual int TryLock(const std::string& path, int& handle) = 0;
    virtual bool StillNames(int handle, const std::string& path) = 0;
    virtual void Unlock(int handle) = 0;
};

// Why a file operation failed, in words, for an errno value the file system
// answered (on Windows in the system's own terms: path limit, another program).
std::string FileErrorText(int error);

// Folder of a path ("." for a bare name) and its last element.
std::string FolderOfPath(const std::string& path);
std::string NameOfPath(const std::string& path);

}  // namespace win
