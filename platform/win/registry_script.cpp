// Importing and exporting registry scripts. An import parses the whole script
// first and then applies it in one store transaction, so that an error in any
// line, or a failure of the store, leaves the registry as it was.

#include "platform/win/registry_script.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cerrno>
#include <unordered_map>
#include <unordered_set>

#include "platform/win/save.h"
#include "platform/win/registry_internal.h"
#include "platform/win/registry_script_parser.h"
#include "platform/win/utf16_text.h"

namespace win {

using detail::KeyId;
using detail::RegistryStore;
using detail::Script;
using detail::ScriptRoot;

namespace {

KeyId RootKey(ScriptRoot root, RegistryStore& store) {
    switch (root) {
        case ScriptRoot::ClassesRoot: return store.ClassesRoot();
        case ScriptRoot::CurrentUser: return detail::kCurrentUser;
        case ScriptRoot::LocalMachine: return detail::kLocalMachine;
        case ScriptRoot::Users: return detail::kUsers;
    }
    return detail::kLocalMachine;
}

// A root, the key behind HKEY_CLASSES_ROOT, or a key above it.
bool IsProtected(RegistryStore& store, KeyId key) {
    if (key == detail::kLocalMachine || key == detail::kCurrentUser || key == detail::kUsers) {
        return true;
    }
    std::optional<KeyId> walk = store.ClassesRoot();
    while (walk && *walk != 0) {
        if (*walk == key) return true;
        walk = store.ParentOf(*walk);
    }
    return false;
}

std::string LineError(const std::string& name, std::size_t line, const std::string& message) {
    return name + ", line " + std::to_string(line) + ": " + message;
}

std::string StoreError(const std::string& name, LONG code) {
    std::string why = LastRegistryStoreError();
    if (why.empty()) why = "registry error " + std::to_string(code);
    return name + ": " + why;
}

// The script's bytes, or why they cannot be read (then `error` is set).
std::string ReadScript(const std::string& path, int& error) {
    std::string bytes;
    error = FileSystem::Native().ReadFile(path, bytes, kReadLimit);
    return bytes;
}

// ---- Export --------------------------------------------------------------

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
}

// hex bytes, wrapped before column 80 with a backslash and two blanks.
void AppendHex(std::string& out, std::size_t lineStart, std::string_view bytes) {
    static const char kDigits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
        if (i + 1 < bytes.size()) {
            out += ',';
            if (out.size() - lineStart >= 76) {
                out += "\\\r\n  ";
                lineStart = out.size() - 2;
            }
        }
    }
}

bool IsPlainString(std::string_view data) {
    if (data.empty() || data.back() != '\0') return false;
    data.remove_suffix(1);
    return data.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

void AppendValue(std::string& out, const detail::ValueRecord& v, bool version5) {
    const std::size_t lineStart = out.size();
    if (v.name.empty()) {
        out += '@';
    } else {
        AppendQuoted(out, v.name);
    }
    out += '=';
    if (v.type == 1 && IsPlainString(v.data)) {
        AppendQuoted(out, std::string_view(v.data).substr(0, v.data.size() - 1));
    } else if (v.type == 4 && v.data.size() == 4) {
        std::uint32_t n = 0;
        for (int i = 3; i >= 0; --i) n = n << 8 | static_cast<unsigned char>(v.data[static_cast<std::size_t>(i)]);
        char digits[16];
        std::snprintf(digits, sizeof digits, "dword:%08x", n);
        out += digits;
    } else {
        if (v.type == 3) {
            out += "hex:";
        } else {
            char prefix[24];
            std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(v.type));
            out += prefix;
        }
        const bool text = v.type == 1 || v.type == 2 || v.type == 7;
        AppendHex(out, lineStart, version5 && text ? AnsiToUtf16(v.data) : v.data);
    }
    out += "\r\n";
}

void AppendTree(RegistryStore& store, KeyId top, const std::string& topPath, bool version5,
                std::string& out, RegistryScriptResult& result) {
    std::vector<std::pair<KeyId, std::string>> stack{{top, topPath}};
    while (!stack.empty()) {
        auto [key, path] = std::move(stack.back());
        stack.pop_back();
        out += '[';
        out += path;
        out += "]\r\n";
        for (const auto& v : store.Values(key)) {
            AppendValue(out, v, version5);
            ++result.values;
        }
        out += "\r\n";
        ++result.keys;
        auto children = store.Children(key);
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            stack.emplace_back(it->id, path + "\\" + it->name);
        }
    }
}

struct RootName {
    std::string_view full;
    std::string_view shortName;
    ScriptRoot root;
};

constexpr RootName kRootNames[] = {
    {"HKEY_CLASSES_ROOT", "HKCR", ScriptRoot::ClassesRoot},
    {"HKEY_CURRENT_USER", "HKCU", ScriptRoot::CurrentUser},
    {"HKEY_LOCAL_MACHINE", "HKLM", ScriptRoot::LocalMachine},
    {"HKEY_USERS", "HKU", ScriptRoot::Users},
};

const RootName* FindRootName(std::string_view name) {
    const std::string fold = detail::FoldName(name);
    for (const auto& root : kRootNames) {
        if (fold == root.full || fold == root.shortName) return &root;
    }
    return nullptr;
}

}  // namespace

