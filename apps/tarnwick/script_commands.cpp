#include "apps/tarnwick/commands.h"
#include "config/config_command.h"
#include "fenmoor/safety_command.h"
#include "larkspur/provider_command.h"
#include "quillon/procedure_command.h"

namespace tarnwick {

const std::vector<Command>& ScriptCommands() {
    static const std::vector<Command> commands = {
        {"procedure", quillon::RunProcedureCommand},
        {"config", config::RunConfigCommand},
        {"provider", larkspur::RunProviderCommand},
        {"safety", fenmoor::RunSafetyCommand},
    };
    return commands;
}

}  // namespace tarnwick
