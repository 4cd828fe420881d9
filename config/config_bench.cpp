// Switching a large project to "release": the `tarnwick config PROJECT.vbp
// switch release` program against GNU sed making the same
// line changes in a copy of the same files, each file then flushed (fsync),
// since a switch leaves its files durable. Both are timed in one run; the
// summary at the end gives both times, their ratio and the machine's load.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "config/config_command.h"
#include "platform/vbide/environment.h"

namespace {

namespace fs = std::filesystem;

constexpr int kModules = 400;
constexpr int kLines = 2500;
const char* const kConstants[] = {"debugging", "tracing", "logging", "checking"};
// Values in debug and in release.
const bool kDebug[] = {true, true, false, true};
const bool kRelease[] = {false, false, false, true};

fs::path g_root;
double g_configSeconds = 0, g_sedSeconds = 0;
// Processor time (user + system): less at the mercy of a busy machine.
double g_configCpu = 0, g_sedCpu = 0;
int g_configRuns = 0, g_sedRuns = 0;
double g_catSeconds = 0;
int g_catRuns = 0;

std::string ModuleName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "mod%03d", i);
    return name;
}

// One module: the attribute line, Option Explicit, the four declarations,
// then procedures of ordinary code until it has kLines visible lines.
std::string ModuleText(int index) {
    std::string text = "Attribute VB_Name = \"" + ModuleName(index) + "\"\r\nOption Explicit\r\n";
    for (int k = 0; k < 4; ++k) text += std::string("#Const ") + kConstants[k] + " = " + (kDebug[k] ? "True" : "False") + "\r\n";
    int line = 5;
    int proc = 0;
    while (line < kLines) {
        std::string name = "Proc" + std::to_string(++proc);
        const char* body[] = {
            "' Works out the running total for the ledger row.",
            "Public Function NAME(ByVal lngRow As Long) As Currency",
            "    Dim curTotal As Currency",
            "    Dim i As Long",
            "#If debugging Then",
            "    Debug.Print \"NAME\", lngRow",
            "#End If",
            "    For i = 1 To lngRow",
            "        curTotal = curTotal + i * 0.01",
            "    Next i",
            "    NAME = curTotal",
            "End Function",
            "",
        };
        for (const char* raw : body) {
            if (line >= kLines) break;
            std::string l = raw;
            for (std::size_t at; (at = l.find("NAME")) != std::string::npos;) l.replace(at, 4, name);
            text += l + "\r\n";
            ++line;
        }
    }
    return text;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// `withStore`: the project holds the four constants in debug and release;
// without, its first switch gives it the defaults.
void Generate(const fs::path& folder, bool withStore = true) {
    fs::create_directories(folder);
    std::string vbp = "Type=Exe\r\n";
    for (int i = 1; i <= kModules; ++i) vbp += "Module=" + ModuleName(i) + "; " + ModuleName(i) + ".bas\r\n";
    vbp += "Name=\"Bench\"\r\n";
    for (int i = 1; i <= kModules; ++i) WriteFile(folder / (ModuleName(i) + ".bas"), ModuleText(i));
    if (!withStore) {
        WriteFile(folder / "Bench.vbp", vbp);
        return;
    }
    vbp += "\r\n[Configurations]\r\nCount=2\r\nConfig1=debug\r\nConfig2=release\r\nCurrent=1\r\n";
    vbp += "\r\n[Constants]\r\nCount=4\r\n";
    for (int k = 0; k < 4; ++k) vbp += "Const" + std::to_string(k + 1) + "=" + kConstants[k] + "\r\n";
    for (int c = 1; c <= 2; ++c) {
        vbp += "\r\n[Config" + std::to_string(c) + "]\r\n";
        for (int k = 0; k < 4; ++k) vbp += std::string(kConstants[k]) + "=" + ((c == 1 ? kDebug : kRelease)[k] ? "True" : "False") + "\r\n";
    }
    WriteFile(folder / "Bench.vbp", vbp);
}

int Switch(const char* configuration) {
    std::ostringstream out, err;
    const auto env = vbide::Environment::Create();
    env->SetHoldsProjectLocks(true);
    int status =
        config::RunConfigCommand({(g_root / "config" / "Bench.vbp").string(), "switch", configuration}, *env, out, err);
    if (status != 0) std::cerr << err.str();
    return status;
}

// The same line changes as Configure: a line with "#Const <name> " starting
// in column 1, 2 or 3 (letters in any case) becomes the declaration; the CR of
// the line end stays. Then every file is flushed (coreutils' sync with file
// names calls fsync on each).
int Sed(const bool* values, double* cpu = nullptr, const fs::path& folder = g_root / "sed") {
    std::string command = "sed -i -E";
    for (int k = 0; k < 4; ++k)
        command += std::string(" -e 's/^.{0,2}#Const ") + kConstants[k] + " [^\\r]*/#Const " + kConstants[k] + " = " +
                   (values[k] ? "True" : "False") + "/I'";
    const std::string files = " '" + folder.string() + "'/*.bas";
    command += files + " && sync --" + files;
    if (!cpu) return std::system(command.c_str());
    // bash's `time` reports the child's user and system seconds.
    const fs::path times = g_root / "sed.times";
    std::string escaped;
    for (char c : command) escaped += c == '\'' ? std::string("'\\''") : std::string(1, c);
    const std::string wrapped =
        "bash -c 'TIMEFORMAT=\"%3U %3S\"; time " + escaped + "' 2> '" + times.string() + "'";
    int status = std::system(wrapped.c_str());
    std::ifstream in(times);
    double user = 0, system = 0;
    in >> user >> system;
    *cpu = user + system;
    return status;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The real `tarnwick config VBP switch CONFIGURATION`, the program beside
// this one, run as a child: its wall time from fork to exit, and from its
// own resource usage its processor time and its peak resident memory, the
// whole process with its libraries. `ok` is false when it cannot be run or
// fails.
struct ProgramRun {
    bool ok = false;
    double seconds = 0, cpuSeconds = 0;
    long peakKilobytes = -1;
};

ProgramRun RunSwitchProgram(const fs::path& vbp, const char* configuration) {
    ProgramRun run;
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec).parent_path() / "tarnwick";
    if (ec || !fs::exists(program)) return run;
    // What this program has printed must not be printed again by the child.
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child < 0) return run;
    if (child == 0) {
        // Only the figures are wanted here, not the command's report.
        if (std::freopen("/dev/null", "w", stdout) == nullptr) ::_exit(126);
        ::execl(program.c_str(), "tarnwick", "config", vbp.c_str(), "switch", configuration,
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (::wait4(child, &status, 0, &usage) != child) return run;
    run.seconds = Seconds(start);
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    const auto secondsOf = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    run.cpuSeconds = secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime);
    run.peakKilobytes = run.ok ? usage.ru_maxrss : -1;
    return run;
}

// The switch and sed take turns, so that both meet the same load on a busy
// machine, and they trade folders each round (both hold the same bytes
// between rounds): a file system's cost of making files depends on what was
// lately deleted where (ext4 without a journal skips inodes freed in the
// last half minute), which must not favour either side. The switch timed is
// the real program, as a user runs it (its start included), as sed is; the
// benchmark's own time is the switch's.
void BM_ConfigSwitchRelease(benchmark::State& state) {
    const fs::path folders[] = {g_root / "config", g_root / "sed"};
    int round = 0;
    for (auto _ : state) {
        const fs::path& mine = folders[round % 2];
        const fs::path& sed = folders[(round + 1) % 2];
        ++round;
        const ProgramRun run = RunSwitchProgram(mine / "Bench.vbp", "release");
        if (!run.ok) state.SkipWithError("the tarnwick program beside this one could not switch to release");
        g_configSeconds += run.seconds;
        g_configCpu += run.cpuSeconds;
        ++g_configRuns;
        state.PauseTiming();
        const auto start = std::chrono::steady_clock::now();
        double sedCpu = 0;
        if (Sed(kRelease, &sedCpu, sed) != 0) state.SkipWithError("sed failed");
        g_sedSeconds += Seconds(start);
        g_sedCpu += sedCpu;
        ++g_sedRuns;
        if (!RunSwitchProgram(mine / "Bench.vbp", "debug").ok) state.SkipWithError("switch debug failed");
        if (Sed(kDebug, nullptr, sed) != 0) state.SkipWithError("sed failed");
        state.ResumeTiming();
    }
}

// Reading the same files and nothing else: the floor of any switch.
void BM_CatFiles(benchmark::State& state) {
    const std::string command = "cat '" + (g_root / "sed").string() + "'/*.bas > /dev/null";
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) state.SkipWithError("cat failed");
        g_catSeconds += Seconds(start);
        ++g_catRuns;
    }
}

