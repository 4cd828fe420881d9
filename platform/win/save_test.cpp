#include "platform/win/save.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "platform/win/faulty_file_system.h"
#include "platform/win/files.h"
#include "platform/win/process.h"
#include "platform/win/save_journal.h"
#include "platform/win/test_support.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace win {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

using testing::Entries;

class Save : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return folder_ / name; }
    testing::TempFolder folder_;
};

TEST_F(Save, WritesTheBytesAndReplacesAnOlderFile) {
    const std::string target = Path("wizard.reg");
    ASSERT_EQ(WriteFileAtomically(target, "first, and longer\r\n"), "");
    ASSERT_EQ(WriteFileAtomically(target, std::string("a\0b\r\n", 5)), "");
    EXPECT_EQ(testing::ReadBytes(target), std::string("a\0b\r\n", 5));
    EXPECT_EQ(Entries(folder_.Path()), std::set<std::string>{"wizard.reg"});
}

TEST_F(Save, MissingFolderOrAFolderAsTargetFailsAndChangesNothing) {
    EXPECT_EQ(WriteFileAtomically(Path("missing/wizard.reg"), "x"), "No such file or directory");
    EXPECT_FALSE(fs::exists(Path("missing")));
    fs::create_directories(Path("wizard.reg/inside"));
    EXPECT_EQ(WriteFileAtomically(Path("wizard.reg"), "x"), "Is a directory");
    EXPECT_TRUE(fs::is_directory(Path("wizard.reg/inside")));
    EXPECT_EQ(Entries(folder_.Path()), std::set<std::string>{"wizard.reg"});
}

TEST_F(Save, UnchangedFilesAreNotTouchedAndCountedOut) {
    testing::WriteBytes(Path("a.bas"), "same");
    const auto before = fs::last_write_time(Path("a.bas"));
    const SaveResult r = SaveFiles({{Path("a.bas"), "same"}, {Path("b.bas"), "new"}}, Path("P.vbp"));
    ASSERT_TRUE(r.ok()) << r.Text();
    EXPECT_EQ(r.changed, 1u);
    EXPECT_EQ(fs::last_write_time(Path("a.bas")), before);
}

TEST_F(Save, ProducedBytesAreComparedAndWrittenLikeGivenOnes) {
    testing::WriteBytes(Path("a.bas"), "same");
    testing::WriteBytes(Path("b.bas"), "old");
    int made = 0;
    const auto make = [&made](std::string bytes) {
        return [&made, bytes] {
            ++made;
            return bytes;
        };
    };
    const SaveResult r = SaveFiles({{Path("a.bas"), {}, make("same")}, {Path("b.bas"), {}, make("new")}}, Path("P.vbp"));
    ASSERT_TRUE(r.ok()) << r.Text();
    EXPECT_EQ(r.changed, 1u);
    EXPECT_EQ(testing::ReadBytes(Path("a.bas")), "same");
    EXPECT_EQ(testing::ReadBytes(Path("b.bas")), "new");
    EXPECT_EQ(made, 3);  // each compared once, the changed one written
}

