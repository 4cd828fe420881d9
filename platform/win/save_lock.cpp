// The writer lock of a save anchor: the anchor file itself while it exists,
// else its folder (so that two writers creating one file also wait for each
// other). After taking it, the locked file must still be the one at the
// anchor's path: a save that replaced the file meanwhile makes the waiter
// start again on the new file.

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/win/path_text.h"
#include "platform/win/save.h"

namespace win {

namespace {

struct HeldLock {
    FileSystem* fs = nullptr;
    std::vector<int> handles;
    int users = 0;
};

std::mutex heldMutex;
std::map<std::string, HeldLock> held;  // by anchor, as the file it names

int TryOnce(FileSystem& fs, const std::string& key, int& handle) {
    FileFacts facts;
    if (const int e = fs.Facts(key, facts)) return e;
    const std::string target = facts.exists ? key : FolderOfPath(key);
    if (const int e = fs.TryLock(target, handle)) return e == ENOENT && facts.exists ? EAGAIN : e;
    FileFacts now;
    const bool same = facts.exists ? fs.StillNames(handle, key) : fs.Facts(key, now) == 0 && !now.exists;
    if (same) return 0;
    fs.Unlock(handle);
    return EAGAIN;  // replaced or created meanwhile: again, on what is there now
}

}  // namespace

std::chrono::milliseconds DefaultLockWait() {
    if (const char* text = std::getenv("TARNWICK_LOCK_WAIT_MS")) {
        char* end = nullptr;
        const long ms = std::strtol(text, &end, 10);
        if (end != text && *end == '\0' && ms >= 0) return std::chrono::milliseconds(ms);
    }
    return std::chrono::seconds(10);
}

SaveLock::SaveLock(const std::string& anchor, FileSystem& fs, std::chrono::milliseconds wait) : fs_(fs) {
    // One anchor, one key, however the caller names it: a command that opens
    // "Ledger.vbp" and saves "/work/Ledger.vbp" holds one lock, not two that
    // wait for each other.
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(PathOf(anchor), ignored);
    std::string normal;
    const std::string key =
        fs.FollowLinks(!absolute.empty() && TryTextOf(absolute.lexically_normal(), normal) ? normal : anchor);
    {
        std::lock_guard guard(heldMutex);
        auto it = held.find(key);
        if (it != held.end()) {
            ++it->second.users;
            key_ = key;
            return;
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        int handle = -1;
        const int e = TryOnce(fs, key, handle);
        if (e == 0) {
            std::lock_guard guard(heldMutex);
            HeldLock& entry = held[key];
            entry.fs = &fs;
            entry.handles.push_back(handle);
            ++entry.users;
            key_ = key;
            return;
        }
        if (e != EWOULDBLOCK && e != EAGAIN) {
            error_ = e;
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            error_ = EWOULDBLOCK;
            return;
        }
        if (e != EAGAIN) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

SaveLock::~SaveLock() {
    if (!Held()) return;
    std::lock_guard guard(heldMutex);
    auto it = held.find(key_);
    if (it == held.end() || --it->second.users > 0) return;
    for (int handle : it->second.handles) it->second.fs->Unlock(handle);
    held.erase(it);
}

void SaveLock::Include(WritableFile& file) {
    if (!Held()) return;
    int handle = -1;
    if (file.Lock(handle) != 0) return;
    std::lock_guard guard(heldMutex);
    held[key_].handles.push_back(handle);
}

}  // namespace win