// A project of many constants: one module declares them all, the other
// declares none and receives every one of them.
constexpr int kManyConstants = 20000;
double g_manySeconds = 0;
int g_manyRuns = 0;

std::string ManyName(int k) { return "c" + std::to_string(k); }

void GenerateMany(const fs::path& folder) {
    fs::create_directories(folder);
    std::string vbp = "Type=Exe\r\nModule=modDeclared; modDeclared.bas\r\nModule=modBare; modBare.bas\r\n"
                      "Name=\"Many\"\r\n\r\n[Configurations]\r\nCount=2\r\nConfig1=debug\r\nConfig2=release\r\n"
                      "Current=1\r\n\r\n[Constants]\r\nCount=" + std::to_string(kManyConstants) + "\r\n";
    for (int k = 1; k <= kManyConstants; ++k) vbp += "Const" + std::to_string(k) + "=" + ManyName(k) + "\r\n";
    std::string declared = "Attribute VB_Name = \"modDeclared\"\r\nOption Explicit\r\n";
    for (int c = 1; c <= 2; ++c) {
        vbp += "\r\n[Config" + std::to_string(c) + "]\r\n";
        for (int k = 1; k <= kManyConstants; ++k) vbp += ManyName(k) + (c == 1 ? "=True\r\n" : "=False\r\n");
    }
    for (int k = 1; k <= kManyConstants; ++k) declared += "#Const " + ManyName(k) + " = True\r\n";
    WriteFile(folder / "Many.vbp", vbp);
    WriteFile(folder / "modDeclared.bas", declared);
}

