// Paths and arguments as text where a path's bytes are its text.

#include "platform/win/path_text.h"

namespace win {

std::filesystem::path PathOf(const std::string& text) {
    return std::filesystem::path(text);
}

std::string TextOf(const std::filesystem::path& path) {
    return path.string();
}

std::string GenericTextOf(const std::filesystem::path& path) {
    return path.generic_string();
}

bool TryTextOf(const std::filesystem::path& path, std::string& text) {
    text = path.string();
    return true;
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

}  // namespace win