TEST_F(Save, AReadOnlyTargetIsRefusedBeforeAnythingChanges) {
    testing::WriteBytes(Path("a.bas"), "old a");
    testing::WriteBytes(Path("b.bas"), "old b");
    fs::permissions(Path("b.bas"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const SaveResult r = SaveFiles({{Path("a.bas"), "new a"}, {Path("b.bas"), "new b"}}, Path("a.bas"));
    EXPECT_EQ(r.outcome, SaveResult::kRefused);
    EXPECT_EQ(r.file, Path("b.bas"));
    EXPECT_EQ(testing::ReadBytes(Path("a.bas")), "old a");
    EXPECT_EQ(testing::ReadBytes(Path("b.bas")), "old b");
    EXPECT_EQ(Entries(folder_.Path()), (std::set<std::string>{"a.bas", "b.bas"}));
}

TEST_F(Save, LinksModesAndHardLinksAreKept) {
    if (kWindows) GTEST_SKIP() << "symbolic links need a privilege on Windows, and it keeps no mode bits";
    fs::create_directories(Path("shared"));
    testing::WriteBytes(Path("shared/mod.bas"), "old shared");
    fs::create_symlink("shared/mod.bas", Path("mod.bas"));
    testing::WriteBytes(Path("hard.bas"), "old hard");
    fs::create_hard_link(Path("hard.bas"), Path("other-name.bas"));
    testing::WriteBytes(Path("exec.bas"), "old exec");
    fs::permissions(Path("exec.bas"), fs::perms::owner_all | fs::perms::group_read);
    const SaveResult r = SaveFiles(
        {{Path("mod.bas"), "new shared"}, {Path("hard.bas"), "new hard"}, {Path("exec.bas"), "new exec"}},
        Path("mod.bas"));
    ASSERT_TRUE(r.ok()) << r.Text();
    EXPECT_TRUE(fs::is_symlink(Path("mod.bas")));
    EXPECT_EQ(testing::ReadBytes(Path("shared/mod.bas")), "new shared");
    EXPECT_EQ(testing::ReadBytes(Path("other-name.bas")), "new hard");
    EXPECT_EQ(fs::hard_link_count(Path("hard.bas")), 2u);
    EXPECT_EQ(fs::status(Path("exec.bas")).permissions(), fs::perms::owner_all | fs::perms::group_read);
}

// Every step of a save fails in turn; whatever happens, the next save or
// open (RecoverSave) leaves all files old or all new, with nothing stray.
TEST_F(Save, AFailureAtAnyStepLeavesAllOldOrAllNew) {
    if (kWindows) GTEST_SKIP() << "symbolic links need a privilege on Windows; Win32Save runs this loop there";
    fs::create_directories(Path("shared"));
    const std::vector<std::pair<std::string, std::string>> files = {
        {"P.vbp", "Type=Exe"}, {"shared/one.bas", "one"}, {"hard.bas", "hard"}};
    FaultyFileSystem faulty(FileSystem::Native());
    bool saved = false;
    for (int n = 1; !saved && n < 200; ++n) {
        for (const auto& [name, text] : files) testing::WriteBytes(Path(name), "old " + text);
        fs::remove(Path("link.bas"));
        fs::create_symlink("shared/one.bas", Path("link.bas"));
        fs::remove(Path("second-link"));
        fs::create_hard_link(Path("hard.bas"), Path("second-link"));
        fs::remove(Path("fresh.cls"));
        const std::set<std::string> before = Entries(folder_.Path());

        faulty.FailAt(n);
        const SaveResult r = SaveFiles({{Path("P.vbp"), "new Type=Exe"},
                                        {Path("link.bas"), "new one"},
                                        {Path("hard.bas"), "new hard"},
                                        {Path("fresh.cls"), "new fresh"}},
                                       Path("P.vbp"), faulty);
        saved = r.ok();
        ASSERT_TRUE(saved || faulty.Failed()) << r.Text();
        ASSERT_TRUE(RecoverSave(Path("P.vbp")).ok());
        const bool isNew = testing::ReadBytes(Path("P.vbp")) == "new Type=Exe";
        const std::string prefix = isNew ? "new " : "old ";
        SCOPED_TRACE("failing step " + std::to_string(n));
        EXPECT_TRUE(!saved || isNew);
        for (const auto& [name, text] : files) EXPECT_EQ(testing::ReadBytes(Path(name)), prefix + text) << name;
        EXPECT_EQ(testing::ReadBytes(Path("second-link")), prefix + "hard");
        EXPECT_TRUE(fs::is_symlink(Path("link.bas")));
        EXPECT_EQ(fs::exists(Path("fresh.cls")), isNew);
        std::set<std::string> expected = before;
        if (isNew) expected.insert("fresh.cls");
        EXPECT_EQ(Entries(folder_.Path()), expected);
        EXPECT_EQ(Entries(Path("shared")), std::set<std::string>{"one.bas"});
    }
    EXPECT_TRUE(saved);
}

// The disk fails for good from some step on (full, or gone): a save stopped
// before its commit changed nothing; one stopped after it says so, names
// the files, and the next open finishes it.
TEST_F(Save, ASaveThatCannotFinishAfterItsCommitSaysSoAndTheNextOpenFinishesIt) {
    testing::WriteBytes(Path("P.vbp"), "Type=Exe");
    const std::string bigNew(8209, 'n');
    const std::vector<FileToSave> files = {{Path("P.vbp"), "Type=Exe new"}, {Path("a.bas"), "new a"},
                                           {Path("hard.bas"), bigNew}};
    const NamedFiles names = [this](const std::string&) {
        return std::vector<std::string>{Path("a.bas"), Path("hard.bas")};
    };
    FaultyFileSystem faulty(FileSystem::Native());
    std::set<SaveResult::Outcome> seen;
    for (int n = 1; n < 200 && !seen.count(SaveResult::kSaved); ++n) {
        SCOPED_TRACE("failing from step " + std::to_string(n));
        testing::WriteBytes(Path("P.vbp"), "Type=Exe");
        testing::WriteBytes(Path("a.bas"), "old a");
        fs::remove(Path("hard.bas"));
        fs::remove(Path("second-name"));
        testing::WriteBytes(Path("hard.bas"), std::string(8192, 'o'));
        fs::create_hard_link(Path("hard.bas"), Path("second-name"));
        const std::set<std::string> entries = Entries(folder_.Path());
        faulty.FailAt(n, ENOSPC, true);
        const SaveResult r = SaveFiles(files, Path("P.vbp"), faulty, names);
        seen.insert(r.outcome);
        const bool committed = r.outcome == SaveResult::kUnfinished || r.ok();
        if (r.outcome == SaveResult::kUnfinished) {
            EXPECT_EQ(r.reason, "No space left on device");
            EXPECT_EQ(r.unfinished, (std::vector<std::string>{Path("P.vbp"), Path("a.bas"), Path("hard.bas")}));
        } else {
            EXPECT_TRUE(r.ok() || r.outcome == SaveResult::kFailed) << r.Text();
        }
        // A file rewritten in place is whole: old before the commit, old or
        // new (never cut) after it.
        const std::string hard = testing::ReadBytes(Path("hard.bas"));
        EXPECT_TRUE(hard == std::string(8192, 'o') || (committed && hard == bigNew)) << hard.size();
        ASSERT_TRUE(RecoverSave(Path("P.vbp"), FileSystem::Native(), names).ok());
        EXPECT_EQ(testing::ReadBytes(Path("a.bas")), committed ? "new a" : "old a");
        EXPECT_EQ(testing::ReadBytes(Path("second-name")), committed ? bigNew : std::string(8192, 'o'));
        EXPECT_EQ(Entries(folder_.Path()), entries);
    }
    EXPECT_TRUE(seen.count(SaveResult::kFailed) && seen.count(SaveResult::kUnfinished) &&
                seen.count(SaveResult::kSaved));
}

// Recovery reads journals up to a bound: a save whose journal would pass it
// is refused before anything is written.
TEST_F(Save, ASaveTooLargeForItsJournalIsRefused) {
    std::vector<FileToSave> files;
    // Names short enough for Windows' path limit, many enough to pass the bound.
    for (int i = 0; i < 5000; ++i) files.push_back({Path(std::to_string(i) + std::string(150, 'n') + ".bas"), "x"});
    const SaveResult r = SaveFiles(files, Path("P.vbp"));
    EXPECT_EQ(r.outcome, SaveResult::kRefused);
    EXPECT_EQ(r.reason, "too many files for one save");
    EXPECT_TRUE(Entries(folder_.Path()).empty());
}

// The save that is killed: 40 modules beside P.vbp in `folder`.
std::vector<FileToSave> KilledSaveFiles(const std::string& folder) {
    std::vector<FileToSave> files;
    for (int i = 0; i < 40; ++i)
        files.push_back({folder + "/m" + std::to_string(i) + ".bas", "new " + std::to_string(i) + std::string(20000, 'n')});
    return files;
}

// Starts a second process that saves KilledSaveFiles(folder) and kills it at
// a random moment: on Windows this program again, for this test alone, told
// the folder by TARNWICK_KILLED_SAVE, killed once its save has begun (its
// journal exists), since a new process takes a while to start there.
void KillASave(const std::string& folder, std::mt19937& random) {
#ifdef _WIN32
    char self[MAX_PATH];
    const ::DWORD n = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    ASSERT_TRUE(n > 0 && n < MAX_PATH);
    long pid = 0;
    {
        testing::ScopedVariable child("TARNWICK_KILLED_SAVE", folder.c_str());
        ShellRequest request;
        request.commandLine = QuoteArgument(self) + " --gtest_filter=SaveKilled.*";
        request.argv = SplitCommandLine(request.commandLine);
        request.program = self;
        request.windowStyle = vbHide;
        request.quiet = true;
        pid = DefaultProcessStarter().Start(request);
    }
    const ::HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<::DWORD>(pid));
    ASSERT_NE(process, nullptr);
    const std::string journal = folder + "/.P.vbp.save-journal";
    while (!fs::exists(journal) && ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT) ::Sleep(1);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 100000));
    ::TerminateProcess(process, 9);
    ::WaitForSingleObject(process, INFINITE);
    ::CloseHandle(process);
