// tarnwick: the suite's command line. Each command hands its words to the
// tool that owns it; `./run` calls the launcher commands.

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "apps/tarnwick/commands.h"

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
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") ||
        !std::strcmp(argv[1], "help")) {
        Usage(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 2 : 0;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
#ifdef _WIN32
    const auto& commands = tarnwick::ScriptCommands();
#else
    const auto& commands = tarnwick::Commands();
#endif
    for (const tarnwick::Command& c : commands) {
        if (command == c.name) return c.run(args, std::cout, std::cerr);
    }
    std::cerr << "tarnwick: unknown command '" << command << "'\n";
    Usage(std::cerr);
    return 2;
}
