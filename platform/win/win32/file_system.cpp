// The file-system seam of saving over the C runtime's descriptors and kernel32:
// renames replace their target in one step (MoveFileEx). Windows cannot
// replace a file that a writer holds open, so the writer lock of a name is a
// hidden file beside it (".NAME.lock", or ".tarnwick.lock" inside a folder),
// held open without sharing and deleted by the system when its last handle
// closes, also when the process is killed. Windows keeps no owner or mode bits
// to carry over, and a folder's entries need no flush of their own.

#include "platform/win/file_system.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>

#include <windows.h>

namespace win {

namespace {

int ErrnoOf(::DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return ENOENT;
        case ERROR_ACCESS_DENIED: return EACCES;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return EWOULDBLOCK;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return EEXIST;
        default: return EIO;
    }
}

HANDLE OsHandle(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

// The lock file of a name: beside a file, inside a folder.
std::string LockFileOf(const std::string& path) {
    const ::DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return path + "\\.tarnwick.lock";
    const std::string folder = FolderOfPath(path);
    return (folder == "." ? std::string() : folder + "\\") + "." + NameOfPath(path) + ".lock";
}

// A descriptor for a file or folder, opened for reading and shared with all.
int OpenShared(const std::string& path) {
    const HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        errno = ErrnoOf(GetLastError());
        return -1;
    }
    return _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY);
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

class Win32FileSystem final : public FileSystem {
public:
    int ReadFile(const std::string& path, std::string& bytes, std::uint64_t limit) override {
        bytes.clear();
        const int fd = _open(path.c_str(), _O_RDONLY | _O_BINARY);
        if (fd < 0) return errno;
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

    int Rename(const std::string& from, const std::string& to) override {
        return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                   ? 0
                   : ErrnoOf(GetLastError());
    }
    int Remove(const std::string& path) override {
        return DeleteFileA(path.c_str()) ? 0 : ErrnoOf(GetLastError());
    }
    int FlushFolder(const std::string&) override { return 0; }

    int TryLock(const std::string& path, int& handle) override {
        handle = -1;
        const HANDLE h = CreateFileA(LockFileOf(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const ::DWORD error = GetLastError();
            // Another writer holds it open (or is just letting it go).
            return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ? EWOULDBLOCK : ErrnoOf(error);
        }
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