#else
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SaveFiles(KilledSaveFiles(folder), folder + "/P.vbp");
        ::_exit(0);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
#endif
}

// A save killed at random moments: the next RecoverSave finds all old or all new.
TEST(SaveKilled, AKilledSaveIsFinishedOrUndoneByTheNext) {
#ifdef _WIN32
    if (const char* folder = std::getenv("TARNWICK_KILLED_SAVE"); folder && *folder) {
        SaveFiles(KilledSaveFiles(folder), std::string(folder) + "/P.vbp");
        std::_Exit(0);
    }
#endif
    testing::TempFolder folder;
    const std::vector<FileToSave> next = KilledSaveFiles(folder.Path());
    const auto writeOld = [&next] {
        for (std::size_t i = 0; i < next.size(); ++i)
            testing::WriteBytes(next[i].path, "old " + std::to_string(i) + std::string(20000, 'o'));
    };
    writeOld();
    testing::WriteBytes(folder / "P.vbp", "Type=Exe\n");
    const std::set<std::string> entries = Entries(folder.Path());
    const NamedFiles modules = [&next](const std::string&) {
        std::vector<std::string> paths;
        for (const FileToSave& f : next) paths.push_back(f.path);
        return paths;
    };
    std::mt19937 random(std::random_device{}());
    int olds = 0, news = 0;
    for (int round = 0; round < 12; ++round) {
        KillASave(folder.Path(), random);
        const SaveResult recovered = RecoverSave(folder / "P.vbp", FileSystem::Native(), modules);
        ASSERT_TRUE(recovered.ok()) << recovered.Text();
        const bool isNew = testing::ReadBytes(next[0].path) == next[0].bytes;
        (isNew ? news : olds) += 1;
        for (int i = 0; i < 40; ++i) {
            const std::string want = (isNew ? "new " : "old ") + std::to_string(i) + std::string(20000, isNew ? 'n' : 'o');
            ASSERT_EQ(testing::ReadBytes(next[i].path), want) << "round " << round << ", module " << i;
        }
        ASSERT_EQ(Entries(folder.Path()), entries);
        writeOld();
    }
    RecordProperty("old", olds);
    RecordProperty("new", news);
}