RegistryScriptResult ImportRegistryScriptText(std::string_view text, const std::string& name) {
    RegistryScriptResult result;
    Script script;
    if (auto error = detail::ParseRegistryScript(text, script)) {
        result.line = error->line;
        result.error = LineError(name, error->line, error->message);
        return result;
    }
    std::optional<detail::ScriptError> refused;
    std::size_t keys = 0, values = 0;
    const LONG rc = detail::WithStore([&](RegistryStore& store) -> LONG {
        detail::Transaction t(store);
        // Keys met so far in this import, by parent and upper-cased name, so
        // that keys sharing a path are looked up once. Keyed by the one step
        // rather than the whole path, the table grows with the script's text,
        // not with the square of a key's depth.
        std::unordered_map<std::string, KeyId> known;
        for (const auto& key : script.keys) {
            const KeyId root = RootKey(key.root, store);
            if (key.remove) {
                known.clear();
                std::optional<KeyId> id = root;
                for (const auto& part : key.path) {
                    if (id) id = store.FindChild(*id, part);
                }
                if (!id) continue;
                if (IsProtected(store, *id)) {
                    refused = detail::ScriptError{key.line, "a root key, or a key that holds "
                                                            "HKEY_CLASSES_ROOT, cannot be deleted"};
                    return ERROR_ACCESS_DENIED;
                }
                store.DeleteTree(*id);
                ++keys;
                continue;
            }
            KeyId id = root;
            bool created = false;
            for (const auto& part : key.path) {
                const std::string step = std::to_string(id) + '\\' + detail::FoldName(part);
                if (auto it = known.find(step); it != known.end()) {
                    id = it->second;
                    created = false;
                    continue;
                }
                auto child = store.FindChild(id, part);
                created = !child;
                id = child ? *child : store.CreateChild(id, part);
                known.emplace(step, id);
            }
            // A key created just now has no values to replace, as long as
            // its script names each value once.
            std::unordered_set<std::string> names;
            for (const auto& v : key.values) {
                const bool fresh = created && names.insert(detail::FoldName(v.name)).second;
                if (v.remove) {
                    if (!fresh) store.DeleteValue(id, v.name);
                } else if (fresh) {
                    store.AddValue(id, v.name, v.type, v.data);
                } else {
                    store.SetValue(id, v.name, v.type, v.data);
                }
                ++values;
            }
            ++keys;
        }
        t.Commit();
        return ERROR_SUCCESS;
    });
    if (refused) {
        result.line = refused->line;
        result.error = LineError(name, refused->line, refused->message);
    } else if (rc != ERROR_SUCCESS) {
        result.error = StoreError(name, rc);
    } else {
        result.ok = true;
        result.keys = keys;
        result.values = values;
    }
    return result;
}

RegistryScriptResult ImportRegistryScript(const std::string& path) {
    int error = 0;
    std::string native = path;
    std::string text = ReadScript(native, error);
    if (error == ENOENT && path.find('\\') != std::string::npos) {
        std::replace(native.begin(), native.end(), '\\', '/');
        text = ReadScript(native, error);
    }
    if (error != 0) {
        RegistryScriptResult result;
        result.error = path + ": the file cannot be opened" +
                       (error == ENOENT ? std::string() : " (" + ReadFailureText(error, native, kReadLimit) + ")");
        return result;
    }
    return ImportRegistryScriptText(text, path);
}

RegistryScriptResult ExportRegistryScriptText(const std::string& key, RegistryScriptFormat format,
                                              std::string& text) {
    RegistryScriptResult result;
    const bool version5 = format == RegistryScriptFormat::Version5;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= key.size()) {
        std::size_t cut = key.find('\\', start);
        if (cut == std::string::npos) cut = key.size();
        if (cut > start) parts.push_back(key.substr(start, cut - start));
        start = cut + 1;
    }
    const RootName* root = parts.empty() ? nullptr : FindRootName(parts[0]);
    if (!parts.empty() && !root) {
        result.error = "unknown root key \"" + parts[0] + "\"";
        return result;
    }
    std::string out = version5 ? "Windows Registry Editor Version 5.00\r\n\r\n" : "REGEDIT4\r\n\r\n";
    bool missing = false;
    const LONG rc = detail::WithStore([&](RegistryStore& store) -> LONG {
        store.BeginRead();
        if (!root) {
            for (auto which : {ScriptRoot::CurrentUser, ScriptRoot::LocalMachine, ScriptRoot::Users}) {
                const auto& name = kRootNames[static_cast<int>(which)];
                AppendTree(store, RootKey(which, store), std::string(name.full), version5, out, result);
            }
        } else {
            KeyId id = RootKey(root->root, store);
            std::string path(root->full);
            for (std::size_t i = 1; i < parts.size(); ++i) {
                auto child = store.FindChild(id, parts[i]);
                if (!child) {
                    missing = true;
                    store.Rollback();
                    return ERROR_FILE_NOT_FOUND;
                }
                id = *child;
                path += '\\';
                path += store.NameOf(id);
            }
            AppendTree(store, id, path, version5, out, result);
        }
        store.Rollback();
        return ERROR_SUCCESS;
    });
    if (missing) {
        result.error = "the key " + key + " does not exist";
    } else if (rc != ERROR_SUCCESS) {
        result.error = StoreError(key.empty() ? "export" : key, rc);
    } else {
        result.ok = true;
        text = std::move(out);
    }
    if (!result.ok) result.keys = result.values = 0;
    return result;
}

RegistryScriptResult ExportRegistryScript(const std::string& path, const std::string& key,
                                          RegistryScriptFormat format) {
    std::string text;
    RegistryScriptResult result = ExportRegistryScriptText(key, format, text);
    if (!result.ok) return result;
    std::string native = path;
    std::replace(native.begin(), native.end(), '\\', '/');
    // Windows writes version 5.00 scripts as Unicode text, REGEDIT4 ones in
    // the code page.
    if (format == RegistryScriptFormat::Version5) text = AnsiToUtf16Text(text);
    if (const SaveResult saved = SaveFiles({{native, std::move(text)}}, native); !saved.ok()) {
        result.ok = false;
        result.error = path + ": the file cannot be written (" + saved.Why() + ")";
    }
    return result;
}

}  // namespace win
