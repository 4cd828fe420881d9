#include "fenmoor/safety_command.h"

#include <ostream>

#include "base/text.h"
#include "fenmoor/list_entry.h"
#include "fenmoor/registration_script.h"
#include "platform/mts/catalog.h"
#include "platform/win/guid.h"
#include "platform/win/registry.h"
#include "shared/command_options.h"
#include "shared/script_delivery.h"

namespace fenmoor {

namespace {

const char* const kCommand = "tarnwick safety";

const char* const kUsage = R"(Usage: tarnwick safety --clsid CLSID --progid NAME [--scripting] [--initialization]
                       [--launch] [--remove] [--out FILE | --import]
       tarnwick safety --show --clsid CLSID [--progid NAME]

Makes a component usable through the web server's Remote Data Service, as
Fenmoor's Finish does, from a script or an installer: writes the registry
script (REGEDIT4, CR LF, every line followed by an empty line) for the chosen
entries to standard output.

  --clsid CLSID         the component's class id, in registry form {...}
  --progid NAME         the component's name, as the launch entry's key
  --scripting           "Safe for Scripting"
  --initialization      "Safe for Initialization"
  --launch              "IIS Launch Permission"
  --remove              remove the chosen entries instead ([-...] lines; the
                        shared Implemented Categories key stays)
  --out FILE            write the script into FILE instead
  --import              import the script into the registry through the
                        registry editor, without asking (regedit /s)
  --show                print whether the component has each entry, one a
                        line; without --progid the name comes from the catalog

A class id or name that is empty or holds a line break, "[", "]", a double
quote or a backslash is refused.
Exit status: 0 done; 1 the file could not be written or the import failed;
2 usage error or refused value.
)";

void Refuse(const std::string& refusal) {
    if (!refusal.empty()) throw cli::UsageError(refusal);
}

std::string CheckedClsid(const cli::Options& options) {
    const std::string clsid = options.Required("--clsid");
    Refuse(RefuseKeyName("--clsid", clsid));
    win::GUID guid;
    if (win::CLSIDFromString(clsid.c_str(), &guid) != win::S_OK)
        throw cli::UsageError("--clsid \"" + clsid +
                              "\" is no class id in registry form "
                              "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}");
    return clsid;
}

bool KeyExists(const std::string& path) {
    win::HKEY key = nullptr;
    if (win::RegOpenKeyEx(win::HKEY_LOCAL_MACHINE, path.c_str(), 0, win::KEY_READ, &key) !=
        win::ERROR_SUCCESS)
        return false;
    win::RegCloseKey(key);
    return true;
}

// The name the wizard would take for the component: its catalog name up to
// the first blank. Empty when no package lists the component.
std::string CatalogName(const std::string& clsid) {
    try {
        mts::Catalog catalog;
        auto packages = catalog.Connect("")->GetCollection("Packages", "");
        packages->Populate();
        for (const mts::ICatalogObject& package : *packages) {
            auto components = packages->GetCollection("ComponentsInPackage", package.Key());
            components->Populate();
            for (const mts::ICatalogObject& component : *components)
                if (text::EqualsNoCase(component.Key(), clsid))
                    return NameOfEntry(MakeEntry(component.Name(), component.Key()));
        }
    } catch (...) {
        // No catalog, or one that cannot be read: the name stays unknown.
    }
    return {};
}

int Show(const cli::Options& options, std::ostream& out) {
    for (const char* other : {"--scripting", "--initialization", "--launch", "--remove", "--out", "--import"})
        options.Exclusive("--show", other);
    const std::string clsid = CheckedClsid(options);
    std::string name = options.Text("--progid").value_or(std::string());
    if (options.Has("--progid")) Refuse(RefuseKeyName("--progid", name));
    else name = CatalogName(clsid);
    const EntryKeys keys = ComponentEntryKeys(clsid, name);
    auto state = [](bool yes) { return yes ? "yes" : "no"; };
    out << "safe for scripting: " << state(KeyExists(keys.scripting)) << "\n"
        << "safe for initialization: " << state(KeyExists(keys.initialization)) << "\n"
        << "IIS launch permission: ";
    // A name the catalog gives may still be one the script would refuse.
    if (name.empty() || !RefuseKeyName("", name).empty())
        out << "unknown (no --progid, and the catalog gives no usable name)\n";
    else
        out << state(KeyExists(keys.launch)) << "\n";
    return out.flush() ? 0 : 1;
}

}  // namespace

int RunSafetyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        const cli::Options options(
            args, {{"--clsid", true}, {"--progid", true}, {"--scripting", false},
                   {"--initialization", false}, {"--launch", false}, {"--remove", false},
                   {"--out", true}, {"--import", false}, {"--show", false}});
        if (options.Help()) return out << kUsage ? 0 : 1;
        if (options.Has("--show")) return Show(options, out);
        options.Exclusive("--out", "--import");
        const std::string clsid = CheckedClsid(options);
        const std::string progid = options.RequiredText("--progid");
        Refuse(RefuseKeyName("--progid", progid));
        ScriptChoices choices;
        choices.scripting = options.Has("--scripting");
        choices.initialization = options.Has("--initialization");
        choices.launch = options.Has("--launch");
        choices.remove = options.Has("--remove");
        return cli::DeliverScript(BuildRegScript(clsid, progid, choices), options, kCommand,
                                  (choices.remove ? "removed the entries of " : "imported the entries of ") +
                                      clsid,
                                  out, err);
    } catch (const cli::UsageError& e) {
        err << kCommand << ": " << e.what() << "\n"
            << "Try '" << kCommand << " --help'.\n";
        return 2;
    }
}

}  // namespace fenmoor
