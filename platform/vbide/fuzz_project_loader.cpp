// Fuzzes the module-file parser and the project-file loader: any bytes must
// load or be refused with a VbError / a reported problem, never crash, and a
// module that loads must write back the bytes it was read from.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "platform/vbide/environment.h"
#include "platform/vbide/module_file.h"
#include "platform/vbide/project_file.h"

namespace {

const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        auto p = std::filesystem::temp_directory_path() / ("vbide_fuzz_" + std::to_string(::getpid()));
        std::filesystem::create_directories(p);
        return p;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    // The first byte picks the kind of file.
    const vbide::vbext_ComponentType kinds[] = {vbide::vbext_ct_StdModule, vbide::vbext_ct_ClassModule,
                                                vbide::vbext_ct_VBForm, vbide::vbext_ct_UserControl};
    const unsigned pick = data[0] % 5;
    if (pick < 4) {
        try {
            vbide::ParsedModule m = vbide::ParseModuleFile(bytes, kinds[pick]);
            if (m.text.Serialize() != bytes) std::abort();
        } catch (const vbide::ModuleFileError&) {
        }
        return 0;
    }
    // A project file whose module lines name files of the folder.
    {
        std::ofstream(Folder() / "m.bas", std::ios::binary) << "Attribute VB_Name = \"m\"\r\nx\r\n";
        std::ofstream(Folder() / "p.vbp", std::ios::binary) << bytes;
    }
    auto env = vbide::Environment::Create();
    try {
        auto result = vbide::OpenProjectFile(*env, (Folder() / "p.vbp").string());
        for (auto& p : result.projects) {
            p->WriteProperty("Fuzz", "Key", "Value");
            p->ReadProperty("fuzz", "key");
        }
    } catch (const vb::VbError&) {
    }
    return 0;
}
