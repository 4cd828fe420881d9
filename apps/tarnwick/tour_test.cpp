// The main job of ./run without a display: `tarnwick setup` lays out a
// working folder and `tarnwick tour` drives every tool in it.

#include <gtest/gtest.h>
#include <sys/wait.h>
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

// Runs the installed program directly (no shell) with the working folder
// given; its standard output and error together.
RunResult RunTarnwick(const fs::path& work, const std::string& command) {
    const std::string program = (fs::path(std::getenv("TARNWICK_BIN")) / "tarnwick").string();
    RunResult run{-1, {}};
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return run;
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("TARNWICK_WORK", work.c_str(), 1);
        dup2(pipeFds[1], 1);
        dup2(pipeFds[1], 2);
        close(pipeFds[0]);
        close(pipeFds[1]);
        execl(program.c_str(), program.c_str(), command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    std::array<char, 4096> buffer;
    ssize_t n;
    while ((n = read(pipeFds[0], buffer.data(), buffer.size())) > 0)
        run.output.append(buffer.data(), static_cast<size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.status = WEXITSTATUS(status);
    return run;
}

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(Tour, SetupThenTourDrivesEveryToolAndSavesScreenshots) {
    // A folder name that a command line for a shell would have to quote.
    const fs::path work =
        fs::temp_directory_path() / ("tarnwick tour's \"work\" $(x) " + std::to_string(::getpid()));
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
