#include "apps/regedit/regedit.h"

#include "base/text.h"
#include "platform/win/registry_script.h"

namespace regedit {

const char* const kUsageText =
    "usage: regedit [/s] FILE...      import registry scripts (/s: without asking)\n"
    "       regedit /e FILE [KEY]     export KEY (default: everything), version 5.00 script\n"
    "       regedit /a FILE [KEY]     export KEY as a REGEDIT4 script\n";

namespace {

// The letter of a switch /x or -x (lower case), or 0 for anything else, so
// that an absolute path such as /tmp/x.reg stays a file name.
char Switch(const std::string& arg) {
    if (arg.size() != 2 || (arg[0] != '/' && arg[0] != '-')) return 0;
    const char c = text::LowerAscii(arg[1]);
    return (c >= 'a' && c <= 'z') ? c : 0;
}

int Export(const std::vector<std::string>& rest, win::RegistryScriptFormat format,
           Console& console) {
    if (rest.empty() || rest.size() > 2) {
        console.Complain(kUsageText);
        return kUsage;
    }
    const std::string key = rest.size() == 2 ? rest[1] : std::string();
    const auto result = win::ExportRegistryScript(rest[0], key, format);
    if (!result.ok) {
        console.Complain("Cannot export " + rest[0] + ": " + result.error);
        return kFailed;
    }
    return kSuccess;
}

int Import(const std::string& file, bool silent, Console& console) {
    if (!silent) {
        bool yes = false;
        if (!console.Ask("Are you sure you want to add the information in " + file +
                             " to the registry?",
                         yes)) {
            console.Complain("The information in " + file +
                             " was not added: there is no terminal to ask on (use /s to add it "
                             "without asking)");
            return kNotAsked;
        }
        if (!yes) return kNotAsked;
    }
    const auto result = win::ImportRegistryScript(file);
    if (!result.ok) {
        console.Complain("Cannot import " + result.error);
        return kFailed;
    }
    if (!silent) {
        console.Tell("Information in " + file + " has been successfully entered into the registry.");
    }
    return kSuccess;
}

}  // namespace

int Run(const std::vector<std::string>& args, Console& console) {
    if (args.empty()) {
        console.Complain(kUsageText);
        return kUsage;
    }
    const char first = Switch(args[0]);
    if (first == 'e' || first == 'a') {
        return Export({args.begin() + 1, args.end()},
                      first == 'e' ? win::RegistryScriptFormat::Version5
                                   : win::RegistryScriptFormat::Regedit4,
                      console);
    }
    bool silent = false;
    std::vector<std::string> files;
    for (const auto& arg : args) {
        const char s = Switch(arg);
        if (s == 's') {
            silent = true;
        } else if (s != 0) {
            console.Complain(kUsageText);
            return kUsage;
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) {
        console.Complain(kUsageText);
        return kUsage;
    }
    // Each file is imported on its own, as the editor does when handed a
    // path that a blank split into several arguments.
    int status = kSuccess;
    for (const auto& file : files) {
        const int one = Import(file, silent, console);
        if (one != kSuccess && status == kSuccess) status = one;
    }
    return status;
}

}  // namespace regedit
