#include "apps/tarnwick/commands.h"
#include "config/config_command.h"
#include "fenmoor/safety_command.h"
#include "larkspur/provider_command.h"
#include "platform/vbide/environment.h"
#include "quillon/procedure_command.h"

namespace tarnwick {

namespace {

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

}  // namespace

const std::vector<Command>& ScriptCommands() {
    static const std::vector<Command> commands = {
        OnProject("procedure", quillon::RunProcedureCommand),
        OnProject("config", config::RunConfigCommand),
        {"provider", larkspur::RunProviderCommand},
        {"safety", fenmoor::RunSafetyCommand},
    };
    return commands;
}

}  // namespace tarnwick
