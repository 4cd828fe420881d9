#pragma once
// Helpers for the tests of platform/win: a fresh temporary folder per test.

#ifndef _WIN32
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win/registry.h"

namespace win::testing {

class TempFolder {
public:
    TempFolder() {
#ifdef _WIN32
        std::random_device random;
        for (int attempt = 0; path_.empty() && attempt < 100; ++attempt) {
            const auto candidate =
                std::filesystem::temp_directory_path() / ("tarnwick-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) path_ = candidate.string();
        }
        if (path_.empty()) std::abort();
#else
        std::string pattern = (std::filesystem::temp_directory_path() / "tarnwick-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
#endif
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const {
        return path_;
    }
    std::string operator/(const std::string& name) const {
        return path_ + "/" + name;
    }

private:
    std::string path_;
};

// The folder of the suite's programs: $TARNWICK_BIN, else the folder of the
// running test (tests and programs share build/<preset>/bin).
inline std::string BinFolder() {
    if (const char* bin = std::getenv("TARNWICK_BIN"); bin && *bin) return bin;
#ifdef _WIN32
    return {};
#else
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    std::string self(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
    return self.substr(0, self.rfind('/'));
#endif
}

// Wine departs from Windows in a few details that the shared tests check
// (values enumerate sorted, profile writes rewrite the whole file); those
// expectations are skipped under it.
#ifdef _WIN32
bool RunningUnderWine();
#else
inline bool RunningUnderWine() {
    return false;
}
#endif

// Opens (creating it when missing) root\path with full access.
inline HKEY CreateKey(HKEY root, const char* path, DWORD* disposition = nullptr) {
    HKEY key = nullptr;
    return RegCreateKeyEx(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, disposition) ==
                   ERROR_SUCCESS
               ? key
               : nullptr;
}

// The names of a key's subkeys in enumeration order. An enumeration that ends
// with anything but ERROR_NO_MORE_ITEMS adds "<error N>", so that the
// comparison the test makes fails.
inline std::vector<std::string> SubkeyNames(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        const LONG rc = RegEnumKeyEx(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) {
            names.push_back("<error " + std::to_string(rc) + ">");
            break;
        }
        names.emplace_back(name, size);
    }
    return names;
}

inline bool KeyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace win::testing
