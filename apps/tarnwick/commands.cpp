#include "apps/tarnwick/commands.h"

#include <filesystem>
#include <ostream>

#include "apps/tarnwick/launch.h"
#include "apps/tarnwick/work_folder.h"
#include "platform/win/files.h"

namespace tarnwick {

namespace {

std::filesystem::path SelfBin() {
    static int anchor;
    return win::GetModuleFolder(&anchor);
}

Command Program(const char* name, const char* program) {
    return {name, [program](const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
                return Launch(program, args, err);
            }};
}

}  // namespace

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = [] {
        std::vector<Command> all = ScriptCommands();
        all.insert(all.end(), {
        {"setup",
         [](const std::vector<std::string>&, std::ostream& out, std::ostream& err) {
             return Setup(SelfBin(), out, err);
         }},
        // The tour needs the window system for its screenshots: a program of
        // its own, so that this one links none.
        Program("tour", "tarnwick-tour"),
        {"ide",
         [](const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
             // Without a project of its own choosing, the window opens the
             // working folder's sample project.
             std::vector<std::string> words = args;
             if (args.empty()) words.push_back(DescribeWorkFolder(WorkFolderPath()).project.string());
             return Launch("ide", words, err);
         }},
        Program("larkspur", "larkspur"),
        Program("fenmoor", "fenmoor"),
        });
        return all;
    }();
    return commands;
}

}  // namespace tarnwick