TEST_F(Save, ASecondWriterWaitsThenFailsWithoutChangingAnything) {
    testing::WriteBytes(Path("P.vbp"), "old");
    {
        testing::LockHolder other(Path("P.vbp"));
        ASSERT_TRUE(other.Held());
        SaveLock mine(Path("P.vbp"), FileSystem::Native(), std::chrono::milliseconds(50));
        EXPECT_FALSE(mine.Held());
        SaveResult r;
        {
            testing::ScopedVariable wait("TARNWICK_LOCK_WAIT_MS", "50");
            r = SaveFiles({{Path("P.vbp"), "new"}}, Path("P.vbp"));
        }
        EXPECT_EQ(r.outcome, SaveResult::kLocked);
        EXPECT_EQ(testing::ReadBytes(Path("P.vbp")), "old");
    }
    EXPECT_TRUE(SaveFiles({{Path("P.vbp"), "new"}}, Path("P.vbp")).ok());
}

// A command names its project as the user typed it and saves it under the
// full path the project keeps: both are one lock, held once by the process.
TEST_F(Save, OneProcessHoldsOneLockHoweverThePathIsWritten) {
    testing::WriteBytes(Path("P.vbp"), "old");
    const fs::path before = fs::current_path();
    fs::current_path(folder_.Path());
    {
        SaveLock opened("P.vbp", FileSystem::Native(), std::chrono::milliseconds(50));
        ASSERT_TRUE(opened.Held());
        SaveLock saving(Path("P.vbp"), FileSystem::Native(), std::chrono::milliseconds(50));
        EXPECT_TRUE(saving.Held());
        SaveLock dotted("./sub/../P.vbp", FileSystem::Native(), std::chrono::milliseconds(50));
        EXPECT_TRUE(dotted.Held());
    }
    fs::current_path(before);
}

