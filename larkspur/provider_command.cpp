#include "larkspur/provider_command.h"

#include <ostream>

#include "base/vb_error.h"
#include "larkspur/CRegistry.h"
#include "larkspur/provider_registration.h"
#include "larkspur/provider_script.h"
#include "platform/win/guid.h"
#include "shared/command_options.h"
#include "shared/script_delivery.h"

namespace larkspur {

namespace {

const char* const kCommand = "tarnwick provider";

const char* const kUsage = R"(Usage: tarnwick provider register --data-progid PROGID --progid NAME
                                  (--guid GUID | --new-guid)
                                  [--description TEXT] [--out FILE | --import]
       tarnwick provider unregister --progid NAME --guid GUID [--out FILE | --import]
       tarnwick provider list

Registers an OLE DB provider on the OLE DB Simple Provider runtime, as
Larkspur's GO! does, from a script or an installer.

  register      writes the registration script that GO! writes for the same
                fields (REGEDIT4, CR LF) to standard output
  unregister    writes the script that removes the provider's ProgID key and
                its class key; with --import only when they are a
                provider's (the ProgID's CLSID names the GUID, whose class
                key has "OLE DB Provider")
  list          prints every provider registered on the runtime: ProgID, GUID,
                description and the data object's ProgID, separated by tabs,
                one a line, sorted by ProgID

  --data-progid PROGID  the data object's ProgID ("DataSource ProgID")
  --progid NAME         the provider's ProgID ("Provider ProgID")
  --guid GUID           the provider's class id ("Provider GUID")
  --new-guid            a new class id, as "..." makes it
  --description TEXT    "Provider Description" (default: New OLEDB Simple Provider)
  --out FILE            write the script into FILE instead
  --import              import the script into the registry through the
                        registry editor, without asking (regedit /s)

A ProgID or GUID that is empty, holds a line break, "]" or "\", a ProgID
that is CLSID, or a GUID not in registry form {XXXXXXXX-XXXX-XXXX-XXXX-
XXXXXXXXXXXX}, is refused, as are line breaks in the other fields.
Exit status: 0 done; 1 the runtime is not registered ("MSDAOSP.DLL is
required!"), the file could not be written or the import failed; 2 usage
error or refused value.
)";

const char* OptionOf(ProviderField field) {
    switch (field) {
        case ProviderField::ProgID: return "--progid";
        case ProviderField::Description: return "--description";
        case ProviderField::GUID: return "--guid";
        case ProviderField::DataSourceProgID: return "--data-progid";
        default: return "";
    }
}

// The runtime's path as Larkspur reads it at start-up, without creating its
// key when it is missing.
std::string RuntimeServerPath() {
    CRegistry registry;
    registry.SetAutoCreate(false);
    try {
        return ReadRuntimeServerPath(registry);
    } catch (const vb::VbError&) {
        return {};
    }
}

// A GUID on the command line must be one, in registry form: it names the
// class key a script writes or removes.
void RefuseNonGuid(const std::string& guid) {
    win::GUID parsed;
    if (win::CLSIDFromString(guid.c_str(), &parsed) != win::S_OK)
        throw cli::UsageError("--guid \"" + guid +
                              "\" is no class id in registry form {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}");
}

// A refused field is a usage error naming its option; a refused server path
// is the runtime's registration at fault.
void RefuseOptions(const ProviderScriptInput& in) {
    const ProviderRefusal refusal = RefuseProviderScript(in);
    if (refusal && refusal.field != ProviderField::ServerPath)
        throw cli::UsageError(std::string(OptionOf(refusal.field)) + ": " + refusal.message);
}

int Register(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const cli::Options options(args, {{"--data-progid", true}, {"--progid", true}, {"--guid", true},
                                      {"--new-guid", false}, {"--description", true},
                                      {"--out", true}, {"--import", false}});
    if (options.Help()) return out << kUsage ? 0 : 1;
    options.Exclusive("--out", "--import");
    options.Exclusive("--guid", "--new-guid");
    ProviderScriptInput in;
    in.dataSourceProgID = options.RequiredText("--data-progid");
    in.providerProgID = options.RequiredText("--progid");
    in.description = options.Text("--description").value_or(kDefaultDescription);
    if (options.Has("--new-guid")) {
        try {
            in.providerGUID = NewProviderGUID();
        } catch (const vb::VbError& e) {
            err << kCommand << ": " << e.Description() << "\n";
            return 1;
        }
    } else {
        in.providerGUID = options.Required("--guid");
    }
    // Checked before the registry is read, so that a bad command line is a
    // usage error on any machine.
    RefuseOptions(in);
    RefuseNonGuid(in.providerGUID);

    in.serverPath = RuntimeServerPath();
    if (in.serverPath.empty()) {
        err << kCommand << ": " << kRuntimeRequired << "\n";
        return 1;
    }
    if (const ProviderRefusal refusal = RefuseProviderScript(in)) {
        err << kCommand << ": " << refusal.message << "\n";
        return 1;
    }
    return cli::DeliverScript(BuildProviderScript(in), options, kCommand,
                              "registered " + in.providerProgID + " " + in.providerGUID, out, err);
}

int Unregister(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const cli::Options options(
        args, {{"--progid", true}, {"--guid", true}, {"--out", true}, {"--import", false}});
    if (options.Help()) return out << kUsage ? 0 : 1;
    options.Exclusive("--out", "--import");
    ProviderScriptInput in;
    in.providerProgID = options.RequiredText("--progid");
    in.providerGUID = options.Required("--guid");
    RefuseOptions(in);
    RefuseNonGuid(in.providerGUID);
    // Importing deletes the keys at once: only a provider's.
    if (options.Has("--import"))
        if (const std::string refusal = RefuseProviderRemoval(in.providerProgID, in.providerGUID); !refusal.empty())
            throw cli::UsageError(refusal + "; nothing was removed");
    return cli::DeliverScript(BuildProviderRemovalScript(in), options, kCommand,
                              "unregistered " + in.providerProgID + " " + in.providerGUID, out, err);
}

// One line of the list: tabs and line breaks inside a field become blanks, so
// that each provider stays one line of four fields.
std::string ListField(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return text;
}

int List(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const cli::Options options(args, {});
    if (options.Help()) return out << kUsage ? 0 : 1;
    const std::string serverPath = RuntimeServerPath();
    if (serverPath.empty()) {
        err << kCommand << ": " << kRuntimeRequired << "\n";
        return 1;
    }
    for (const RegisteredProvider& p : ListProviders(serverPath)) {
        out << ListField(p.progID) << '\t' << ListField(p.guid) << '\t' << ListField(p.description)
            << '\t' << ListField(p.dataProgID) << '\n';
    }
    return out.flush() ? 0 : 1;
}

}  // namespace

int RunProviderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string action = args.empty() ? std::string() : args[0];
    const std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());
    try {
        if (action == "--help" || action == "-h") return out << kUsage ? 0 : 1;
        if (action == "register") return Register(rest, out, err);
        if (action == "unregister") return Unregister(rest, out, err);
        if (action == "list") return List(rest, out, err);
        throw cli::UsageError(action.empty() ? "register, unregister or list is required"
                                             : "unknown action '" + action + "'");
    } catch (const cli::UsageError& e) {
        err << kCommand << ": " << e.what() << "\n"
            << "Try '" << kCommand << " --help'.\n";
        return 2;
    }
}

}  // namespace larkspur
