// The file-system seam of saving over the C runtime's descriptors and kernel32:
// renames replace their target in one step (ReplaceFile, or MoveFileEx for a
// new name) and the replaced file's attributes stay. Windows cannot replace a
// file that a writer holds open, so the writer lock of a name is a hidden file
// beside it (".NAME.lock", or ".tarnwick.lock" inside a folder), held open
// without sharing and deleted by the system when its last handle closes, also
// when the process is killed. Windows keeps no owner or mode bits to carry
// over, and a folder's entries need no flush of their own.
//
// Virus scanners and indexers open files for a moment; an operation that
// meets another program's handle is tried again for about a second before it
// fails. Paths are limited to MAX_PATH - 1 characters, so a save checks every
// name it will give before it writes anything.

#include "platform/win/file_system.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include <windows.h>

namespace win {

namespace {

int ErrnoOf(::DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return ENOENT;
        case ERROR_ACCESS_DENIED: return EACCES;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return EBUSY;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return EEXIST;
        case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
        default: return EIO;
    }
}

// The longest path a file function takes, without the terminating zero.
constexpr std::size_t kLongestPath = MAX_PATH - 1;
// What the names a save gives beside a target add to its length at most: the
// temporary ".NAME.<pid>-<n>.tmp" (a dot, ten digits each), the journal
// ".NAME.save-journal" and the lock ".NAME.lock" are all shorter.
constexpr std::size_t kLongestSuffix = 1 + 1 + 10 + 1 + 10 + 4;

// How often and how long an operation that meets another program's handle is
// tried again.
constexpr int kTries = 20;
constexpr ::DWORD kPauseMs = 50;

bool HeldByAnother(::DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// Runs `operation` (a kernel32 call answering TRUE on success) until it
// succeeds, fails for another reason than a sharing violation, or the tries
// are spent; answers 0 or the last error.
template <typename Operation>
::DWORD Retrying(Operation operation) {
    for (int attempt = 1;; ++attempt) {
        if (operation()) return 0;
        const ::DWORD error = GetLastError();
        if (!HeldByAnother(error) || attempt == kTries) return error;
        Sleep(kPauseMs);
    }
}

std::string FullPath(const std::string& path) {
    char full[32768];
    const ::DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return n && n < sizeof full ? std::string(full, n) : path;
}

// The lock file of a name: beside a file, inside a folder.
std::string LockFileOf(const std::string& path) {
    const ::DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return path + "\\.tarnwick.lock";
    const std::string folder = FolderOfPath(path);
    return (folder == "." ? std::string() : folder + "\\") + "." + NameOfPath(path) + ".lock";
}

// How many names (hard links) the file has; 1 when the system cannot tell.
// A save rewrites a file with several in place, so that every name keeps
// naming the new bytes.
unsigned LinksOf(const std::string& path) {
    const HANDLE h = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 1;
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = GetFileInformationByHandle(h, &information);
    CloseHandle(h);
    return known && information.nNumberOfLinks > 1 ? information.nNumberOfLinks : 1;
}

class Win32File final : public WritableFile {
public:
    explicit Win32File(int fd) : fd_(fd) {}
    ~Win32File() override {
        if (fd_ >= 0) _close(fd_);
    }
    int Append(std::string_view bytes) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const int n = _write(fd_, bytes.data() + done, static_cast<unsigned>(bytes.size() - done));
            if (n <= 0) return n < 0 ? errno : EIO;
            done += static_cast<std::size_t>(n);
        }
        size_ += bytes.size();
        return 0;
    }
    int StartFlush() override { return 0; }
    int Flush() override { return _commit(fd_) == 0 ? 0 : errno; }
    int TakeOver(const FileFacts&) override { return 0; }
    int Truncate() override { return _chsize_s(fd_, static_cast<long long>(size_)); }
    // The lock belongs to the name, which a replaced file keeps: nothing to add.
    int Lock(int& handle) override {
        handle = -1;
        return 0;
    }
    int Close() override {
        const int fd = fd_;
        fd_ = -1;
        return _close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_;
    std::size_t size_ = 0;
};

// Why the lock file could not be opened. Another writer holds it open, or is
// just letting it go (a file being deleted refuses access): try again. A
// folder or a read-only file in its place, or a folder where the user may
// not create it, is never let go: say so at once.
int LockRefusal(const std::string& lockFile, ::DWORD error) {
    if (error == ERROR_SHARING_VIOLATION) return EWOULDBLOCK;
    if (error != ERROR_ACCESS_DENIED) return ErrnoOf(error);
    const ::DWORD attributes = GetFileAttributesA(lockFile.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? EACCES : EWOULDBLOCK;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EISDIR;
    return attributes & FILE_ATTRIBUTE_READONLY ? EACCES : EWOULDBLOCK;
}

class Win32FileSystem final : public FileSystem {
public:
    int ReadFile(const std::string& path, std::string& bytes, std::uint64_t limit) override {
        bytes.clear();
        const int fd = _open(path.c_str(), _O_RDONLY | _O_BINARY);
        if (fd < 0) {
            // A folder cannot be opened as a file: say what it is, not that
            // access was denied.
            const int error = errno;
            const ::DWORD attributes = GetFileAttributesA(path.c_str());
            return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? kNotRegularFile
                                                                                                   : error;
        }
        struct _stat64 st {};
        int error = _fstat64(fd, &st) == 0 ? 0 : errno;
        if (error == 0 && (st.st_mode & _S_IFMT) != _S_IFREG) error = kNotRegularFile;
        if (error == 0 && static_cast<std::uint64_t>(st.st_size) > limit) error = EFBIG;
        if (error == 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
        char chunk[65536];
        while (error == 0) {
            const int n = _read(fd, chunk, sizeof chunk);
            if (n < 0) error = errno;
            if (n <= 0) break;
            bytes.append(chunk, static_cast<std::size_t>(n));
            if (bytes.size() > limit) error = EFBIG;
        }
        _close(fd);
        if (error) bytes.clear();
        return error;
    }

    int Facts(const std::string& path, FileFacts& facts) override {
        facts = FileFacts{};
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
            const int error = ErrnoOf(GetLastError());
            return error == ENOENT ? 0 : error;
        }
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return EISDIR;
        facts.exists = true;
        facts.regular = !(data.dwFileAttributes & (FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT));
        facts.writable = !(data.dwFileAttributes & FILE_ATTRIBUTE_READONLY);
        facts.mode = facts.writable ? 0666 : 0444;
        facts.links = LinksOf(path);
        return 0;
    }

    std::string FollowLinks(const std::string& path) override { return path; }

    int CanCreateIn(const std::string& folder) override {
        const ::DWORD attributes = GetFileAttributesA(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return ErrnoOf(GetLastError());
        return attributes & FILE_ATTRIBUTE_DIRECTORY ? 0 : ENOTDIR;
    }

    int Create(const std::string& path, std::unique_ptr<WritableFile>& file) override {
        const int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd < 0) return errno;
        file = std::make_unique<Win32File>(fd);
        return 0;
    }

    int OpenExisting(const std::string& path, std::unique_ptr<WritableFile>& file) override {
        const int fd = _open(path.c_str(), _O_WRONLY | _O_BINARY);
        if (fd < 0) return errno;
        file = std::make_unique<Win32File>(fd);
        return 0;
    }

    int CanReplace(const std::string& target) override {
        if (FullPath(target).size() + kLongestSuffix > kLongestPath) return ENAMETOOLONG;
        if (GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) return 0;  // a new file
        // Opened as the replacement will need it, shared with every other
        // reader and writer: fails only where another program's handle or
        // the file's rights stand in the way.
        HANDLE h = INVALID_HANDLE_VALUE;
        const ::DWORD error = Retrying([&] {
            h = CreateFileA(target.c_str(), GENERIC_WRITE | DELETE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
            return h != INVALID_HANDLE_VALUE;
        });
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        if (HeldByAnother(error)) return EBUSY;
        return error ? ErrnoOf(error) : 0;
    }

    // An existing target is replaced by ReplaceFile, which keeps its
    // attributes (hidden, archive, ...), its creation time and its rights; a
    // new name is a move.
    int Rename(const std::string& from, const std::string& to) override {
        const ::DWORD attributes = GetFileAttributesA(to.c_str());
        ::DWORD error = 0;
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            error = Retrying([&] {
                return ReplaceFileA(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                                    nullptr);
            });
            // The replaced file is gone but the new one kept its name: the
            // move below finishes the step.
            if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT) error = ERROR_FILE_NOT_FOUND;
            if (error == 0) {
                // ReplaceFile keeps them; where a system does not, they are set.
                const ::DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                     FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
                const ::DWORD now = GetFileAttributesA(to.c_str());
                if (now != INVALID_FILE_ATTRIBUTES && (now & kept) != (attributes & kept))
                    SetFileAttributesA(to.c_str(), (now & ~kept) | (attributes & kept));
                return 0;
            }
            if (error != ERROR_FILE_NOT_FOUND) return ErrnoOf(error);
        }
        error = Retrying([&] {
            return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        });
        return error ? ErrnoOf(error) : 0;
    }
    int Remove(const std::string& path) override {
        const ::DWORD error = Retrying([&] { return DeleteFileA(path.c_str()); });
        return error ? ErrnoOf(error) : 0;
    }
    int FlushFolder(const std::string&) override { return 0; }

    int TryLock(const std::string& path, int& handle) override {
        handle = -1;
        const HANDLE h = CreateFileA(LockFileOf(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h == INVALID_HANDLE_VALUE) return LockRefusal(LockFileOf(path), GetLastError());
        handle = _open_osfhandle(reinterpret_cast<intptr_t>(h), 0);
        return handle < 0 ? EIO : 0;
    }
    // The lock is the name's, not the file's: a save that replaced the file
    // meanwhile changes nothing about who holds it.
    bool StillNames(int, const std::string&) override { return true; }
    void Unlock(int handle) override {
        if (handle >= 0) _close(handle);
    }
};

}  // namespace

FileSystem& FileSystem::Native() {
    static Win32FileSystem native;
    return native;
}

std::string FileErrorText(int error) {
    switch (error) {
        case ENAMETOOLONG: return "the path is longer than " + std::to_string(kLongestPath) + " characters";
        case EBUSY: return "another program has the file open";
        default: return std::strerror(error);
    }
}

// Both separators end a folder name on Windows.
std::string FolderOfPath(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    if (cut == std::string::npos) return ".";
    return cut == 0 ? path.substr(0, 1) : path.substr(0, cut);
}

std::string NameOfPath(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace win
