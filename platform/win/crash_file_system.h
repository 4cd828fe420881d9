#pragma once
// A file system in memory that can crash, for tests: what was not flushed is
// lost at the crash, as after a power cut. A file's bytes (and, after
// TakeOver, its owner and mode) survive only once the file was flushed; a
// folder's entries (files created, renamed, removed) only once the folder
// was. At the crash each folder either keeps its entries as they were last
// flushed or, where the test chooses, as they are (the system may have
// written them meanwhile); a file written in place and not flushed may come
// back torn, half new and half old.
//
// CrashAt(n) makes the n-th change (create, write, flush, rename, removal)
// the moment of the crash: it and every later one fail and change nothing,
// until Crash() turns the files into what the disk held.

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/win/file_system.h"

namespace win::testing {

class CrashFileSystem final : public FileSystem {
public:
    struct Node {
        std::string data, durableData;
        unsigned mode = 0644, durableMode = 0644;
    };
    using Entries = std::map<std::string, std::shared_ptr<Node>>;

    void AddFolder(const std::string& folder) {
        folders_[folder];
        durable_[folder];
    }
    // A file as it lies on disk, flushed.
    void Put(const std::string& path, const std::string& bytes, unsigned mode = 0644) {
        auto node = std::make_shared<Node>(Node{bytes, bytes, mode, mode});
        folders_.at(FolderOfPath(path))[NameOfPath(path)] = node;
        durable_.at(FolderOfPath(path))[NameOfPath(path)] = node;
    }
    // A second name for an existing file, flushed.
    void Link(const std::string& existing, const std::string& path) {
        auto node = folders_.at(FolderOfPath(existing)).at(NameOfPath(existing));
        folders_.at(FolderOfPath(path))[NameOfPath(path)] = node;
        durable_.at(FolderOfPath(path))[NameOfPath(path)] = node;
    }
    const std::shared_ptr<Node>* Find(const std::string& path) const {
        const auto folder = folders_.find(FolderOfPath(path));
        if (folder == folders_.end()) return nullptr;
        const auto it = folder->second.find(NameOfPath(path));
        return it == folder->second.end() ? nullptr : &it->second;
    }
    std::set<std::string> Names(const std::string& folder) const {
        std::set<std::string> names;
        for (const auto& [name, node] : folders_.at(folder)) names.insert(name);
        return names;
    }

    void CrashAt(int n) {
        crashAt_ = n;
        changes_ = 0;
        crashed_ = false;
    }
    bool Crashed() const { return crashed_; }
    int Changes() const { return changes_; }
    // The disk after the crash: folders in `keep` keep their current
    // entries; files not flushed lose their bytes (or tear, when `tear`).
    void Crash(const std::set<std::string>& keep, bool tear) {
        for (auto& [folder, entries] : folders_)
            if (!keep.count(folder)) entries = durable_[folder];
        std::set<Node*> seen;
        for (auto& [folder, entries] : folders_)
            for (auto& [name, node] : entries) {
                if (!seen.insert(node.get()).second) continue;
                if (tear && node->data != node->durableData && !node->durableData.empty()) {
                    const std::size_t half = node->data.size() / 2;
                    node->data = node->data.substr(0, half) +
                                 (half < node->durableData.size() ? node->durableData.substr(half) : std::string());
                } else {
                    node->data = node->durableData;
                }
                node->durableData = node->data;
                node->mode = node->durableMode;
            }
        for (auto& [folder, entries] : folders_) durable_[folder] = entries;
        crashAt_ = 0;
        crashed_ = false;
    }

    // Counts one change; answers EIO from the crash on.
    int Change() {
        if (crashed_) return EIO;
        if (++changes_ == crashAt_) {
            crashed_ = true;
            return EIO;
        }
        return 0;
    }

