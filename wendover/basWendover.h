#pragma once
// The work-area add-in's module: the window kinds it knows, the settings file
// beside its library, and the two questions the toggle and the options dialog
// ask of that file for one window kind.

#include <string>

#include "platform/forms/app_info.h"

namespace wendover {

// The file name of the settings, kept in the add-in library's folder.
inline constexpr const char* kSettingsFileName = "Wendover.ini";
// The two keys of every section.
inline constexpr const char* kMaxCloseKey = "MaxClose";
inline constexpr const char* kRestoreOpenKey = "RestoreOpen";

// The section that holds the settings of a window kind; nullptr for a kind the
// add-in leaves alone (code windows, designers, the main window, ...).
const char* SectionOf(short iType);

// The add-in library's folder, without a trailing separator (or the folder set
// by SetSettingsFolder).
std::string SettingsFolder();

// The full path of the settings file: the add-in library's folder (or the
// folder set by SetSettingsFolder) and "Wendover.ini". Built anew on every call,
// so nothing about the file is remembered between reads and writes.
std::string SettingsPath();

// Replaces the library's folder as the settings file's home; an empty folder
// goes back to the library's. Programs that link the add-in's code directly
// (its tests) use it to keep their settings out of the build tree.
void SetSettingsFolder(const std::string& folder);

// Whether windows of kind iType are closed by "&Max Work Area" / shown by
// "&Restore Work Area". Each call reads the settings file; a kind outside the
// table answers no without reading it.
bool GetMaxClose(short iType);
bool GetRestoreOpen(short iType);

// The add-in's App object: title, description and version for its About box,
// Path the settings folder.
forms::AppInfo App();

}  // namespace wendover
