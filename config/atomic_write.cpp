#include "config/atomic_write.h"

#include <filesystem>
#include <fstream>
#include <optional>

#include "base/vb_error.h"
#include "platform/win/files.h"

namespace config {

namespace fs = std::filesystem;

namespace {

std::optional<std::string> ReadIfPresent(const std::string& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec) {
        if (!fs::exists(path, ec)) return std::nullopt;
        throw vb::VbError(75, "Config", "cannot read " + path);
    }
    std::string bytes(size, '\0');
    std::ifstream in(path, std::ios::binary);
    if (!in.read(bytes.data(), static_cast<std::streamsize>(size)))
        throw vb::VbError(75, "Config", "cannot read " + path);
    return bytes;
}

// Replaces one file atomically, keeping its permissions; answers an error
// text, empty on success.
std::string ReplaceFile(const std::string& path, const std::string& bytes) {
    const std::string failure = win::WriteFileAtomically(path, bytes);
    return failure.empty() ? failure : "cannot replace " + path + " (" + failure + ")";
}

}  // namespace

std::size_t WriteAllOrNothing(const std::vector<vbide::PendingFile>& files) {
    // Files are replaced one by one, each atomically; the bytes they held are
    // kept, so that a failure puts back every file replaced before it.
    struct Replaced {
        std::string path;
        std::optional<std::string> before;
    };
    std::vector<Replaced> replaced;
    for (const vbide::PendingFile& f : files) {
        std::optional<std::string> before = ReadIfPresent(f.path);
        // A file that would get the bytes it holds is left alone, so that its
        // time stamp does not make a build think it changed.
        if (before && *before == f.bytes) continue;
        std::string failure = ReplaceFile(f.path, f.bytes);
        if (failure.empty()) {
            replaced.push_back({f.path, std::move(before)});
            continue;
        }
        std::string notRestored;
        for (auto it = replaced.rbegin(); it != replaced.rend(); ++it) {
            std::error_code ec;
            bool ok = it->before ? ReplaceFile(it->path, *it->before).empty() : fs::remove(it->path, ec);
            if (!ok) notRestored += (notRestored.empty() ? "" : ", ") + it->path;
        }
        throw vb::VbError(75, "Config",
                          failure + (notRestored.empty() ? "; no file was changed"
                                                         : "; these files keep their new text: " + notRestored));
    }
    return replaced.size();
}

}  // namespace config
