// The main job of ./run without a display: `tarnwick setup` lays out a
// working folder and `tarnwick tour` drives every tool in it.

#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int status;
    std::string output;
};

RunResult RunTarnwick(const fs::path& work, const std::string& args) {
    const std::string command = "TARNWICK_WORK='" + work.string() + "' '" +
                                (fs::path(std::getenv("TARNWICK_BIN")) / "tarnwick").string() +
                                "' " + args + " 2>&1";
    RunResult run{-1, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.output.append(buffer.data(), n);
    run.status = pclose(pipe);
    return run;
}

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(Tour, SetupThenTourDrivesEveryToolAndSavesScreenshots) {
    const fs::path work = fs::temp_directory_path() / ("tarnwick_tour_" + std::to_string(::getpid()));
    fs::remove_all(work);
    RunResult setup = RunTarnwick(work, "setup");
    ASSERT_EQ(setup.status, 0) << setup.output;
    EXPECT_TRUE(fs::exists(work / "project" / "Ledger.vbp"));
    EXPECT_TRUE(fs::exists(work / "registry.db"));
    EXPECT_NE(Slurp(work / "vbaddin.ini").find("Quillon.Connect=1"), std::string::npos);

    RunResult tour = RunTarnwick(work, "tour");
    EXPECT_EQ(tour.status, 0) << tour.output;
    EXPECT_NE(tour.output.find("== Tour finished ="), std::string::npos) << tour.output;
    // Quillon inserted a property with its member into the tour's copy on disk.
    const std::string account = Slurp(work / "tour" / "project" / "CAccount.cls");
    EXPECT_NE(account.find("Public Property Get Balance ()As Currency\r\n"), std::string::npos);
    EXPECT_NE(account.find("Private m_Balance As Currency\r\n"), std::string::npos);
    // Config switched every module to release.
    EXPECT_NE(Slurp(work / "tour" / "project" / "modLedger.bas").find("#Const debugging = False\r\n"),
              std::string::npos);
    // Larkspur's and Fenmoor's scripts were written, handed to the editor and imported.
    EXPECT_NE(tour.output.find("registry editor started: REGEDIT "), std::string::npos);
    EXPECT_NE(tour.output.find("[HKEY_CLASSES_ROOT\\TarnwickProvider]"), std::string::npos);
    EXPECT_NE(Slurp(work / "bin" / "wizard.reg").find("ADCLaunch\\"), std::string::npos);
    // The user's own copy of the sample is untouched.
    EXPECT_EQ(Slurp(work / "project" / "CAccount.cls").find("Balance"), std::string::npos);
    for (const char* png : {"quillon-dialog.png", "config-dialog.png", "wendover-options.png",
                            "ide.png", "larkspur.png", "fenmoor-step1.png"})
        EXPECT_GT(fs::exists(work / "screenshots" / png) ? fs::file_size(work / "screenshots" / png) : 0u,
                  1000u)
            << png;
    fs::remove_all(work);
}

}  // namespace
