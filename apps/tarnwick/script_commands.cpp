#include "apps/tarnwick/commands.h"

#include <algorithm>

#include "config/config_command.h"
#include "fenmoor/safety_command.h"
#include "larkspur/provider_command.h"
#include "platform/vbide/environment.h"
#include "quillon/procedure_command.h"
#include "shared/locale_output.h"

namespace tarnwick {

namespace {

using Run = std::function<int(const std::vector<std::string>&, std::ostream&, std::ostream&)>;

// A command on a project gets an environment of its own, as a script would
// open the project in the environment: it keeps the project's lock from
// opening to saving, so that two commands on one project take turns.
template <typename RunOnProject>
Run OnProject(RunOnProject run) {
    return [run](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
        const auto env = vbide::Environment::Create();
        env->SetHoldsProjectLocks(true);
        return run(args, *env, out, err);
    };
}

// Messages go out in the user's encoding. Standard output carries file
// content (generated code, scripts, the diff of --dry-run) in the code page,
// except for a command that reports there (`reports`).
Command WithMessages(const char* name, Run run, bool reports = false) {
    return {name, [run, reports](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
                cli::LocaleOutput messages(err);
                const bool diff = std::find(args.begin(), args.end(), "--dry-run") != args.end();
                if (!reports || diff) return run(args, out, messages);
                cli::LocaleOutput report(out);
                return run(args, report, messages);
            }};
}

}  // namespace

const std::vector<Command>& ScriptCommands() {
    static const std::vector<Command> commands = {
        WithMessages("procedure", OnProject(quillon::RunProcedureCommand)),
        WithMessages("config", OnProject(config::RunConfigCommand), true),
        WithMessages("provider", larkspur::RunProviderCommand),
        WithMessages("safety", fenmoor::RunSafetyCommand),
    };
    return commands;
}

}  // namespace tarnwick
