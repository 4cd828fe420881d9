// The file-system seam of saving over the C runtime's descriptors and kernel32:
// renames replace their target in one step (MoveFileEx), writer locks are
// LockFileEx on the whole file. Windows keeps no owner or mode bits to carry
// over, and a folder's entries need no flush of their own.

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

int LockDescriptor(int& handle) {
    if (handle < 0) return errno;
    OVERLAPPED at{};
    if (LockFileEx(OsHandle(handle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                   MAXDWORD, &at))
        return 0;
    const ::DWORD error = GetLastError();
    // A folder cannot be locked byte-wise; holding it open is what there is.
    if (error != ERROR_LOCK_VIOLATION) return 0;
    _close(handle);
    handle = -1;
    return EWOULDBLOCK;
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
    int Lock(int& handle) override {
        handle = _dup(fd_);
        return LockDescriptor(handle);
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
    int ReadFile(const std::string& path, std::string& bytes) override {
        const int fd = _open(path.c_str(), _O_RDONLY | _O_BINARY);
        if (fd < 0) return errno;
        bytes.clear();
        char chunk[65536];
        int error = 0;
        for (;;) {
            const int n = _read(fd, chunk, sizeof chunk);
            if (n < 0) error = errno;
            if (n <= 0) break;
            bytes.append(chunk, static_cast<std::size_t>(n));
        }
        _close(fd);
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
        handle = OpenShared(path);
        return LockDescriptor(handle);
    }
    bool StillNames(int handle, const std::string& path) override {
        const int named = OpenShared(path);
        if (named < 0) return false;
        BY_HANDLE_FILE_INFORMATION a{}, b{};
        const bool same = GetFileInformationByHandle(OsHandle(handle), &a) &&
                          GetFileInformationByHandle(OsHandle(named), &b) &&
                          a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
                          a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
        _close(named);
        return same;
    }
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