// As an ordinary user (not the administrator, who may write anything): a
// read-only file is refused, a link keeps being a link.
TEST_F(Save, AsAnOrdinaryUserReadOnlyIsRefusedAndLinksAreWrittenThrough) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no POSIX users; Win32Save refuses a read-only module there";
#else
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || !nobody) GTEST_SKIP() << "cannot change to another user here";
    ASSERT_EQ(::chmod(folder_.Path().c_str(), 0777), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0) ::_exit(77);
        testing::WriteBytes(Path("ro.bas"), "old ro");
        ::chmod(Path("ro.bas").c_str(), 0444);
        ::mkdir(Path("shared").c_str(), 0755);
        testing::WriteBytes(Path("shared/mod.bas"), "old shared");
        if (::symlink("shared/mod.bas", Path("mod.bas").c_str()) != 0) ::_exit(10);
        const SaveResult refused = SaveFiles({{Path("mod.bas"), "x"}, {Path("ro.bas"), "new ro"}}, Path("mod.bas"));
        if (refused.outcome != SaveResult::kRefused || testing::ReadBytes(Path("ro.bas")) != "old ro") ::_exit(11);
        if (testing::ReadBytes(Path("shared/mod.bas")) != "old shared") ::_exit(12);
        if (!SaveFiles({{Path("mod.bas"), "new shared"}}, Path("mod.bas")).ok()) ::_exit(13);
        struct stat st {};
        if (::lstat(Path("mod.bas").c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) ::_exit(14);
        if (testing::ReadBytes(Path("shared/mod.bas")) != "new shared") ::_exit(15);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "cannot change to another user here";
    EXPECT_EQ(WEXITSTATUS(status), 0);
#endif
}


// A journal is read as its writer made it; one cut short by a crash reads as
// what it held up to the cut, anything else is refused.
// A journal left by a crash is checked by whatever build opens the project
// next: the hash's values may never change, whatever the machine.
TEST(SaveJournal, ContentHashGivesTheSameValuesOnEveryMachineAndBuild) {
    EXPECT_EQ(ContentHash(""), 0xbd0ed0d08a42a70cull);
    EXPECT_EQ(ContentHash("precious"), 0xf972def01898de91ull);
    const std::string text = "Attribute VB_Name = \"modA\"\r\n\xe9\xff";
    EXPECT_EQ(ContentHash(text), 0xdc924550c4b12e1bull);
}

TEST(SaveJournal, ReadsWhatItsWriterMakesAndWhatACrashLeaves) {
    JournalStep a;
    a.newHash = ContentHash("new a");
    a.newSize = 5;
    a.target = "../Shared/a b.bas";
    a.temp = ".a b.bas.12-1.tmp";
    JournalStep b = a;
    b.inPlace = true;
    b.oldHash = ContentHash("old b");
    b.target = "b.bas";
    b.temp = ".b.bas.12-2.tmp";
    const std::string first = JournalText({a, b});
    const std::string whole = first + std::string(kJournalCommit) + std::string(kJournalCopying);
    Journal j;
    ASSERT_TRUE(ParseJournal(whole, j));
    ASSERT_EQ(j.steps.size(), 2u);
    EXPECT_TRUE(j.committed && j.copying);
    EXPECT_EQ(j.steps[0].target, a.target);
    EXPECT_FALSE(j.steps[0].oldHash.has_value());
    EXPECT_EQ(j.steps[1].oldHash, b.oldHash);
    EXPECT_TRUE(j.steps[1].inPlace);
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        ASSERT_TRUE(ParseJournal(whole.substr(0, cut), j));
        EXPECT_EQ(j.committed, cut >= first.size() + kJournalCommit.size());
        EXPECT_FALSE(j.copying);
        EXPECT_LE(j.steps.size(), 2u);
    }
    Journal damaged;
    EXPECT_FALSE(ParseJournal(first + "commit\nextra\n", damaged));
    EXPECT_FALSE(ParseJournal("R - " + first, damaged));
    std::string zero = first;
    zero.replace(zero.find(" 5 "), 3, " 05 ");
    EXPECT_FALSE(ParseJournal(zero + std::string(kJournalCommit), damaged));
    EXPECT_FALSE(ParseJournal(first + std::string(kMaxJournalBytes, '\n'), damaged));
    EXPECT_TRUE(IsRecordableName("../../Shared/x.bas"));
    for (const char* name : {"", "/etc/passwd", "a/../b", "./a", "a//b", "..", "a/"})
        EXPECT_FALSE(IsRecordableName(name)) << name;
    EXPECT_TRUE(IsTempNameFor(".a.bas.1-22.tmp", "a.bas"));
    for (const char* temp : {".a.bas.1-.tmp", "a.bas.1-2.tmp", ".a.bas.x-2.tmp", ".b.bas.1-2.tmp", ".a.bas.1-2.tmp2"})
        EXPECT_FALSE(IsTempNameFor(temp, "a.bas")) << temp;
}