void BM_ConfigSwitchManyConstants(benchmark::State& state) {
    const fs::path folder = g_root / "many";
    for (auto _ : state) {
        state.PauseTiming();
        GenerateMany(folder);
        WriteFile(folder / "modBare.bas", "Attribute VB_Name = \"modBare\"\r\nOption Explicit\r\n");
        state.ResumeTiming();
        auto start = std::chrono::steady_clock::now();
        std::ostringstream out, err;
        const auto env = vbide::Environment::Create();
        if (config::RunConfigCommand({(folder / "Many.vbp").string(), "switch", "release"}, *env, out, err) != 0)
            state.SkipWithError(err.str().c_str());
        g_manySeconds += Seconds(start);
        ++g_manyRuns;
    }
}

// A project shaped like the largest real one we tried: 42 modules (forms
// with their designer blocks, classes, standard modules) of 2.2 MB, member
// attributes after declarations, the constants declared in a few modules.
constexpr int kRealModules = 42;
constexpr std::size_t kRealBytes = 2200 * 1000;
double g_realSeconds = 0;
int g_realRuns = 0;
std::uintmax_t g_realBytes = 0;

std::string RealLikeModule(int index, const char*& extension) {
    const std::string name = (index % 4 == 0 ? "frm" : index % 4 == 1 ? "C" : "bas") + std::to_string(index);
    std::string text;
    if (index % 4 == 0) {
        extension = "frm";
        text = "VERSION 5.00\r\nBegin VB.Form " + name + " \r\n   Caption         =   \"" + name +
               "\"\r\n   ClientHeight    =   3195\r\n";
        for (int c = 0; c < 40; ++c)
            text += "   Begin VB.CommandButton cmd" + std::to_string(c) + " \r\n      Caption         =   \"Go\"\r\n"
                    "      Height          =   375\r\n   End\r\n";
        text += "End\r\nAttribute VB_Name = \"" + name + "\"\r\nAttribute VB_GlobalNameSpace = False\r\n";
    } else if (index % 4 == 1) {
        extension = "cls";
        text = "VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\nEND\r\nAttribute VB_Name = \"" + name +
               "\"\r\nAttribute VB_Exposed = False\r\n";
    } else {
        extension = "bas";
        text = "Attribute VB_Name = \"" + name + "\"\r\n";
    }
    text += "Option Explicit\r\n";
    if (index % 10 == 2)
        for (int k = 0; k < 4; ++k) text += std::string("#Const ") + kConstants[k] + " = " + (kDebug[k] ? "True" : "False") + "\r\n";
    text += "Public WithEvents Timer1 As Timer\r\nAttribute Timer1.VB_VarHelpID = -1\r\n";
    for (int proc = 1; text.size() < kRealBytes / kRealModules; ++proc) {
        const std::string p = "Item" + std::to_string(proc);
        text += "Public Property Get " + p + "() As Variant\r\nAttribute " + p + ".VB_Description = \"The item\"\r\n"
                "    Dim rs As ADODB.Recordset\r\n#If debugging Then\r\n    Debug.Print \"" + p + "\"\r\n#End If\r\n"
                "    Set rs = OpenRecordset(\"SELECT * FROM Ledger WHERE Row = \" & CStr(mlngRow))\r\n"
                "    If Not rs.EOF Then " + p + " = rs!Amount Else " + p + " = Null\r\n"
                "End Property\r\n\r\n";
    }
    return text;
}

