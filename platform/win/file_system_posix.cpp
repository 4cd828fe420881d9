// The system's file system for saving, over POSIX calls.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "platform/win/file_system.h"

namespace win {

namespace {

int ErrnoOr(int result) { return result == 0 ? 0 : errno; }

// Files of one save on one file system from which one syncfs replaces
// flushing each.
constexpr std::size_t kSyncfsFrom = 16;

// syncfs reports errors of the write-out it waits for from Linux 5.8 on;
// before, it answers 0 regardless.
bool SyncfsReportsErrors() {
    static const bool reports = [] {
        struct utsname name {};
        int major = 0, minor = 0;
        if (::uname(&name) != 0 || std::sscanf(name.release, "%d.%d", &major, &minor) != 2) return false;
        return major > 5 || (major == 5 && minor >= 8);
    }();
    return reports;
}

// Takes the writer lock on an open descriptor without waiting; on failure
// the descriptor is closed and `handle` becomes -1.
int LockDescriptor(int& handle) {
    if (handle < 0) return errno;
    if (::flock(handle, LOCK_EX | LOCK_NB) == 0) return 0;
    const int error = errno;
    ::close(handle);
    handle = -1;
    return error;
}

class PosixFile final : public WritableFile {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override {
        if (fd_ >= 0) ::close(fd_);
    }

    int Append(std::string_view bytes) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return n < 0 ? errno : EIO;
            done += static_cast<std::size_t>(n);
        }
        size_ += bytes.size();
        return 0;
    }
    int StartFlush() override {
#ifdef SYNC_FILE_RANGE_WRITE
        if (::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE) == 0) return 0;
        // File systems without it flush in Flush alone.
        return errno == ENOSYS || errno == EINVAL || errno == ESPIPE ? 0 : errno;
#else
        return 0;
#endif
    }
    int Flush() override { return ErrnoOr(::fdatasync(fd_)); }
    int Descriptor() const { return fd_; }
    int TakeOver(const FileFacts& facts) override {
        if (::fchown(fd_, facts.owner, facts.group) != 0) return errno;
        return ErrnoOr(::fchmod(fd_, facts.mode));
    }
    int Truncate() override { return ErrnoOr(::ftruncate(fd_, static_cast<off_t>(size_))); }
    int Lock(int& handle) override {
        handle = ::dup(fd_);
        return LockDescriptor(handle);
    }
    int Close() override {
        const int fd = fd_;
        fd_ = -1;
        return ErrnoOr(::close(fd));
    }

private:
    int fd_;
    std::size_t size_ = 0;
};

class PosixFileSystem final : public FileSystem {
public:
    int ReadFile(const std::string& path, std::string& bytes) override {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return errno;
        struct stat st {};
        int error = ::fstat(fd, &st) == 0 ? 0 : errno;
        bytes.clear();
        if (error == 0 && S_ISDIR(st.st_mode)) error = EISDIR;
        if (error == 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
        char chunk[65536];
        while (error == 0) {
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) error = errno;
            if (n <= 0) break;
            bytes.append(chunk, static_cast<std::size_t>(n));
        }
        ::close(fd);
        return error;
    }

    int Facts(const std::string& path, FileFacts& facts) override {
        facts = FileFacts{};
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) return errno == ENOENT ? 0 : errno;
        if (S_ISDIR(st.st_mode)) return EISDIR;
        facts.exists = true;
        facts.links = static_cast<unsigned>(st.st_nlink);
        facts.mode = st.st_mode & 07777;
        facts.owner = st.st_uid;
        facts.group = st.st_gid;
        // A file without any write permission is read-only for everyone,
        // as the read-only attribute is, even for the administrator.
        facts.writable = S_ISREG(st.st_mode) && (st.st_mode & 0222) != 0 && ::access(path.c_str(), W_OK) == 0;
        return 0;
    }

    std::string FollowLinks(const std::string& path) override {
        std::string current = path;
        for (int hops = 0; hops < 40; ++hops) {
            char target[PATH_MAX];
            const ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
            if (n < 0) return current;
            std::string next(target, static_cast<std::size_t>(n));
            if (next.empty() || next[0] != '/') {
                const std::string folder = FolderOfPath(current);
                next = folder == "." ? next : folder + "/" + next;
            }
            current = next;
        }
        return current;
    }

    int CanCreateIn(const std::string& folder) override {
        return ErrnoOr(::access(folder.c_str(), W_OK | X_OK));
    }

    int Create(const std::string& path, std::unique_ptr<WritableFile>& file) override {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) return errno;
        file = std::make_unique<PosixFile>(fd);
        return 0;
    }

    int OpenExisting(const std::string& path, std::unique_ptr<WritableFile>& file) override {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return errno;
        file = std::make_unique<PosixFile>(fd);
        return 0;
    }

    int Rename(const std::string& from, const std::string& to) override {
        return ErrnoOr(::rename(from.c_str(), to.c_str()));
    }
    int Remove(const std::string& path) override { return ErrnoOr(::unlink(path.c_str())); }

    int FlushFolder(const std::string& folder) override {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return errno;
        const int error = ErrnoOr(::fsync(fd));
        ::close(fd);
        // Some file systems cannot flush a folder; their entries are then as
        // durable as they get.
        return error == EINVAL ? 0 : error;
    }

    int FlushFiles(const std::vector<WritableFile*>& files, std::size_t& failed) override {
        // Files on one file system are made durable by one syncfs (their
        // write-out already started) instead of one fdatasync each. Where
        // syncfs cannot be trusted to report a failed write-out, or reports
        // one, each file is flushed alone, so that an error names its file.
        std::vector<std::size_t> alone;
        std::map<dev_t, std::vector<std::size_t>> byDevice;
        for (std::size_t i = 0; i < files.size(); ++i) {
            const auto* file = dynamic_cast<const PosixFile*>(files[i]);
            struct stat st {};
            if (SyncfsReportsErrors() && file && ::fstat(file->Descriptor(), &st) == 0)
                byDevice[st.st_dev].push_back(i);
            else
                alone.push_back(i);
        }
        for (const auto& [device, indexes] : byDevice) {
            // syncfs also writes out what other programs left dirty on that
            // file system: for a few files, flushing each costs less.
            const int fd = static_cast<const PosixFile*>(files[indexes.front()])->Descriptor();
            if (indexes.size() < kSyncfsFrom || ::syncfs(fd) != 0) alone.insert(alone.end(), indexes.begin(), indexes.end());
        }
        std::sort(alone.begin(), alone.end());
        for (const std::size_t i : alone)
            if (const int e = files[i]->Flush()) {
                failed = i;
                return e;
            }
        return 0;
    }

    int TryLock(const std::string& path, int& handle) override {
        handle = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        return LockDescriptor(handle);
    }
    bool StillNames(int handle, const std::string& path) override {
        struct stat held {}, named {};
        return ::fstat(handle, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
               held.st_ino == named.st_ino;
    }
    void Unlock(int handle) override {
        if (handle >= 0) ::close(handle);
    }
};

}  // namespace

FileSystem& FileSystem::Native() {
    static PosixFileSystem native;
    return native;
}

std::string FileErrorText(int error) {
    return std::strerror(error);
}

std::string FolderOfPath(const std::string& path) {
    const auto cut = path.rfind('/');
    if (cut == std::string::npos) return ".";
    return cut == 0 ? std::string("/") : path.substr(0, cut);
}

std::string NameOfPath(const std::string& path) {
    const auto cut = path.rfind('/');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace win
