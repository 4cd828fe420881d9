#include "apps/tarnwick/launch.h"

#include <unistd.h>

#include <iostream>

#include "apps/tarnwick/work_folder.h"

namespace tarnwick {

int Setup(const std::filesystem::path& selfBin, std::ostream& out, std::ostream& err) {
    try {
        WorkFolder w = PrepareWorkFolder(selfBin, out);
        out << "working folder: " << w.root.string() << "\n";
        return 0;
    } catch (const std::exception& e) {
        err << "tarnwick setup: " << e.what() << "\n";
        return 1;
    }
}

int Launch(const std::string& program, const std::vector<std::string>& args, std::ostream& err) {
    WorkFolder w = DescribeWorkFolder(WorkFolderPath());
    UseWorkFolder(w);
    std::filesystem::path path = w.bin / program;
    std::vector<std::string> words{path.string()};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    std::cout.flush();
    execv(path.c_str(), argv.data());
    err << "tarnwick: cannot start " << path.string() << " (run `tarnwick setup` first)\n";
    return 127;
}

}  // namespace tarnwick