void GenerateRealLike(const fs::path& folder) {
    fs::create_directories(folder);
    std::string vbp = "Type=Exe\r\n";
    for (int i = 1; i <= kRealModules; ++i) {
        const char* extension = "";
        const std::string text = RealLikeModule(i, extension);
        const std::string file = "m" + std::to_string(i) + "." + extension;
        WriteFile(folder / file, text);
        const std::string key = extension == std::string("frm") ? "Form=" : extension == std::string("cls") ? "Class=C" + std::to_string(i) + "; " : "Module=bas" + std::to_string(i) + "; ";
        vbp += key + file + "\r\n";
    }
    vbp += "Name=\"Ledger\"\r\n\r\n[Configurations]\r\nCount=2\r\nConfig1=debug\r\nConfig2=release\r\nCurrent=1\r\n"
           "\r\n[Constants]\r\nCount=4\r\n";
    for (int k = 0; k < 4; ++k) vbp += "Const" + std::to_string(k + 1) + "=" + kConstants[k] + "\r\n";
    for (int c = 1; c <= 2; ++c) {
        vbp += "\r\n[Config" + std::to_string(c) + "]\r\n";
        for (int k = 0; k < 4; ++k) vbp += std::string(kConstants[k]) + "=" + ((c == 1 ? kDebug : kRelease)[k] ? "True" : "False") + "\r\n";
    }
    WriteFile(folder / "Ledger.vbp", vbp);
    g_realBytes = 0;
    for (const auto& e : fs::directory_iterator(folder)) g_realBytes += e.file_size();
}

void BM_ConfigSwitchRealLike(benchmark::State& state) {
    const fs::path folder = g_root / "real";
    GenerateRealLike(folder);
    const auto run = [&](const char* configuration) {
        std::ostringstream out, err;
        const auto env = vbide::Environment::Create();
        env->SetHoldsProjectLocks(true);
        if (config::RunConfigCommand({(folder / "Ledger.vbp").string(), "switch", configuration}, *env, out, err) != 0)
            state.SkipWithError(err.str().c_str());
    };
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        run("release");
        g_realSeconds += Seconds(start);
        ++g_realRuns;
        state.PauseTiming();
        run("debug");
        state.ResumeTiming();
    }
}

BENCHMARK(BM_ConfigSwitchRealLike)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConfigSwitchManyConstants)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConfigSwitchRelease)->Iterations(8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CatFiles)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

std::uintmax_t FolderBytes(const fs::path& folder) {
    std::uintmax_t bytes = 0;
    for (const auto& e : fs::directory_iterator(folder)) bytes += e.file_size();
    return bytes;
}

