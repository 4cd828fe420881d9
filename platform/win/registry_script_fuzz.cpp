// Fuzzes the registry script parser, and imports what parses into an
// in-memory store, so that every accepted script also goes through the store.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/win/registry.h"
#include "platform/win/registry_script.h"
#include "platform/win/registry_script_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int runs = 0;
    if (runs++ % 1000 == 0) win::UseRegistryStore(":memory:");
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    win::detail::Script script;
    const bool parsed = !win::detail::ParseRegistryScript(text, script).has_value();
    if (parsed && script.keys.size() < 64) {
        const auto result = win::ImportRegistryScriptText(text, "fuzz.reg");
        // Whatever parses must import, unless it deletes a protected key.
        if (!result.ok && result.line == 0) __builtin_trap();
    }
    return 0;
}
