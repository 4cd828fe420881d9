// regsvr: registers add-in libraries in the suite's registry store (or, with
// /u, removes them), as Windows' registration program does for in-process
// servers.
//
//   regsvr [/u] [/s] library.so ...
//
// /u calls DllUnregisterServer instead of DllRegisterServer; /s prints
// nothing. The store is the one every program of the suite uses
// (TARNWICK_REGISTRY, or the default file). Exit status: 0 when every library
// succeeded, otherwise that of the first failure: 3 the library did not
// load, 4 it lacks the entry point, 5 the entry point failed; 2 for a bad
// command line.

#include <cstdio>
#include <string>
#include <vector>

#include "platform/vbide/addin_registration.h"

int main(int argc, char** argv) {
    bool unregister = false;
    bool silent = false;
    std::vector<std::string> libraries;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "/u" || arg == "/U" || arg == "-u") unregister = true;
        else if (arg == "/s" || arg == "/S" || arg == "-s") silent = true;
        else if (!arg.empty() && (arg[0] == '/' && arg.size() == 2)) {
            std::fprintf(stderr, "regsvr: unknown option %s\n", arg.c_str());
            return 2;
        } else libraries.push_back(arg);
    }
    if (libraries.empty()) {
        std::fprintf(stderr, "Usage: regsvr [/u] [/s] library ...\n"
                             "  /u  unregister the libraries\n"
                             "  /s  silent: print nothing\n");
        return 2;
    }
    int status = 0;
    for (const auto& library : libraries) {
        vbide::RegistrationResult r = vbide::RegisterLibrary(library, unregister);
        if (!silent) std::fprintf(r.ok ? stdout : stderr, "%s\n", r.message.c_str());
        if (!r.ok && status == 0) status = r.exitStatus;
    }
    return status;
}
