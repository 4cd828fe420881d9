#include "platform/win/save.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "platform/win/faulty_file_system.h"
#include "platform/win/files.h"
#include "platform/win/test_support.h"

namespace win {
namespace {

namespace fs = std::filesystem;

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::set<std::string> Entries(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
}

class Save : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return folder_ / name; }
    testing::TempFolder folder_;
};

TEST_F(Save, WritesTheBytesAndReplacesAnOlderFile) {
    const std::string target = Path("wizard.reg");
    ASSERT_EQ(WriteFileAtomically(target, "first, and longer\r\n"), "");
    ASSERT_EQ(WriteFileAtomically(target, std::string("a\0b\r\n", 5)), "");
    EXPECT_EQ(Read(target), std::string("a\0b\r\n", 5));
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
    Write(Path("a.bas"), "same");
    const auto before = fs::last_write_time(Path("a.bas"));
    const SaveResult r = SaveFiles({{Path("a.bas"), "same"}, {Path("b.bas"), "new"}}, Path("P.vbp"));
    ASSERT_TRUE(r.ok()) << r.Text();
    EXPECT_EQ(r.changed, 1u);
    EXPECT_EQ(fs::last_write_time(Path("a.bas")), before);
}

TEST_F(Save, ProducedBytesAreComparedAndWrittenLikeGivenOnes) {
    Write(Path("a.bas"), "same");
    Write(Path("b.bas"), "old");
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
    EXPECT_EQ(Read(Path("a.bas")), "same");
    EXPECT_EQ(Read(Path("b.bas")), "new");
    EXPECT_EQ(made, 3);  // each compared once, the changed one written
}

