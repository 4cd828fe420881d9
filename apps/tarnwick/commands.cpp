#include "apps/tarnwick/commands.h"

#include <filesystem>
#include <ostream>

#include "apps/tarnwick/launch.h"
#include "apps/tarnwick/tour.h"
#include "apps/tarnwick/work_folder.h"
#include "platform/vbide/environment.h"
#include "platform/win/files.h"
#include "config/config_command.h"
#include "fenmoor/safety_command.h"
#include "larkspur/provider_command.h"
#include "quillon/procedure_command.h"

namespace tarnwick {

namespace {

std::filesystem::path SelfBin() {
    static int anchor;
    return win::GetModuleFolder(&anchor);
}

// A command on a project gets an environment of its own, as a script would
// open the project in the environment: it keeps the project's lock from
// opening to saving, so that two commands on one project take turns.
template <typename Run>
Command OnProject(const char* name, Run run) {
    return {name, [run](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
                const auto env = vbide::Environment::Create();
                env->SetHoldsProjectLocks(true);
                return run(args, *env, out, err);
            }};
}

Command Program(const char* name) {
    return {name, [name](const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
                return Launch(name, args, err);
            }};
}

}  // namespace

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        OnProject("procedure", quillon::RunProcedureCommand),
        OnProject("config", config::RunConfigCommand),
        {"provider", larkspur::RunProviderCommand},
        {"safety", fenmoor::RunSafetyCommand},
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
    };
    return commands;
}

}  // namespace tarnwick
