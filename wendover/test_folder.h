#pragma once
// Test helper: a fresh temporary folder that becomes the settings folder of the
// add-in's code for the life of the object, and byte-exact file access.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "wendover/basWendover.h"

namespace wendover::testing {

class TempFolder {
public:
    TempFolder() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("wendover-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string Str() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

// A temporary folder that holds the settings file while it lives.
class SettingsFolder : public TempFolder {
public:
    SettingsFolder() { SetSettingsFolder(Str()); }
    ~SettingsFolder() { SetSettingsFolder({}); }

    std::filesystem::path Ini() const { return Path() / "Wendover.ini"; }
    bool IniExists() const { return std::filesystem::exists(Ini()); }
    std::string ReadIni() const { return ReadBytes(Ini()); }
    void WriteIni(const std::string& bytes) const { WriteBytes(Ini(), bytes); }

    static std::string ReadBytes(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
};

}  // namespace wendover::testing
