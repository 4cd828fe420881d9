#include "config/atomic_write.h"

#include <filesystem>
#include <fstream>
#include <random>

#include "platform/win/vb_error.h"

namespace config {

namespace fs = std::filesystem;

void WriteAllOrNothing(const std::vector<vbide::PendingFile>& files) {
    std::mt19937_64 random{std::random_device{}()};
    const std::string suffix = ".tarnwick-" + std::to_string(random() % 1000000000);
    std::vector<fs::path> temps;
    auto discard = [&] {
        std::error_code ignore;
        for (const fs::path& t : temps) fs::remove(t, ignore);
    };
    for (const vbide::PendingFile& f : files) {
        fs::path temp = f.path + suffix;
        temps.push_back(temp);
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (out) out.write(f.bytes.data(), static_cast<std::streamsize>(f.bytes.size()));
        if (out) out.flush();
        if (!out) {
            discard();
            throw vb::VbError(75, "Config", "cannot write " + f.path + "; no file was changed");
        }
        std::error_code ec;
        fs::permissions(temp, fs::status(f.path, ec).permissions(), ec);
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::error_code ec;
        fs::rename(temps[i], files[i].path, ec);
        if (ec) {
            std::string done;
            for (std::size_t j = 0; j < i; ++j) done += (j ? ", " : "") + files[j].path;
            temps.erase(temps.begin(), temps.begin() + static_cast<std::ptrdiff_t>(i));
            discard();
            throw vb::VbError(75, "Config", "cannot replace " + files[i].path + " (" + ec.message() + ")" +
                               (done.empty() ? "; no file was changed" : "; already replaced: " + done));
        }
    }
}

}  // namespace config
