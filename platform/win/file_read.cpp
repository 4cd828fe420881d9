// The words for a file that could not be read whole, shared by both backends.

#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/win/file_system.h"

namespace win {

namespace {

// What a path names that is no regular file, looked at without following
// the reader into it.
const char* KindOf(const std::string& path) {
    std::error_code ec;
    switch (std::filesystem::status(path, ec).type()) {
        case std::filesystem::file_type::directory: return "a folder";
        case std::filesystem::file_type::fifo: return "a FIFO";
        case std::filesystem::file_type::character:
        case std::filesystem::file_type::block: return "a device";
        case std::filesystem::file_type::socket: return "a socket";
        default: return "something";
    }
}

}  // namespace

std::string ReadFailureText(int error, const std::string& path, std::uint64_t limit) {
    if (error == kNotRegularFile) return std::string(KindOf(path)) + ", not a regular file";
    if (error == EFBIG) {
        std::error_code ec;
        const std::uintmax_t size = std::filesystem::file_size(path, ec);
        if (ec) return "too large: more than " + std::to_string(limit) + " bytes";
        return "too large: " + std::to_string(size) + " bytes, more than the " + std::to_string(limit) + " read";
    }
    return std::strerror(error);
}

}  // namespace win