// ---- Journals that are not the anchor's own ----------------------------------

// A project folder P holding P.vbp (which names a.bas) and a folder out/
// beside it holding a file that no save of P may touch.
class Journals : public Save {
protected:
    void SetUp() override {
        fs::create_directories(Path("P"));
        fs::create_directories(Path("out"));
        testing::WriteBytes(Vbp(), "Type=Exe\nModule=a; a.bas\n");
        testing::WriteBytes(Path("P/a.bas"), "old a");
        testing::WriteBytes(Path("out/victim"), "precious");
    }
    std::string Vbp() const { return Path("P/P.vbp"); }
    std::string Journal() const { return Path("P/.P.vbp.save-journal"); }
    NamedFiles Names() const {
        return [this](const std::string& bytes) {
            std::vector<std::string> paths;
            if (bytes.find("a.bas") != std::string::npos) paths.push_back(Path("P/a.bas"));
            if (bytes.find("b.bas") != std::string::npos) paths.push_back(Path("P/b.bas"));
            return paths;
        };
    }
    static JournalStep Step(const std::string& target, const std::string& temp, const std::string& oldBytes,
                            const std::string& newBytes, bool inPlace = false) {
        JournalStep s;
        s.inPlace = inPlace;
        s.oldHash = ContentHash(oldBytes);
        s.newHash = ContentHash(newBytes);
        s.newSize = newBytes.size();
        s.target = target;
        s.temp = temp;
        return s;
    }
    void Plant(const std::vector<JournalStep>& steps, bool committed = true, bool copying = false) {
        testing::WriteBytes(Journal(), JournalText(steps) + (committed ? std::string(kJournalCommit) : "") +
                             (copying ? std::string(kJournalCopying) : ""));
    }
    // Recovery leaves the journal and every file as they were, and says so.
    void ExpectLeftAlone(const std::string& what) {
        SCOPED_TRACE(what);
        std::map<std::string, std::string> before;
        for (const auto& e : fs::recursive_directory_iterator(folder_.Path()))
            if (!fs::is_directory(e.symlink_status())) before[e.path().string()] = testing::ReadBytes(e.path().string());
        const SaveResult r = RecoverSave(Vbp(), FileSystem::Native(), Names());
        EXPECT_EQ(r.outcome, SaveResult::kForeign);
        EXPECT_EQ(r.reason, "an unfinished save that does not belong to this project was left alone");
        EXPECT_TRUE(fs::equivalent(r.file, Journal())) << r.file;
        std::map<std::string, std::string> after;
        for (const auto& e : fs::recursive_directory_iterator(folder_.Path()))
            if (!fs::is_directory(e.symlink_status())) after[e.path().string()] = testing::ReadBytes(e.path().string());
        EXPECT_EQ(after, before);
        // A save refuses to go ahead past it.
        EXPECT_EQ(SaveFiles({{Path("P/a.bas"), "new a"}}, Vbp(), FileSystem::Native(), Names()).outcome,
                  SaveResult::kForeign);
        EXPECT_EQ(testing::ReadBytes(Path("P/a.bas")), "old a");
        fs::remove(Journal());
    }
};

TEST_F(Journals, OneThatReachesOutsideTheProjectIsLeftAlone) {
    const std::string victim = Path("out/victim");
    // The old format, as planted by hand: an absolute target.
    testing::WriteBytes(Journal(), "tarnwick save journal 1\nR " + std::to_string(victim.size()) + " " + victim + " 1 x\n");
    testing::WriteBytes(Path("P/x"), "attack");
    ExpectLeftAlone("old format");
    // The temporary file is where a save would put it; the target is not
    // one the project names, however it is written.
    testing::WriteBytes(Path("out/.victim.1-1.tmp"), "attack");
    std::string backslashed = victim;
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    // Windows takes a backslash, a drive's root and a share for separators
    // and absolute paths too.
    for (const std::string& target :
         {victim, std::string("../out/victim"), std::string("./../out/victim"), std::string("sub/../../out/victim"),
          std::string("..\\out\\victim"), backslashed, std::string("C:/out/victim"),
          std::string("\\\\server\\share\\victim")}) {
        Plant({Step(target, ".victim.1-1.tmp", "precious", "attack")});
        ExpectLeftAlone(target);
    }
    EXPECT_EQ(testing::ReadBytes(victim), "precious");
}

