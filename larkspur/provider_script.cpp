#include "larkspur/provider_script.h"

#include <initializer_list>
#include <utility>

#include "base/text.h"
#include "platform/win/process.h"

namespace larkspur {

namespace {

const char* const kCrLf = "\r\n";

std::string KeyLine(std::initializer_list<std::string_view> pieces) {
    std::string line = "[";
    for (std::string_view piece : pieces) line += piece;
    return line + "]";
}

std::string DefaultValueLine(std::string_view data) {
    return "@=\"" + EscapeRegData(data) + "\"";
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

std::string EscapeRegData(std::string_view data) {
    std::string out;
    out.reserve(data.size());
    for (char c : data) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

std::string ProviderServerPath(std::string_view serverPath) {
    const std::size_t last = serverPath.rfind('\\');
    if (last == std::string_view::npos) return "MSDAOSP.DLL";
    return std::string(serverPath.substr(0, last + 1)) + "MSDAOSP.DLL";
}

std::string EscapeServerPath(std::string_view serverPath) {
    return EscapeRegData(ProviderServerPath(serverPath));
}

ProviderRefusal RefuseProviderScript(const ProviderScriptInput& in) {
    using F = ProviderField;
    if (in.providerProgID.empty()) return {F::ProgID, "Provider ProgID is empty: please enter a name."};
    if (in.providerGUID.empty())
        return {F::GUID, "Provider GUID is empty: please press \"...\" for one."};
    struct Field {
        F field;
        const char* label;
        const std::string* text;
    };
    const Field fields[] = {
        {F::ProgID, "Provider ProgID", &in.providerProgID},
        {F::Description, "Provider Description", &in.description},
        {F::GUID, "Provider GUID", &in.providerGUID},
        {F::DataSourceProgID, "DataSource ProgID", &in.dataSourceProgID},
    };
    for (const Field& f : fields)
        if (HasLineBreak(*f.text)) return {f.field, std::string(f.label) + " must not contain a line break."};
    for (const Field& f : {fields[0], fields[2]}) {
        for (const char* bad : {"]", "\\"}) {
            if (f.text->find(bad) != std::string::npos)
                return {f.field, std::string(f.label) + " must not contain \"" + bad + "\"."};
        }
    }
    if (text::EqualsNoCase(in.providerProgID, "CLSID"))
        return {F::ProgID, "Provider ProgID must not be \"CLSID\": that key holds every class."};
    if (HasLineBreak(in.serverPath))
        return {F::ServerPath, "The registered path of MSDAOSP.DLL holds a line break."};
    return {};
}

std::string BuildProviderScript(const ProviderScriptInput& in) {
    const std::string& p = in.providerProgID;
    const std::string& g = in.providerGUID;
    const std::string lines[] = {
        "REGEDIT4",
        "",
        KeyLine({"HKEY_CLASSES_ROOT\\", p}),
        DefaultValueLine(in.description),
        "",
        KeyLine({"HKEY_CLASSES_ROOT\\", p, "\\CLSID"}),
        DefaultValueLine(g),
        "",
        KeyLine({"HKEY_CLASSES_ROOT\\CLSID\\", g}),
        DefaultValueLine(p),
        "",
        KeyLine({"HKEY_CLASSES_ROOT\\CLSID\\", g, "\\InprocServer32"}),
        "@=\"" + EscapeServerPath(in.serverPath) + "\"",
        "\"ThreadingModel\"=\"Both\"",
        "",
        KeyLine({"HKEY_CLASSES_ROOT\\CLSID\\", g, "\\ProgID"}),
        DefaultValueLine(p + ".1"),
        "",
        KeyLine({"HKEY_CLASSES_ROOT\\CLSID\\", g, "\\VersionIndependentProgID"}),
        DefaultValueLine(p),
        "",
        KeyLine({"HKEY_CLASSES_ROOT\\CLSID\\", g, "\\OLE DB Provider"}),
        DefaultValueLine(in.description),
        "",
        KeyLine({"HKEY_CLASSES_ROOT\\CLSID\\", g, "\\OSP Data Object"}),
        DefaultValueLine(in.dataSourceProgID),
    };
    std::string text;
    for (const std::string& line : lines) text += line + kCrLf;
    return text;
}

std::string BuildProviderRemovalScript(const ProviderScriptInput& in) {
    return "REGEDIT4\r\n\r\n" + KeyLine({"-HKEY_CLASSES_ROOT\\", in.providerProgID}) + kCrLf + kCrLf +
           KeyLine({"-HKEY_CLASSES_ROOT\\CLSID\\", in.providerGUID}) + kCrLf;
}

std::string RegeditCommandLine(const std::string& scriptPath) {
    return "REGEDIT " + win::QuoteArgument(scriptPath);
}

}  // namespace larkspur
