// tarnwick: the suite's command line. Each command hands its words to the
// tool that owns it; `./run` calls the launcher commands.

#include <iostream>
#include <string>
#include <vector>

#include "apps/tarnwick/commands.h"
#include "base/vb_error.h"
#include "platform/win/path_text.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

void Usage(std::ostream& out) {
    out << "usage: tarnwick COMMAND [ARGS...]\n"
           "\n"
           "Commands for scripts:\n"
           "  procedure ...          build a procedure skeleton (tarnwick procedure --help)\n"
           "  config PROJECT.vbp ... switch and check build configurations (tarnwick config --help)\n"
           "  provider ...           register OLE DB providers as Larkspur does (tarnwick provider --help)\n"
           "  safety ...             mark components safe for RDS as Fenmoor does (tarnwick safety --help)\n"
#ifndef _WIN32
           "\n"
           "Commands of ./run (they use the working folder $TARNWICK_WORK):\n"
           "  setup                  lay out the working folder: sample project, registry, add-ins\n"
           "  tour                   drive every tool on the samples without a display\n"
           "  ide [PROJECT.vbp]      open the environment window with the add-ins\n"
           "  larkspur               open the provider registration utility\n"
           "  fenmoor                open the custom-object registration wizard\n"
#endif
        ;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The commands print text that already ends its lines with CR LF (generated
    // code) or LF (reports), as on Linux; text mode would add a CR to each.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    std::vector<std::string> args;
    try {
        args = win::ProgramArguments(argc, argv);
    } catch (const vb::VbError& e) {
        std::cerr << "tarnwick: " << e.Description() << "\n";
        return 2;
    }
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        Usage(args.empty() ? std::cerr : std::cout);
        return args.empty() ? 2 : 0;
    }
    const std::string command = args[0];
    args.erase(args.begin());
#ifdef _WIN32
    const auto& commands = tarnwick::ScriptCommands();
#else
    const auto& commands = tarnwick::Commands();
#endif
    for (const tarnwick::Command& c : commands) {
        if (command != c.name) continue;
        try {
            return c.run(args, std::cout, std::cerr);
        } catch (const vb::VbError& e) {
            // A path that cannot be written as the suite's text, found deep down.
            std::cerr << "tarnwick " << command << ": " << e.Description() << "\n";
            return 1;
        }
    }
    std::cerr << "tarnwick: unknown command '" << command << "'\n";
    Usage(std::cerr);
    return 2;
}
