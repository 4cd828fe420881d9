#include "fenmoor/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

namespace fenmoor {

namespace fs = std::filesystem;

namespace {

// A name beside the target that no other writer picks at the same moment.
fs::path TemporaryPath(const fs::path& target) {
    static std::mt19937_64 random{std::random_device{}()};
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp",
                  static_cast<unsigned long long>(random()));
    fs::path temporary = target;
    temporary += suffix;
    return temporary;
}

std::string Reason(int error) { return std::strerror(error); }

}  // namespace

std::string WriteFileAtomically(const std::string& path, const std::string& bytes) {
    const fs::path target(path);
    std::error_code ec;
    const fs::path temporary = TemporaryPath(target);
    // "x": the temporary file must be new, never someone else's file.
    std::FILE* file = std::fopen(temporary.c_str(), "wbx");
    if (!file) return Reason(errno);
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int error = written ? 0 : errno;
    if (std::fflush(file) != 0 && written) {
        written = false;
        error = errno;
    }
    if (std::fclose(file) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        fs::remove(temporary, ec);
        return Reason(error ? error : EIO);
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        const std::string reason = ec.message();
        fs::remove(temporary, ec);
        return reason;
    }
    return {};
}

}  // namespace fenmoor
