#pragma once
// The parser of registry scripts, apart from the store so that it can be
// tested and fuzzed alone. Internal to platform/win.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/win_types.h"

namespace win::detail {

enum class ScriptRoot { ClassesRoot, CurrentUser, LocalMachine, Users };

struct ScriptValue {
    std::string name;     // empty: the default value
    bool remove = false;  // "name"=-
    DWORD type = 0;
    std::string data;     // as stored: strings with their terminating zero
    std::size_t line = 0;
};

struct ScriptKey {
    ScriptRoot root = ScriptRoot::LocalMachine;
    std::vector<std::string> path;  // empty names already dropped
    bool remove = false;            // [-...]: delete the key tree
    std::size_t line = 0;
    std::vector<ScriptValue> values;
};

struct ScriptError {
    std::size_t line = 0;
    std::string message;
};

struct Script {
    bool version5 = false;
    std::vector<ScriptKey> keys;
};

// Parses a whole script. On an error returns it (with its 1-based line) and
// leaves `script` partly filled.
std::optional<ScriptError> ParseRegistryScript(std::string_view text, Script& script);

}  // namespace win::detail
