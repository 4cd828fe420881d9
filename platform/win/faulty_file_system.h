#pragma once
// A file system that fails on purpose, for tests: the N-th write, flush,
// reservation, rename or removal answers EIO (or a chosen error; or every
// lock answers a chosen error), every other call goes to the real one.
// Looping N = 1, 2, 3 ... until an operation succeeds shows what happens
// when each of its steps fails in turn.

#include <string>

#include "platform/win/file_system.h"

namespace win {

class FaultyFileSystem final : public FileSystem {
public:
    explicit FaultyFileSystem(FileSystem& base) : base_(base) {}

    // Fails the n-th counted call from now on (0: none fails) with `error`;
    // when `onward`, every later one too (a disk that stays broken).
    void FailAt(int n, int error = 5 /* EIO */, bool onward = false) {
        failAt_ = n;
        error_ = error;
        onward_ = onward;
        calls_ = 0;
    }
    bool Failed() const { return failAt_ > 0 && calls_ >= failAt_; }
    int Calls() const { return calls_; }

    // Every lock from now on answers `error` (0: locks work), as a file
    // system without locks does.
    void FailLocksWith(int error) { lockError_ = error; }
    int LockError() const { return lockError_; }

    // Counts one write, flush, reservation, rename or removal; answers the
    // error at the chosen one.
    int Step() {
        ++calls_;
        return failAt_ > 0 && (calls_ == failAt_ || (onward_ && calls_ > failAt_)) ? error_ : 0;
    }

    int ReadFile(const std::string& path, std::string& bytes, std::uint64_t limit) override {
        return base_.ReadFile(path, bytes, limit);
    }
    int Facts(const std::string& path, FileFacts& facts) override { return base_.Facts(path, facts); }
    std::string FollowLinks(const std::string& path) override { return base_.FollowLinks(path); }
    int CanCreateIn(const std::string& folder) override { return base_.CanCreateIn(folder); }
    bool CanTakeOver(const FileFacts& facts) override { return base_.CanTakeOver(facts); }
    int CanReplace(const std::string& target) override { return base_.CanReplace(target); }
    int Create(const std::string& path, std::unique_ptr<WritableFile>& file) override;
    int OpenExisting(const std::string& path, std::unique_ptr<WritableFile>& file) override;
    int Rename(const std::string& from, const std::string& to) override {
        if (const int e = Step()) return e;
        return base_.Rename(from, to);
    }
    int Remove(const std::string& path) override {
        if (const int e = Step()) return e;
        return base_.Remove(path);
    }
    int FlushFolder(const std::string& folder) override {
        if (const int e = Step()) return e;
        return base_.FlushFolder(folder);
    }
    int TryLock(const std::string& path, int& handle) override {
        if (lockError_ != 0) {
            handle = -1;
            return lockError_;
        }
        return base_.TryLock(path, handle);
    }
    bool StillNames(int handle, const std::string& path) override { return base_.StillNames(handle, path); }
    void Unlock(int handle) override { base_.Unlock(handle); }

private:
    FileSystem& base_;
    int failAt_ = 0;
    int error_ = 5;
    bool onward_ = false;
    int calls_ = 0;
    int lockError_ = 0;
};

}  // namespace win