    int ReadFile(const std::string& path, std::string& bytes, std::uint64_t limit) override {
        const auto* node = Find(path);
        if (!node) return folders_.count(path) ? kNotRegularFile : ENOENT;
        if ((*node)->data.size() > limit) return EFBIG;
        bytes = (*node)->data;
        return 0;
    }
    int Facts(const std::string& path, FileFacts& facts) override {
        facts = FileFacts{};
        if (folders_.count(path)) return EISDIR;
        const auto* node = Find(path);
        if (!node) return 0;
        facts.exists = facts.writable = facts.regular = true;
        facts.mode = (*node)->mode;
        facts.links = 0;
        for (const auto& [folder, entries] : folders_)
            for (const auto& [name, other] : entries) facts.links += other == *node;
        return 0;
    }
    std::string FollowLinks(const std::string& path) override { return path; }
    int CanCreateIn(const std::string& folder) override { return folders_.count(folder) ? 0 : ENOENT; }
    int Create(const std::string& path, std::unique_ptr<WritableFile>& file) override;
    int OpenExisting(const std::string& path, std::unique_ptr<WritableFile>& file) override;
    int Rename(const std::string& from, const std::string& to) override {
        if (const int e = Change()) return e;
        const auto* node = Find(from);
        if (!node || !folders_.count(FolderOfPath(to))) return ENOENT;
        auto moved = *node;
        folders_[FolderOfPath(from)].erase(NameOfPath(from));
        folders_[FolderOfPath(to)][NameOfPath(to)] = moved;
        return 0;
    }
    int Remove(const std::string& path) override {
        if (const int e = Change()) return e;
        if (!Find(path)) return ENOENT;
        folders_[FolderOfPath(path)].erase(NameOfPath(path));
        return 0;
    }
    int FlushFolder(const std::string& folder) override {
        if (const int e = Change()) return e;
        if (!folders_.count(folder)) return ENOENT;
        durable_[folder] = folders_[folder];
        return 0;
    }
    int TryLock(const std::string&, int& handle) override {
        handle = -1;
        return 0;
    }
    bool StillNames(int, const std::string&) override { return true; }
    void Unlock(int) override {}

private:
    class File;
    std::map<std::string, Entries> folders_, durable_;
    int crashAt_ = 0;
    int changes_ = 0;
    bool crashed_ = false;
};

class CrashFileSystem::File final : public WritableFile {
public:
    File(CrashFileSystem& fs, std::shared_ptr<Node> node) : fs_(fs), node_(std::move(node)) {}
    int Append(std::string_view bytes) override {
        if (const int e = fs_.Change()) return e;
        node_->data.replace(at_, std::min(bytes.size(), node_->data.size() > at_ ? node_->data.size() - at_ : 0),
                            bytes);
        at_ += bytes.size();
        return 0;
    }
    int StartFlush() override { return 0; }
    int Flush() override {
        if (const int e = fs_.Change()) return e;
        node_->durableData = node_->data;
        if (tookOver_) node_->durableMode = node_->mode;
        return 0;
    }
    int TakeOver(const FileFacts& facts) override {
        if (const int e = fs_.Change()) return e;
        node_->mode = facts.mode;
        tookOver_ = true;
        return 0;
    }
    int Truncate() override {
        if (const int e = fs_.Change()) return e;
        node_->data.resize(at_);
        return 0;
    }
    int Lock(int& handle) override {
        handle = -1;
        return EBADF;
    }
    int Close() override { return 0; }

private:
    CrashFileSystem& fs_;
    std::shared_ptr<Node> node_;
    std::size_t at_ = 0;
    bool tookOver_ = false;
};

inline int CrashFileSystem::Create(const std::string& path, std::unique_ptr<WritableFile>& file) {
    if (const int e = Change()) return e;
    if (!folders_.count(FolderOfPath(path))) return ENOENT;
    if (Find(path)) return EEXIST;
    auto node = std::make_shared<Node>(Node{{}, {}, 0644, 0644});
    folders_[FolderOfPath(path)][NameOfPath(path)] = node;
    file = std::make_unique<File>(*this, node);
    return 0;
}

inline int CrashFileSystem::OpenExisting(const std::string& path, std::unique_ptr<WritableFile>& file) {
    const auto* node = Find(path);
    if (!node) return ENOENT;
    file = std::make_unique<File>(*this, *node);
    return 0;
}

}  // namespace win::testing
