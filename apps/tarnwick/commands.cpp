#include "apps/tarnwick/commands.h"

#include <filesystem>
#include <ostream>

#include "apps/tarnwick/launch.h"
#include "apps/tarnwick/tour.h"
#include "apps/tarnwick/work_folder.h"
#include "platform/win/files.h"

namespace tarnwick {

namespace {

std::filesystem::path SelfBin() {
    static int anchor;
    return win::GetModuleFolder(&anchor);
}

Command Program(const char* name) {
    return {name, [name](const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
                return Launch(name, args, err);
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
        {"tour",
         [](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
             // The tour runs from the working folder's installed copy.
             WorkFolder w = DescribeWorkFolder(WorkFolderPath());
             if (std::filesystem::weakly_canonical(SelfBin()) != std::filesystem::weakly_canonical(w.bin))
                 return Launch("tarnwick", [&] {
                     std::vector<std::string> words{"tour"};
                     words.insert(words.end(), args.begin(), args.end());
                     return words;
                 }(), err);
             UseWorkFolder(w);
             return RunTour(w, out, err);
         }},
        {"ide",
         [](const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
             // Without a project of its own choosing, the window opens the
             // working folder's sample project.
             std::vector<std::string> words = args;
             if (args.empty()) words.push_back(DescribeWorkFolder(WorkFolderPath()).project.string());
             return Launch("ide", words, err);
         }},
        Program("larkspur"),
        Program("fenmoor"),
        });
        return all;
    }();
    return commands;
}

}  // namespace tarnwick
