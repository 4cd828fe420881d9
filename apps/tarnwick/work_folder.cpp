#include "apps/tarnwick/work_folder.h"

#include <stdlib.h>

#include <cstdlib>
#include <ostream>
#include <stdexcept>

#include "platform/win/profile.h"
#include "platform/win/registry.h"
#include "platform/win/registry_script.h"
#include "platform/vbide/addin_registration.h"

namespace fs = std::filesystem;

namespace tarnwick {

namespace {

const char* const kPrograms[] = {"tarnwick", "tarnwick-tour", "ide", "larkspur", "fenmoor", "regedit", "regsvr"};

struct AddIn {
    const char* library;
    const char* progId;
};
const AddIn kAddIns[] = {
    {"Quillon.so", "Quillon.Connect"},
    {"Config.so", "Config.Connect"},
    {"Wendover.so", "WendoverAgent.Connect"},
};

fs::path SourceRoot() { return fs::path(TARNWICK_SOURCE_DIR); }

// Copies a file when the copy is missing or older than the original.
void Install(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    if (fs::exists(to) && fs::last_write_time(to) >= fs::last_write_time(from) &&
        fs::file_size(to) == fs::file_size(from))
        return;
    fs::path temporary = to;
    temporary += ".new";
    fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, ec);
    if (!ec) fs::rename(temporary, to, ec);
    if (ec) throw std::runtime_error("cannot install " + to.string() + ": " + ec.message());
}

void InstallBuild(const fs::path& buildBin, const WorkFolder& w) {
    fs::create_directories(w.bin);
    fs::create_directories(w.lib);
    for (const char* program : kPrograms) {
        fs::path from = buildBin / program;
        if (fs::exists(from)) Install(from, w.bin / program);
    }
    fs::path buildLib = buildBin.parent_path() / "lib";
    for (const auto& entry : fs::directory_iterator(buildLib)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name.find(".so") != std::string::npos)
            Install(entry.path(), w.lib / name);
    }
}

void CopyTree(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::create_directories(to);
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
    if (ec) throw std::runtime_error("cannot copy " + from.string() + " to " + to.string() + ": " + ec.message());
}

void RegisterAddIn(const fs::path& library) {
    vbide::RegistrationResult result = vbide::RegisterLibrary(library.string(), false);
    if (!result.ok) throw std::runtime_error(result.message);
}

}  // namespace

fs::path WorkFolderPath() {
    if (const char* work = std::getenv("TARNWICK_WORK"); work && *work) return work;
    fs::path data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) data = xdg;
    else data = fs::path(std::getenv("HOME") ? std::getenv("HOME") : ".") / ".local/share";
    return data / "tarnwick" / "work";
}

WorkFolder DescribeWorkFolder(const fs::path& root) {
    WorkFolder w;
    w.root = root;
    w.bin = root / "bin";
    w.lib = root / "lib";
    w.project = root / "project" / "Ledger.vbp";
    w.registry = root / "registry.db";
    w.addins = root / "vbaddin.ini";
    w.screenshots = root / "screenshots";
    return w;
}

void UseWorkFolder(const WorkFolder& w) {
    setenv("TARNWICK_WORK", w.root.c_str(), 1);
    setenv("TARNWICK_REGISTRY", w.registry.c_str(), 1);
    setenv("TARNWICK_ADDINS", w.addins.c_str(), 1);
    setenv("TARNWICK_BIN", w.bin.c_str(), 1);
    win::UseRegistryStore(w.registry.string());
}

WorkFolder PrepareWorkFolder(const fs::path& selfBin, std::ostream& out) {
    WorkFolder w = DescribeWorkFolder(WorkFolderPath());
    fs::create_directories(w.root);
    InstallBuild(selfBin, w);
    fs::create_directories(w.screenshots);
    if (!fs::exists(w.project)) {
        CopyTree(SourceRoot() / "samples" / "project", w.project.parent_path());
        out << "sample project copied to " << w.project.string() << "\n";
    }
    UseWorkFolder(w);

    const fs::path seed = SourceRoot() / "samples" / "registry" / "seed.reg";
    win::RegistryScriptResult seeded = win::ImportRegistryScript(seed.string());
    if (!seeded.ok) throw std::runtime_error(seeded.error);
    out << "registry store " << w.registry.string() << " seeded from " << seed.filename().string()
        << " (" << seeded.keys << " keys)\n";

    for (const AddIn& addIn : kAddIns) {
        fs::path library = w.lib / addIn.library;
        if (!fs::exists(library)) continue;
        RegisterAddIn(library);
        // An add-in the user switched off (0) stays off.
        char value[16] = {};
        win::GetPrivateProfileStringA("Add-Ins32", addIn.progId, "", value, sizeof value,
                                      w.addins.c_str());
        if (!*value &&
            !win::WritePrivateProfileStringA("Add-Ins32", addIn.progId, "1", w.addins.c_str()))
            throw std::runtime_error("cannot write " + w.addins.string());
        out << "add-in " << addIn.progId << " registered from " << library.string() << "\n";
    }
    return w;
}

}  // namespace tarnwick