TEST_F(Save, AReadOnlyTargetIsRefusedBeforeAnythingChanges) {
    Write(Path("a.bas"), "old a");
    Write(Path("b.bas"), "old b");
    fs::permissions(Path("b.bas"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const SaveResult r = SaveFiles({{Path("a.bas"), "new a"}, {Path("b.bas"), "new b"}}, Path("a.bas"));
    EXPECT_EQ(r.outcome, SaveResult::kRefused);
    EXPECT_EQ(r.file, Path("b.bas"));
    EXPECT_EQ(Read(Path("a.bas")), "old a");
    EXPECT_EQ(Read(Path("b.bas")), "old b");
    EXPECT_EQ(Entries(folder_.Path()), (std::set<std::string>{"a.bas", "b.bas"}));
}

TEST_F(Save, LinksModesAndHardLinksAreKept) {
    fs::create_directories(Path("shared"));
    Write(Path("shared/mod.bas"), "old shared");
    fs::create_symlink("shared/mod.bas", Path("mod.bas"));
    Write(Path("hard.bas"), "old hard");
    fs::create_hard_link(Path("hard.bas"), Path("other-name.bas"));
    Write(Path("exec.bas"), "old exec");
    fs::permissions(Path("exec.bas"), fs::perms::owner_all | fs::perms::group_read);
    const SaveResult r = SaveFiles(
        {{Path("mod.bas"), "new shared"}, {Path("hard.bas"), "new hard"}, {Path("exec.bas"), "new exec"}},
        Path("mod.bas"));
    ASSERT_TRUE(r.ok()) << r.Text();
    EXPECT_TRUE(fs::is_symlink(Path("mod.bas")));
    EXPECT_EQ(Read(Path("shared/mod.bas")), "new shared");
    EXPECT_EQ(Read(Path("other-name.bas")), "new hard");
    EXPECT_EQ(fs::hard_link_count(Path("hard.bas")), 2u);
    EXPECT_EQ(fs::status(Path("exec.bas")).permissions(), fs::perms::owner_all | fs::perms::group_read);
}

// Every step of a save fails in turn; whatever happens, the next save or
// open (RecoverSave) leaves all files old or all new, with nothing stray.
TEST_F(Save, AFailureAtAnyStepLeavesAllOldOrAllNew) {
    fs::create_directories(Path("shared"));
    const std::vector<std::pair<std::string, std::string>> files = {
        {"P.vbp", "Type=Exe"}, {"shared/one.bas", "one"}, {"hard.bas", "hard"}};
    FaultyFileSystem faulty(FileSystem::Native());
    bool saved = false;
    for (int n = 1; !saved && n < 200; ++n) {
        for (const auto& [name, text] : files) Write(Path(name), "old " + text);
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
        const bool isNew = Read(Path("P.vbp")) == "new Type=Exe";
        const std::string prefix = isNew ? "new " : "old ";
        SCOPED_TRACE("failing step " + std::to_string(n));
        EXPECT_TRUE(!saved || isNew);
        for (const auto& [name, text] : files) EXPECT_EQ(Read(Path(name)), prefix + text) << name;
        EXPECT_EQ(Read(Path("second-link")), prefix + "hard");
        EXPECT_TRUE(fs::is_symlink(Path("link.bas")));
        EXPECT_EQ(fs::exists(Path("fresh.cls")), isNew);
        std::set<std::string> expected = before;
        if (isNew) expected.insert("fresh.cls");
        EXPECT_EQ(Entries(folder_.Path()), expected);
        EXPECT_EQ(Entries(Path("shared")), std::set<std::string>{"one.bas"});
    }
    EXPECT_TRUE(saved);
}

// A save killed at random moments: the next RecoverSave finds all old or all new.
TEST_F(Save, AKilledSaveIsFinishedOrUndoneByTheNext) {
    std::vector<FileToSave> next;
    for (int i = 0; i < 40; ++i) {
        const std::string name = Path("m" + std::to_string(i) + ".bas");
        Write(name, "old " + std::to_string(i) + std::string(20000, 'o'));
        next.push_back({name, "new " + std::to_string(i) + std::string(20000, 'n')});
    }
    Write(Path("P.vbp"), "Type=Exe\n");
    const std::set<std::string> entries = Entries(folder_.Path());
    const NamedFiles modules = [&next](const std::string&) {
        std::vector<std::string> paths;
        for (const FileToSave& f : next) paths.push_back(f.path);
        return paths;
    };
    std::mt19937 random(std::random_device{}());
    int olds = 0, news = 0;
    for (int round = 0; round < 12; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SaveFiles(next, Path("P.vbp"));
            ::_exit(0);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const SaveResult recovered = RecoverSave(Path("P.vbp"), FileSystem::Native(), modules);
        ASSERT_TRUE(recovered.ok()) << recovered.Text();
        const bool isNew = Read(next[0].path) == next[0].bytes;
        (isNew ? news : olds) += 1;
        for (int i = 0; i < 40; ++i) {
            const std::string want = (isNew ? "new " : "old ") + std::to_string(i) + std::string(20000, isNew ? 'n' : 'o');
            ASSERT_EQ(Read(next[i].path), want) << "round " << round << ", module " << i;
        }
        ASSERT_EQ(Entries(folder_.Path()), entries);
        for (int i = 0; i < 40; ++i) Write(next[i].path, "old " + std::to_string(i) + std::string(20000, 'o'));
    }
    RecordProperty("old", olds);
    RecordProperty("new", news);
}

TEST_F(Save, ASecondWriterWaitsThenFailsWithoutChangingAnything) {
    Write(Path("P.vbp"), "old");
    {
        testing::LockHolder other(Path("P.vbp"));
        ASSERT_TRUE(other.Held());
        SaveLock mine(Path("P.vbp"), FileSystem::Native(), std::chrono::milliseconds(50));
        EXPECT_FALSE(mine.Held());
        ::setenv("TARNWICK_LOCK_WAIT_MS", "50", 1);
        const SaveResult r = SaveFiles({{Path("P.vbp"), "new"}}, Path("P.vbp"));
        ::unsetenv("TARNWICK_LOCK_WAIT_MS");
        EXPECT_EQ(r.outcome, SaveResult::kLocked);
        EXPECT_EQ(Read(Path("P.vbp")), "old");
    }
    EXPECT_TRUE(SaveFiles({{Path("P.vbp"), "new"}}, Path("P.vbp")).ok());
}

// A command names its project as the user typed it and saves it under the
// full path the project keeps: both are one lock, held once by the process.
TEST_F(Save, OneProcessHoldsOneLockHoweverThePathIsWritten) {
    Write(Path("P.vbp"), "old");
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
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || !nobody) GTEST_SKIP() << "cannot change to another user here";
    ASSERT_EQ(::chmod(folder_.Path().c_str(), 0777), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0) ::_exit(77);
        Write(Path("ro.bas"), "old ro");
        ::chmod(Path("ro.bas").c_str(), 0444);
        ::mkdir(Path("shared").c_str(), 0755);
        Write(Path("shared/mod.bas"), "old shared");
        if (::symlink("shared/mod.bas", Path("mod.bas").c_str()) != 0) ::_exit(10);
        const SaveResult refused = SaveFiles({{Path("mod.bas"), "x"}, {Path("ro.bas"), "new ro"}}, Path("mod.bas"));
        if (refused.outcome != SaveResult::kRefused || Read(Path("ro.bas")) != "old ro") ::_exit(11);
        if (Read(Path("shared/mod.bas")) != "old shared") ::_exit(12);
        if (!SaveFiles({{Path("mod.bas"), "new shared"}}, Path("mod.bas")).ok()) ::_exit(13);
        struct stat st {};
        if (::lstat(Path("mod.bas").c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) ::_exit(14);
        if (Read(Path("shared/mod.bas")) != "new shared") ::_exit(15);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "cannot change to another user here";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace win
