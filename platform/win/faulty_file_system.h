#pragma once
// A file system that fails on purpose, for tests: the N-th write, flush,
// rename or removal answers EIO, every other call goes to the real one.
// Looping N = 1, 2, 3 ... until an operation succeeds shows what happens
// when each of its steps fails in turn.

#include <string>

#include "platform/win/file_system.h"

namespace win {

class FaultyFileSystem final : public FileSystem {
public:
    explicit FaultyFileSystem(FileSystem& base) : base_(base) {}

    // Fails the n-th counted call from now on (0: none fails).
    void FailAt(int n) {
        failAt_ = n;
        calls_ = 0;
    }
    bool Failed() const { return failAt_ > 0 && calls_ >= failAt_; }
    int Calls() const { return calls_; }

    // Counts one write, flush, rename or removal; answers EIO at the chosen one.
    int Step() { return ++calls_ == failAt_ ? 5 /* EIO */ : 0; }

    int ReadFile(const std::string& path, std::string& bytes) override { return base_.ReadFile(path, bytes); }
    int Facts(const std::string& path, FileFacts& facts) override { return base_.Facts(path, facts); }
    std::string FollowLinks(const std::string& path) override { return base_.FollowLinks(path); }
    int CanCreateIn(const std::string& folder) override { return base_.CanCreateIn(folder); }
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
    int TryLock(const std::string& path, int& handle) override { return base_.TryLock(path, handle); }
    bool StillNames(int handle, const std::string& path) override { return base_.StillNames(handle, path); }
    void Unlock(int handle) override { base_.Unlock(handle); }

private:
    FileSystem& base_;
    int failAt_ = 0;
    int calls_ = 0;
};

}  // namespace win
