// The system's file system for saving, over POSIX calls.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <thread>
#include <vector>

#include "platform/win/file_system.h"

namespace win {

namespace {

int ErrnoOr(int result) { return result == 0 ? 0 : errno; }

// Threads that flush or rename together, and the fewest calls worth them.
constexpr std::size_t kThreads = 8;
constexpr std::size_t kCallsPerThread = 4;

// Runs work(0) ... work(count - 1) on a few threads. Flushes and renames
// mostly wait for the disk: waiting together lets it serve their requests at
// once (and merge the cache flushes of many files into a few). Answers the
// error of the lowest index that failed, that index in `failed`.
int AllAtOnce(std::size_t count, const std::function<int(std::size_t)>& work, std::size_t& failed) {
    const std::size_t threads = std::min(kThreads, count / kCallsPerThread);
    std::vector<int> errors(count, 0);
    if (threads < 2) {
        for (std::size_t i = 0; i < count; ++i)
            if ((errors[i] = work(i)) != 0) break;
    } else {
        std::atomic<std::size_t> next{0};
        std::vector<std::thread> pool;
        for (std::size_t t = 0; t < threads; ++t)
            pool.emplace_back([&] {
                for (std::size_t i; (i = next++) < count;) errors[i] = work(i);
            });
        for (std::thread& thread : pool) thread.join();
    }
    for (failed = 0; failed < count; ++failed)
        if (errors[failed] != 0) return errors[failed];
    return 0;
}

// The byte that writers lock: far beyond the end of any file the suite
// writes, so that no reader ever meets it, even where a share turns
// byte-range locks into mandatory ones (SMB) or maps whole-file locks onto
// byte ranges (NFS).
constexpr off_t kLockOffset = off_t{1} << 62;

// Takes the lock of kLockOffset on an open descriptor without waiting: a
// writer's (F_WRLCK) on one opened for writing, a shared one (F_RDLCK) where
// the file could only be opened for reading. Locks of open file
// descriptions, so that closing another descriptor of the same file (a
// read) keeps them. On failure the descriptor is closed and `handle`
// becomes -1.
int LockDescriptor(int& handle, short type = F_WRLCK) {
    if (handle < 0) return errno;
    int error = 0;
#ifdef F_OFD_SETLK
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = kLockOffset;
    range.l_len = 1;
    if (::fcntl(handle, F_OFD_SETLK, &range) == 0) return 0;
    error = errno == EACCES || errno == EAGAIN ? EWOULDBLOCK : errno;
#else
    error = ::flock(handle, (type == F_WRLCK ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0 ? 0 : errno;
    if (error == 0) return 0;
#endif
    ::close(handle);
    handle = -1;
    return error;
}

// A folder's lock (an anchor that does not exist yet): a folder cannot be
// opened for writing, so it takes flock, which a local file system always has.
int LockFolder(int& handle) {
    if (handle < 0) return errno;
    if (::flock(handle, LOCK_EX | LOCK_NB) == 0) return 0;
    const int error = errno;
    ::close(handle);
    handle = -1;
    return error;
}

// Reads an open file whole into `bytes`, straight into its buffer: one read
// for a file whose size is known, and one more that finds its end.
int ReadRegular(int fd, std::string& bytes, std::uint64_t limit) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return errno;
    if (!S_ISREG(st.st_mode)) return kNotRegularFile;
    if (static_cast<std::uint64_t>(st.st_size) > limit) return EFBIG;
    // One byte more than the size shows whether the file grew meanwhile.
    std::size_t capacity = static_cast<std::size_t>(st.st_size) + 1;
    bytes.resize(capacity);
    std::size_t have = 0;
    for (;;) {
        const ssize_t n = ::read(fd, bytes.data() + have, capacity - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) break;
        have += static_cast<std::size_t>(n);
        if (have > limit) return EFBIG;
        if (have == capacity) {
            capacity = static_cast<std::size_t>(std::min<std::uint64_t>(limit + 1, capacity * 2));
            bytes.resize(capacity);
        }
    }
    bytes.resize(have);
    return 0;
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
    // fdatasync leaves out what reading the data does not need, such as the
    // owner and mode: after TakeOver, fsync.
    int Flush() override { return ErrnoOr(tookOver_ ? ::fsync(fd_) : ::fdatasync(fd_)); }
    int TakeOver(const FileFacts& facts) override {
        // A new file mostly has them already (the user's own file, the usual
        // permissions): then nothing changes, and nothing more is flushed.
        struct stat st {};
        if (::fstat(fd_, &st) != 0) return errno;
        const bool owned = st.st_uid == facts.owner && st.st_gid == facts.group;
        if (owned && (st.st_mode & 07777) == facts.mode) return 0;
        tookOver_ = true;
        if (!owned && ::fchown(fd_, facts.owner, facts.group) != 0) return errno;
        return ErrnoOr(::fchmod(fd_, facts.mode));
    }
    int Truncate() override { return ErrnoOr(::ftruncate(fd_, static_cast<off_t>(size_))); }
    int Reserve(std::size_t size) override {
        if (size == 0) return 0;
#ifdef FALLOC_FL_KEEP_SIZE
        if (::fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) == 0) return 0;
        // File systems that cannot reserve (some network ones) are written
        // without it.
        return errno == EOPNOTSUPP || errno == ENOSYS || errno == EINVAL ? 0 : errno;
#else
        return 0;
#endif
    }
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
    bool tookOver_ = false;
};

class PosixFileSystem final : public FileSystem {
public:
    int ReadFile(const std::string& path, std::string& bytes, std::uint64_t limit) override {
        bytes.clear();
        // Without O_NONBLOCK, opening a FIFO would wait for a writer.
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) return errno;
        const int error = ReadRegular(fd, bytes, limit);
        ::close(fd);
        if (error) bytes.clear();
        return error;
    }