TEST_F(Journals, OneThatReachesOutThroughALinkIsLeftAlone) {
    if (kWindows) GTEST_SKIP() << "symbolic links need a privilege on Windows";
    testing::WriteBytes(Path("out/.victim.1-1.tmp"), "attack");
    // A target that is a link inside the project folder.
    fs::create_symlink("../out/victim", Path("P/link.bas"));
    Plant({Step("link.bas", ".victim.1-1.tmp", "precious", "attack")});
    ExpectLeftAlone("link");
    // A temporary file that is a link.
    testing::WriteBytes(Path("out/new"), "new a");
    fs::create_symlink("../out/new", Path("P/.a.bas.1-1.tmp"));
    Plant({Step("a.bas", ".a.bas.1-1.tmp", "old a", "new a")});
    ExpectLeftAlone("temporary link");
    EXPECT_EQ(testing::ReadBytes(Path("out/victim")), "precious");
}

TEST_F(Journals, OneThatReachesOutThroughASecondNameIsLeftAlone) {
    // A hard link inside the project folder, rewritten in place.
    fs::create_hard_link(Path("out/victim"), Path("P/hard.bas"));
    testing::WriteBytes(Path("P/.hard.bas.1-1.tmp"), "attack");
    Plant({Step("hard.bas", ".hard.bas.1-1.tmp", "precious", "attack", true)}, true, true);
    ExpectLeftAlone("hard link");
    EXPECT_EQ(testing::ReadBytes(Path("out/victim")), "precious");
    // A temporary file with a second name outside.
    testing::WriteBytes(Path("out/new"), "new a");
    fs::create_hard_link(Path("out/new"), Path("P/.a.bas.1-1.tmp"));
    Plant({Step("a.bas", ".a.bas.1-1.tmp", "old a", "new a")}, false);
    ExpectLeftAlone("temporary hard link, not committed");
    EXPECT_EQ(testing::ReadBytes(Path("out/new")), "new a");
}

TEST_F(Journals, OneWhoseTemporaryFileOrHashesAreNotTheSavesIsLeftAlone) {
    testing::WriteBytes(Path("P/.a.bas.1-1.tmp"), "new a");
    // A temporary file under another name than a save gives it.
    testing::WriteBytes(Path("P/other.tmp"), "new a");
    Plant({Step("a.bas", "other.tmp", "old a", "new a")});
    ExpectLeftAlone("temporary name");
    Plant({Step("a.bas", "../out/.a.bas.1-1.tmp", "old a", "new a")});
    ExpectLeftAlone("temporary file elsewhere");
    // Hashes that do not fit the files.
    Plant({Step("a.bas", ".a.bas.1-1.tmp", "some other a", "new a")});
    ExpectLeftAlone("old hash");
    Plant({Step("a.bas", ".a.bas.1-1.tmp", "old a", "other new a")});
    ExpectLeftAlone("new hash");
    // A step claimed done whose target does not hold its new bytes.
    Plant({Step("a.bas", ".a.bas.5-5.tmp", "old a", "new a")});
    ExpectLeftAlone("temporary file gone, target old");
    // Damage in the middle of the journal.
    testing::WriteBytes(Journal(), JournalText({Step("a.bas", ".a.bas.1-1.tmp", "old a", "new a")}) + "R x\n" +
                         std::string(kJournalCommit));
    ExpectLeftAlone("damaged");
}

// A committed step whose target is gone and whose temporary file holds the
// new bytes: on Windows a replacement cut off halfway leaves just that, and
// recovery finishes it; where a rename replaces in one step, someone removed
// the file, and it is left alone.
TEST_F(Journals, OneCutOffInsideAReplacementIsFinishedWhereReplacingTakesSteps) {
    testing::WriteBytes(Path("P/.a.bas.7-1.tmp"), "new a");
    fs::remove(Path("P/a.bas"));
    Plant({Step("a.bas", ".a.bas.7-1.tmp", "old a", "new a")});
    const SaveResult r = RecoverSave(Vbp(), FileSystem::Native(), Names());
    if (kWindows) {
        ASSERT_TRUE(r.ok()) << r.Text();
        EXPECT_EQ(testing::ReadBytes(Path("P/a.bas")), "new a");
        EXPECT_EQ(Entries(Path("P")), (std::set<std::string>{"P.vbp", "a.bas"}));
    } else {
        EXPECT_EQ(r.outcome, SaveResult::kForeign);
        EXPECT_FALSE(fs::exists(Path("P/a.bas")));
        EXPECT_TRUE(fs::exists(Journal()));
    }
}

