#include "wendover/basWendover.h"

#include <cstring>

#include "platform/win/files.h"
#include "platform/win/profile.h"

namespace wendover {

namespace {

struct KindSection {
    short kind;
    const char* section;
};

// The window kinds the add-in handles (the environment's Window.Type values).
constexpr KindSection kKinds[] = {
    {2, "Browser"},    // Object Browser
    {3, "Watch"},      // Watch window
    {4, "Locals"},     // Locals window
    {5, "Immediate"},  // Immediate window
    {6, "Project"},    // Project window
    {7, "Property"},   // Properties window
    {13, "Layout"},    // Form Layout window
    {14, "Color"},     // Color Palette
    {15, "Toolbox"},   // the environment's tool windows
};

// What a read returns when the file, the section or the key is missing.
constexpr const char* kNotFound = "NotFound";
// The size of the read buffer, terminating zero included.
constexpr win::DWORD kBufferSize = 255;

std::string& FolderOverride() {
    static std::string folder;
    return folder;
}

// The one value that means yes is exactly "-1". Upper-casing the value first,
// as the reading rule asks, cannot turn any other text into "-1", so the
// comparison is made directly; blanks are not trimmed here.
bool ReadYes(short iType, const char* key) {
    const char* section = SectionOf(iType);
    if (!section) return false;
    const std::string path = SettingsPath();
    char buffer[kBufferSize];
    std::memset(buffer, 0, sizeof buffer);
    win::GetPrivateProfileStringA(section, key, kNotFound, buffer, kBufferSize, path.c_str());
    // The value is the text before the first zero.
    const std::string value(buffer, strnlen(buffer, kBufferSize));
    return value == "-1";
}

}  // namespace

const char* SectionOf(short iType) {
    for (const KindSection& k : kKinds)
        if (k.kind == iType) return k.section;
    return nullptr;
}

std::string SettingsFolder() {
    if (!FolderOverride().empty()) return FolderOverride();
    // The address of this very function lies in the add-in's library, so the
    // folder found is the one the library was loaded from.
    return win::GetModuleFolder(reinterpret_cast<const void*>(&SettingsFolder));
}

std::string SettingsPath() { return SettingsFolder() + "/" + kSettingsFileName; }

void SetSettingsFolder(const std::string& folder) { FolderOverride() = folder; }

bool GetMaxClose(short iType) { return ReadYes(iType, kMaxCloseKey); }

bool GetRestoreOpen(short iType) { return ReadYes(iType, kRestoreOpenKey); }

forms::AppInfo App() {
    forms::AppInfo app;
    app.Title = "VB Wendover Agent";
    app.ProductName = "Wendover";
    app.FileDescription = "Wendover Agent";
    app.EXEName = "Wendover";
    app.Path = SettingsFolder();
    app.Major = 1;
    app.Minor = 0;
    app.Revision = 0;
    return app;
}

}  // namespace wendover