    int Facts(const std::string& path, FileFacts& facts) override {
        facts = FileFacts{};
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) return errno == ENOENT ? 0 : errno;
        if (S_ISDIR(st.st_mode)) return EISDIR;
        facts.exists = true;
        facts.regular = S_ISREG(st.st_mode);
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

    // Only the administrator gives a file away; anyone may give their own
    // file a group they belong to.
    bool CanTakeOver(const FileFacts& facts) override {
        if (::geteuid() == 0) return true;
        if (facts.owner != ::geteuid()) return false;
        if (facts.group == ::getegid()) return true;
        std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
        const int n = ::getgroups(static_cast<int>(groups.size()), groups.data());
        for (int i = 0; i < n; ++i)
            if (groups[static_cast<std::size_t>(i)] == facts.group) return true;
        return false;
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

    // Replacing a file frees the old one's blocks, which a file system
    // mounted with discard passes to the disk at once, waiting for it: the
    // renames of many files wait together.
    int RenameFiles(const std::vector<std::pair<std::string, std::string>>& renames, std::size_t& failed) override {
        return AllAtOnce(
            renames.size(), [&](std::size_t i) { return Rename(renames[i].first, renames[i].second); }, failed);
    }

    int FlushFiles(const std::vector<WritableFile*>& files, std::size_t& failed) override {
        return AllAtOnce(files.size(), [&](std::size_t i) { return files[i]->Flush(); }, failed);
    }

    int FlushFolder(const std::string& folder) override {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return errno;
        const int error = ErrnoOr(::fsync(fd));
        ::close(fd);
        // Some file systems cannot flush a folder; their entries are then as
        // durable as they get.
        return error == EINVAL ? 0 : error;
    }

    int TryLock(const std::string& path, int& handle) override {
        // Opened for writing (never truncated, nothing written) where the
        // user may, so that the lock excludes every other writer.
        const int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
        handle = ::open(path.c_str(), O_RDWR | flags);
        if (handle >= 0) return LockDescriptor(handle, F_WRLCK);
        if (errno == EISDIR) {
            handle = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | flags);
            return LockFolder(handle);
        }
        if (errno != EACCES && errno != EPERM && errno != EROFS && errno != ETXTBSY) return errno;
        // A file this user may only read: a shared lock still waits for
        // (and holds off) every writer that may write it.
        handle = ::open(path.c_str(), O_RDONLY | flags);
        return LockDescriptor(handle, F_RDLCK);
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