// A journal of the anchor's own save is finished even after the folder
// moved, and a save of a second project sharing a module cannot undo it.
TEST_F(Journals, TheProjectsOwnIsFinishedAfterTheFolderMoved) {
    testing::WriteBytes(Path("P/b.bas"), "old b");
    const std::string oldVbp = testing::ReadBytes(Vbp());
    const std::string newVbp = oldVbp + "Module=b; b.bas\nModule=c; c.bas\n";
    testing::WriteBytes(Path("P/.P.vbp.7-1.tmp"), newVbp);
    testing::WriteBytes(Path("P/.a.bas.7-2.tmp"), "new a");
    testing::WriteBytes(Path("P/b.bas"), "new b");  // replaced before the crash
    testing::WriteBytes(Path("P/.c.bas.7-4.tmp"), "new c");  // named only by the new project file
    JournalStep c = Step("c.bas", ".c.bas.7-4.tmp", "", "new c");
    c.oldHash.reset();
    Plant({Step("P.vbp", ".P.vbp.7-1.tmp", oldVbp, newVbp), Step("a.bas", ".a.bas.7-2.tmp", "old a", "new a"),
           Step("b.bas", ".b.bas.7-3.tmp", "old b", "new b"), c});
    fs::rename(Path("P"), Path("Moved"));
    const NamedFiles names = [this](const std::string& bytes) {
        std::vector<std::string> paths;
        for (const char* m : {"a", "b", "c"})
            if (bytes.find(std::string(m) + ".bas") != std::string::npos)
                paths.push_back(Path("Moved/" + std::string(m) + ".bas"));
        return paths;
    };
    const SaveResult r = RecoverSave(Path("Moved/P.vbp"), FileSystem::Native(), names);
    ASSERT_TRUE(r.ok()) << r.Text();
    EXPECT_EQ(testing::ReadBytes(Path("Moved/P.vbp")), newVbp);
    EXPECT_EQ(testing::ReadBytes(Path("Moved/a.bas")), "new a");
    EXPECT_EQ(testing::ReadBytes(Path("Moved/b.bas")), "new b");
    EXPECT_EQ(testing::ReadBytes(Path("Moved/c.bas")), "new c");
    EXPECT_EQ(Entries(Path("Moved")), (std::set<std::string>{"P.vbp", "a.bas", "b.bas", "c.bas"}));
}

TEST_F(Journals, ASecondProjectSharingAModuleCannotUndoTheFirst) {
    // Q names P's a.bas too. Q's save was cut off after its commit; since
    // then P saved a.bas. Q's journal no longer fits a.bas: left alone.
    testing::WriteBytes(Path("P/Q.vbp"), "Type=Exe\nModule=a; a.bas\n");
    testing::WriteBytes(Path("P/.a.bas.9-1.tmp"), "Q's a");
    testing::WriteBytes(Path("P/.Q.vbp.save-journal"), JournalText({Step("a.bas", ".a.bas.9-1.tmp", "old a", "Q's a")}) +
                                            std::string(kJournalCommit));
    ASSERT_TRUE(SaveFiles({{Path("P/a.bas"), "P's a"}}, Vbp(), FileSystem::Native(), Names()).ok());
    EXPECT_EQ(RecoverSave(Path("P/Q.vbp"), FileSystem::Native(), Names()).outcome, SaveResult::kForeign);
    EXPECT_EQ(testing::ReadBytes(Path("P/a.bas")), "P's a");
    // Not committed: a temporary file of that name that holds other bytes
    // (another save's, being written) is not Q's to remove.
    testing::WriteBytes(Path("P/.a.bas.9-1.tmp"), "P's newer a, being written");
    testing::WriteBytes(Path("P/.Q.vbp.save-journal"), JournalText({Step("a.bas", ".a.bas.9-1.tmp", "P's a", "Q's a")}));
    EXPECT_TRUE(RecoverSave(Path("P/Q.vbp"), FileSystem::Native(), Names()).ok());
    EXPECT_EQ(testing::ReadBytes(Path("P/.a.bas.9-1.tmp")), "P's newer a, being written");
    EXPECT_EQ(testing::ReadBytes(Path("P/a.bas")), "P's a");
}

}  // namespace
}  // namespace win
