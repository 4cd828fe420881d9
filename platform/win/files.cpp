#include "platform/win/files.h"

#include "base/text.h"

#include <dirent.h>
#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string_view>
#include <vector>

namespace win {

namespace {

struct Search {
    std::string folder;
    std::vector<std::string> names;
    std::size_t next = 0;
};

std::mutex searchMutex;
std::set<Search*> searches;

// '*' any run of characters, '?' exactly one; ASCII case ignored.
bool Matches(std::string_view pattern, std::string_view name) {
    std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || text::UpperAscii(pattern[p]) == text::UpperAscii(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

// Windows lets a final ".*" also match names without any extension, so "*.*"
// finds every entry.
bool MatchesWindows(std::string_view pattern, std::string_view name) {
    if (Matches(pattern, name)) return true;
    if (pattern.size() >= 2 && pattern.ends_with(".*")) {
        return Matches(pattern.substr(0, pattern.size() - 2), name) &&
               name.find('.') == std::string_view::npos;
    }
    return false;
}

FILETIME ToFileTime(const struct timespec& t) {
    // 100-nanosecond ticks since 1601-01-01.
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(t.tv_sec) + 11644473600ull) * 10000000ull +
        static_cast<std::uint64_t>(t.tv_nsec) / 100;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

bool Fill(const std::string& folder, const std::string& name, WIN32_FIND_DATAA* data) {
    struct stat st {};
    const std::string path = folder == "/" ? "/" + name : folder + "/" + name;
    if (::stat(path.c_str(), &st) != 0 && ::lstat(path.c_str(), &st) != 0) return false;
    *data = WIN32_FIND_DATAA{};
    if (S_ISDIR(st.st_mode)) {
        data->dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    } else {
        data->dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
    }
    if (::access(path.c_str(), W_OK) != 0) data->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
    const auto size = static_cast<std::uint64_t>(S_ISDIR(st.st_mode) ? 0 : st.st_size);
    data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(size);
    data->ftCreationTime = ToFileTime(st.st_ctim);
    data->ftLastAccessTime = ToFileTime(st.st_atim);
    data->ftLastWriteTime = ToFileTime(st.st_mtim);
    const std::size_t n = std::min<std::size_t>(name.size(), MAX_PATH - 1);
    std::memcpy(data->cFileName, name.data(), n);
    data->cFileName[n] = '\0';
    data->cAlternateFileName[0] = '\0';
    return true;
}

HANDLE Fail(DWORD code) {
    SetLastError(code);
    return INVALID_HANDLE_VALUE;
}

bool IsDriveOnly(std::string_view path) {
    const bool letter = path.size() >= 2 &&
                        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                        path[1] == ':';
    return letter && (path.size() == 2 || (path.size() == 3 && path[2] == '/'));
}

std::string FolderOf(const std::string& path) {
    const auto cut = path.rfind('/');
    if (cut == std::string::npos) return ".";
    return cut == 0 ? std::string() : path.substr(0, cut);
}

std::string Canonical(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

}  // namespace

HANDLE FindFirstFileA(const char* lpFileName, WIN32_FIND_DATAA* lpFindFileData) {
    if (!lpFileName || !lpFindFileData) return Fail(ERROR_INVALID_PARAMETER);
    std::string path(lpFileName);
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.empty() || path.back() == '/' || IsDriveOnly(path) || path.starts_with("//")) {
        return Fail(ERROR_FILE_NOT_FOUND);
    }
    const auto cut = path.rfind('/');
    std::string folder = cut == std::string::npos ? "." : (cut == 0 ? "/" : path.substr(0, cut));
    const std::string pattern = cut == std::string::npos ? path : path.substr(cut + 1);
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return Fail(ERROR_PATH_NOT_FOUND);

    auto search = std::make_unique<Search>();
    search->folder = folder;
    if (pattern.find_first_of("*?") == std::string::npos) {
        struct stat entry {};
        const std::string full = folder == "/" ? "/" + pattern : folder + "/" + pattern;
        if (::lstat(full.c_str(), &entry) != 0) return Fail(ERROR_FILE_NOT_FOUND);
        search->names.push_back(pattern);
    } else {
        DIR* dir = ::opendir(folder.c_str());
        if (!dir) return Fail(ERROR_ACCESS_DENIED);
        while (const dirent* e = ::readdir(dir)) {
            if (MatchesWindows(pattern, e->d_name)) search->names.emplace_back(e->d_name);
        }
        ::closedir(dir);
        std::sort(search->names.begin(), search->names.end(),
                  [](const std::string& a, const std::string& b) {
                      return text::UpperAscii(a) < text::UpperAscii(b);
                  });
    }
    while (search->next < search->names.size()) {
        if (Fill(search->folder, search->names[search->next++], lpFindFileData)) {
            std::lock_guard lock(searchMutex);
            searches.insert(search.get());
            SetLastError(ERROR_SUCCESS);
            return search.release();
        }
    }
    return Fail(ERROR_FILE_NOT_FOUND);
}

BOOL FindNextFileA(HANDLE hFindFile, WIN32_FIND_DATAA* lpFindFileData) {
    std::lock_guard lock(searchMutex);
    auto* search = static_cast<Search*>(hFindFile);
    if (!searches.count(search) || !lpFindFileData) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    while (search->next < search->names.size()) {
        if (Fill(search->folder, search->names[search->next++], lpFindFileData)) return TRUE;
    }
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
}

BOOL FindClose(HANDLE hFindFile) {
    std::lock_guard lock(searchMutex);
    auto* search = static_cast<Search*>(hFindFile);
    if (!searches.erase(search)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete search;
    return TRUE;
}

namespace {
std::string ProgramPath() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    return std::string(buffer, static_cast<std::size_t>(n));
}
}  // namespace

std::string GetProgramFolder() {
    const std::string program = ProgramPath();
    return program.empty() ? program : FolderOf(program);
}

std::string PlatformPath(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string GetModulePath(const void* addressInModule) {
    Dl_info info{};
    link_map* map = nullptr;
    if (!::dladdr1(addressInModule, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP)) {
        return {};
    }
    // The main program's link map has an empty name; its dli_fname is only
    // what argv[0] said, so the kernel's record of it is used instead.
    if (!map || !map->l_name || !*map->l_name || !info.dli_fname || !*info.dli_fname) {
        return ProgramPath();
    }
    return Canonical(info.dli_fname);
}

std::string GetModuleFolder(const void* addressInModule) {
    const std::string module = GetModulePath(addressInModule);
    return module.empty() ? module : FolderOf(module);
}

}  // namespace win
