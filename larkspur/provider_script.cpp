#include "larkspur/provider_script.h"

#include <initializer_list>
#include <utility>

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

std::string EscapeServerPath(std::string_view serverPath) {
    const std::size_t last = serverPath.rfind('\\');
    if (last == std::string_view::npos) return "MSDAOSP.DLL";
    return EscapeRegData(serverPath.substr(0, last + 1)) + "MSDAOSP.DLL";
}

std::string RefuseProviderScript(const ProviderScriptInput& in) {
    if (in.providerProgID.empty()) return "Provider ProgID is empty: please enter a name.";
    if (in.providerGUID.empty()) return "Provider GUID is empty: please press \"...\" for one.";
    const std::pair<const char*, const std::string*> fields[] = {
        {"Provider ProgID", &in.providerProgID},
        {"Provider Description", &in.description},
        {"Provider GUID", &in.providerGUID},
        {"DataSource ProgID", &in.dataSourceProgID},
    };
    for (const auto& [label, text] : fields)
        if (HasLineBreak(*text)) return std::string(label) + " must not contain a line break.";
    for (const auto& [label, text] : {fields[0], fields[2]})
        if (text->find(']') != std::string::npos)
            return std::string(label) + " must not contain \"]\".";
    if (HasLineBreak(in.serverPath))
        return "The registered path of MSDAOSP.DLL holds a line break.";
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

std::string RegeditCommandLine(const std::string& scriptPath) {
    if (scriptPath.find_first_of(" \t\"") == std::string::npos) return "REGEDIT " + scriptPath;
    // Windows command-line rules: inside quotes, a quote is written \" and the
    // backslashes right before a quote are doubled.
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : scriptPath) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return "REGEDIT " + quoted + "\"";
}

}  // namespace larkspur
