// Feeds arbitrary command lines (words separated by NUL bytes) to
// `tarnwick procedure`: it must never crash, must answer a usage error with
// status 2 and nothing on standard output, and must end every text it writes
// with CR LF.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "platform/vbide/environment.h"
#include "quillon/procedure_command.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    // Inserting into a project touches the disk; that path has its own tests.
    for (const std::string& arg : args) {
        if (arg.rfind("--vbp", 0) == 0 || arg.rfind("--module", 0) == 0) return 0;
    }
    std::ostringstream out, err;
    const auto env = vbide::Environment::Create();
    const int status = quillon::RunProcedureCommand(args, *env, out, err);
    const std::string text = out.str();
    if (status == 2 && !text.empty()) std::abort();
    if (status == 0 && err.str().empty() && text.size() >= 2 &&
        text.compare(text.size() - 2, 2, "\r\n") != 0 && text.rfind("Usage:", 0) != 0) {
        std::abort();
    }
    return 0;
}