// Peak memory against the project's bytes (before the switch).
void PrintPeak(const char* what, long kilobytes, std::uintmax_t projectBytes) {
    const double mb = kilobytes / 1024.0, projectMb = double(projectBytes) / (1024 * 1024);
    if (kilobytes > 0)
        std::printf("  %-38s %6.1f MB for %.1f MB of project files (%.2fx)\n", what, mb, projectMb,
                    projectMb > 0 ? mb / projectMb : 0.0);
    else
        std::printf("  %-38s the tarnwick program beside this one could not be run\n", what);
}

// Both ways must make the same modules, or the comparison means nothing.
bool SameResults() {
    if (Switch("release") != 0 || Sed(kRelease) != 0) return false;
    bool same = true;
    for (int i = 1; i <= kModules && same; ++i) {
        const std::string file = ModuleName(i) + ".bas";
        same = ReadFile(g_root / "config" / file) == ReadFile(g_root / "sed" / file);
    }
    return Switch("debug") == 0 && Sed(kDebug) == 0 && same;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    g_root = fs::temp_directory_path() / ("tarnwick_config_bench_" + std::to_string(std::random_device{}()));
    std::cout << "generating " << kModules << " modules of " << kLines << " lines in " << g_root << "\n";
    Generate(g_root / "config");
    fs::copy(g_root / "config", g_root / "sed", fs::copy_options::recursive);
    const bool same = SameResults();
    std::cout << "config and sed make identical modules: " << (same ? "yes" : "NO") << "\n";

    // A first switch gives every module the default declaration; a next one
    // only rewrites lines. Both from the real command, one process each.
    const fs::path bare = g_root / "first";
    Generate(bare, false);
    const std::uintmax_t bareBytes = FolderBytes(bare);
    const long firstPeak = RunSwitchProgram(bare / "Bench.vbp", "release").peakKilobytes;
    fs::remove_all(bare);
    const std::uintmax_t projectBytes = FolderBytes(g_root / "config");
    long nextPeak = RunSwitchProgram(g_root / "config" / "Bench.vbp", "release").peakKilobytes;
    if (nextPeak > 0)
        nextPeak = std::max(nextPeak, RunSwitchProgram(g_root / "config" / "Bench.vbp", "debug").peakKilobytes);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    if (g_configRuns > 0 && g_sedRuns > 0) {
        const double config = g_configSeconds / g_configRuns, sed = g_sedSeconds / g_sedRuns;
        const double configCpu = g_configCpu / g_configRuns, sedCpu = g_sedCpu / g_sedRuns;
        std::printf("switch release, %d modules x %d lines, 4 constants (mean of %d runs each):\n"
                    "                                           elapsed   processor\n"
                    "  tarnwick config ... switch (the program): %6.3f s  %7.3f s\n"
                    "  sed -i -E and fsync of each, same files:  %7.3f s  %7.3f s\n"
                    "  ratio config / sed:                      %7.2f    %7.2f\n",
                    kModules, kLines, g_configRuns, config, configCpu, sed, sedCpu, config / sed,
                    sedCpu > 0 ? configCpu / sedCpu : 0.0);
        if (g_catRuns > 0) {
            const double cat = g_catSeconds / g_catRuns;
            std::printf("  cat of the same files:                   %7.3f s\n"
                        "  ratio config / cat:                      %7.2f\n",
                        cat, config / cat);
        }
    }
    std::printf("peak memory of `tarnwick config ... switch`, whole process (target at most 2x):\n");
    PrintPeak("first switch (inserts the defaults):", firstPeak, bareBytes);
    PrintPeak("next switch (release, then debug):", nextPeak, projectBytes);
    if (g_realRuns > 0)
        std::printf("switch release, real-like project (%d modules, %.1f MB): %7.3f s (target under 0.100 s)\n",
                    kRealModules, double(g_realBytes) / 1e6, g_realSeconds / g_realRuns);
    if (g_manyRuns > 0)
        std::printf("switch release, %d constants (%d lines rewritten, %d inserted): %7.3f s\n", kManyConstants,
                    kManyConstants, kManyConstants, g_manySeconds / g_manyRuns);
    double load[3] = {0, 0, 0};
    if (::getloadavg(load, 3) == 3) std::printf("load average: %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    fs::remove_all(g_root);
    return same ? 0 : 1;
}
