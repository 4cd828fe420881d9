#include "apps/tarnwick/commands.h"

#include "quillon/procedure_command.h"

namespace tarnwick {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"procedure", quillon::RunProcedureCommand},
    };
    return commands;
}

}  // namespace tarnwick
