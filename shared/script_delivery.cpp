#include "shared/script_delivery.h"

#include <filesystem>
#include <ostream>

#include "base/vb_error.h"
#include "platform/win/files.h"
#include "platform/win/guid.h"
#include "platform/win/path_text.h"
#include "platform/win/process.h"
#include "shared/command_options.h"

namespace cli {

namespace {

// A file name no other run uses at the same time.
std::filesystem::path TemporaryScriptPath() {
    win::GUID guid;
    char text[39] = "{}";
    if (win::CoCreateGuid(&guid) == win::S_OK) win::StringFromGUID2(guid, text, sizeof text);
    return std::filesystem::temp_directory_path() / ("tarnwick-" + std::string(text) + ".reg");
}

int Import(const std::string& script, const std::string& command, const std::string& imported,
           std::ostream& out, std::ostream& err) {
    const std::string path = win::TextOf(TemporaryScriptPath());
    if (const std::string reason = win::WriteFileAtomically(path, script); !reason.empty()) {
        err << command << ": cannot write " << path << ": " << reason << "\n";
        return 1;
    }
    int status = -1;
    try {
        status = win::RunAndWait({"REGEDIT", "/s", path});
    } catch (const vb::VbError& e) {
        err << command << ": the registry editor could not be started: " << e.Description()
            << "; the script is " << path << "\n";
        return 1;
    }
    if (status != 0) {
        // The editor has said why, naming the line; the script stays for a look.
        err << command << ": the registry editor did not import the script (exit status "
            << status << "); the script is " << path << "\n";
        return 1;
    }
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    out << imported << "\n";
    return out.flush() ? 0 : 1;
}

}  // namespace

int DeliverScript(const std::string& script, const Options& options, const std::string& command,
                  const std::string& imported, std::ostream& out, std::ostream& err) {
    if (options.Has("--import")) return Import(script, command, imported, out, err);
    if (const auto file = options.Value("--out")) {
        if (const std::string reason = win::WriteFileAtomically(*file, script); !reason.empty()) {
            err << command << ": cannot write " << *file << ": " << reason << "\n";
            return 1;
        }
        return 0;
    }
    out << script;
    return out.flush() ? 0 : 1;
}

}  // namespace cli
