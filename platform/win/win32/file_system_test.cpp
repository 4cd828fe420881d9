// The Windows side of the save path: what only Windows does to a save (other
// programs' handles, the path limit, file attributes) is refused while
// planning or carried through the replacement.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "platform/win/faulty_file_system.h"
#include "platform/win/files.h"
#include "platform/win/save.h"
#include "platform/win/test_support.h"

#include <windows.h>

namespace win {
namespace {

namespace fs = std::filesystem;

using testing::Entries;

// A handle as another program holds it: reading, shared only with readers.
class HeldOpen {
public:
    explicit HeldOpen(const std::string& path)
        : handle_(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldOpen() { Release(); }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
    bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Release() {
        if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    ::HANDLE handle_;
};

class Win32Save : public ::testing::Test {
protected:
    void SetUp() override {
        testing::WriteBytes(folder_ / "Ledger.vbp", "Type=Exe\r\n");
        testing::WriteBytes(folder_ / "modA.bas", "old A\r\n");
        testing::WriteBytes(folder_ / "modB.bas", "old B\r\n");
    }
    std::vector<FileToSave> NewProject(const std::string& folder) const {
        return {{folder + "\\modA.bas", "new A\r\n"},
                {folder + "\\modB.bas", "new B\r\n"},
                {folder + "\\Ledger.vbp", "Type=Exe\r\nName=\"Ledger\"\r\n"}};
    }
    const std::set<std::string> kProject{"Ledger.vbp", "modA.bas", "modB.bas"};
    testing::TempFolder folder_;
};

TEST_F(Win32Save, AModuleAnotherProgramHoldsOpenIsRefusedBeforeAnythingChanges) {
    HeldOpen reader(folder_ / "modB.bas");
    ASSERT_TRUE(reader.Held());
    const auto started = std::chrono::steady_clock::now();
    const SaveResult r = SaveFiles(NewProject(folder_.Path()), folder_.Path() + "\\Ledger.vbp");
    EXPECT_EQ(r.outcome, SaveResult::kRefused);
    EXPECT_EQ(r.reason, "another program has the file open");
    EXPECT_NE(r.file.find("modB.bas"), std::string::npos) << r.file;
    // It waited a moment for the other program, not for ever.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_EQ(testing::ReadBytes(folder_ / "modA.bas"), "old A\r\n");
    EXPECT_EQ(Entries(folder_.Path()), kProject);  // no temporary file, no journal
}

TEST_F(Win32Save, AHandleLetGoWithinAMomentDoesNotFailTheSave) {
    auto reader = std::make_unique<HeldOpen>(folder_ / "modB.bas");
    ASSERT_TRUE(reader->Held());
    std::thread scanner([&reader] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        reader->Release();
    });
    const SaveResult r = SaveFiles(NewProject(folder_.Path()), folder_.Path() + "\\Ledger.vbp");
    scanner.join();
    EXPECT_TRUE(r.ok()) << r.Text();
    EXPECT_EQ(testing::ReadBytes(folder_ / "modB.bas"), "new B\r\n");
    EXPECT_EQ(Entries(folder_.Path()), kProject);
}

// A project this deep can be read, but the temporary names beside its files
// would pass the limit: refused before the journal exists.
TEST_F(Win32Save, APathWhoseTemporaryNamesPassTheLimitIsRefusedBeforeAnythingChanges) {
    // A folder of 241 characters: Ledger.vbp is 252 with it, its temporary
    // name and journal more than 259.
    constexpr std::size_t kDeep = 241;
    std::string deep = folder_.Path();
    while (deep.size() < kDeep) {
        const std::size_t left = kDeep - deep.size() - 1;
        deep += '\\';
        deep.append(left > 42 ? 40 : left, 'd');
        ASSERT_TRUE(::CreateDirectoryA(deep.c_str(), nullptr)) << deep;
    }
    ASSERT_EQ(deep.size(), kDeep);
    for (const char* name : {"Ledger.vbp", "modA.bas", "modB.bas"}) testing::WriteBytes(deep + "\\" + name, "old\r\n");
    ASSERT_EQ(testing::ReadBytes(deep + "\\Ledger.vbp"), "old\r\n");  // the files themselves fit
    const SaveResult r = SaveFiles(NewProject(deep), deep + "\\Ledger.vbp");
    EXPECT_EQ(r.outcome, SaveResult::kRefused) << r.Text();
    EXPECT_EQ(r.reason, "the path is longer than 259 characters");
    EXPECT_EQ(Entries(deep), kProject);
    EXPECT_EQ(testing::ReadBytes(deep + "\\modA.bas"), "old\r\n");
}

TEST_F(Win32Save, TheReplacedFileKeepsItsAttributes) {
    const std::string module = folder_ / "modA.bas";
    ASSERT_TRUE(::SetFileAttributesA(module.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    const SaveResult r = SaveFiles(NewProject(folder_.Path()), folder_.Path() + "\\Ledger.vbp");
    ASSERT_TRUE(r.ok()) << r.Text();
    EXPECT_EQ(testing::ReadBytes(module), "new A\r\n");
    const ::DWORD attributes = ::GetFileAttributesA(module.c_str());
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_ARCHIVE);
}

// A module with a second name (a hard link) is rewritten in place, so that
// both names hold the new bytes.
TEST_F(Win32Save, AModuleWithASecondNameKeepsIt) {
    const std::string module = folder_ / "modA.bas";
    const std::string second = folder_.Path() + "\\second-name.bas";
    ASSERT_TRUE(::CreateHardLinkA(second.c_str(), module.c_str(), nullptr));
    const SaveResult r = SaveFiles(NewProject(folder_.Path()), folder_.Path() + "\\Ledger.vbp");
    ASSERT_TRUE(r.ok()) << r.Text();
    EXPECT_EQ(testing::ReadBytes(module), "new A\r\n");
    EXPECT_EQ(testing::ReadBytes(second), "new A\r\n");
}

// One file (a registry script) is written as any save is: its attributes
// stay, and another program's handle is waited for, then named.
TEST_F(Win32Save, OneFileIsWrittenAsAnySaveIs) {
    const std::string script = folder_ / "wizard.reg";
    testing::WriteBytes(script, "old");
    ASSERT_TRUE(::SetFileAttributesA(script.c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(WriteFileAtomically(script, "REGEDIT4\r\n"), "");
    EXPECT_EQ(testing::ReadBytes(script), "REGEDIT4\r\n");
    EXPECT_TRUE(::GetFileAttributesA(script.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    HeldOpen reader(script);
    ASSERT_TRUE(reader.Held());
    EXPECT_EQ(WriteFileAtomically(script, "REGEDIT4\r\nx"), "another program has the file open");
    reader.Release();
    EXPECT_EQ(testing::ReadBytes(script), "REGEDIT4\r\n");
    std::set<std::string> expected = kProject;
    expected.insert("wizard.reg");
    EXPECT_EQ(Entries(folder_.Path()), expected);
}

TEST_F(Win32Save, AReadOnlyModuleIsRefusedBeforeAnythingChanges) {
    const std::string module = folder_ / "modB.bas";
    ASSERT_TRUE(::SetFileAttributesA(module.c_str(), FILE_ATTRIBUTE_READONLY));
    const SaveResult r = SaveFiles(NewProject(folder_.Path()), folder_.Path() + "\\Ledger.vbp");
    ::SetFileAttributesA(module.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(r.outcome, SaveResult::kRefused);
    EXPECT_EQ(testing::ReadBytes(folder_ / "modA.bas"), "old A\r\n");
    EXPECT_EQ(Entries(folder_.Path()), kProject);
}

// A folder (read-only here) where the lock file goes is no other program
// saving: the save says so at once and changes nothing.
TEST_F(Win32Save, AFolderInTheLockFilesPlaceIsNamedAtOnce) {
    const std::string lockFile = folder_.Path() + "\\.Ledger.vbp.lock";
    ASSERT_TRUE(::CreateDirectoryA(lockFile.c_str(), nullptr));
    ASSERT_TRUE(::SetFileAttributesA(lockFile.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    testing::ScopedVariable wait("TARNWICK_LOCK_WAIT_MS", "3000");
    const auto started = std::chrono::steady_clock::now();
    const SaveResult r = SaveFiles(NewProject(folder_.Path()), folder_.Path() + "\\Ledger.vbp");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_EQ(r.outcome, SaveResult::kFailed);
    EXPECT_EQ(r.reason, "it cannot be locked for saving (Is a directory)");
    EXPECT_EQ(testing::ReadBytes(folder_ / "modA.bas"), "old A\r\n");
    ::SetFileAttributesA(lockFile.c_str(), FILE_ATTRIBUTE_DIRECTORY);
    ASSERT_TRUE(::RemoveDirectoryA(lockFile.c_str()));
    EXPECT_EQ(Entries(folder_.Path()), kProject);
}

// Every step of a save fails in turn, through the Win32 file system; the next
// RecoverSave leaves the project all old or all new, with nothing stray (no
// temporary file, journal or lock file).
TEST_F(Win32Save, AFailureAtAnyStepLeavesAllOldOrAllNew) {
    const std::string anchor = folder_.Path() + "\\Ledger.vbp";
    FaultyFileSystem faulty(FileSystem::Native());
    bool saved = false;
    for (int n = 1; !saved && n < 200; ++n) {
        SCOPED_TRACE("failing step " + std::to_string(n));
        SetUp();
        fs::remove(folder_ / "fresh.cls");
        // modB.bas has a second name, so it is rewritten in place.
        const std::string second = folder_.Path() + "\\second-name.bas";
        ::DeleteFileA(second.c_str());
        ASSERT_TRUE(::CreateHardLinkA(second.c_str(), (folder_.Path() + "\\modB.bas").c_str(), nullptr));
        std::vector<FileToSave> files = NewProject(folder_.Path());
        files.push_back({folder_.Path() + "\\fresh.cls", "new fresh\r\n"});
        faulty.FailAt(n);
        const SaveResult r = SaveFiles(files, anchor, faulty);
        saved = r.ok();
        ASSERT_TRUE(saved || faulty.Failed()) << r.Text();
        ASSERT_TRUE(RecoverSave(anchor).ok());
        const bool isNew = testing::ReadBytes(folder_ / "modA.bas") == "new A\r\n";
        EXPECT_TRUE(!saved || isNew);
        EXPECT_EQ(testing::ReadBytes(folder_ / "modB.bas"), isNew ? "new B\r\n" : "old B\r\n");
        EXPECT_EQ(testing::ReadBytes(second), isNew ? "new B\r\n" : "old B\r\n");
        EXPECT_EQ(testing::ReadBytes(anchor), isNew ? "Type=Exe\r\nName=\"Ledger\"\r\n" : "Type=Exe\r\n");
        std::set<std::string> expected = kProject;
        expected.insert("second-name.bas");
        if (isNew) expected.insert("fresh.cls");
        EXPECT_EQ(Entries(folder_.Path()), expected);
    }
    EXPECT_TRUE(saved);
}

// ReplaceFile takes the old file away before it gives the new one its name;
// a crash between the two leaves a committed save with a module missing and
// its temporary file holding the new bytes. The next open finishes the save.
TEST_F(Win32Save, AReplacementCutShortWithTheOldFileGoneIsFinished) {
    const std::string anchor = folder_.Path() + "\\Ledger.vbp";
    FaultyFileSystem faulty(FileSystem::Native());
    int cutShort = 0;
    for (int n = 1; n < 200; ++n) {
        SCOPED_TRACE("the disk breaks at step " + std::to_string(n));
        for (const std::string& name : Entries(folder_.Path()))
            if (!kProject.count(name)) fs::remove(folder_ / name);
        SetUp();
        // A disk that stays broken: the save cannot tidy up, as after a crash.
        faulty.FailAt(n, 5, true);
        if (SaveFiles(NewProject(folder_.Path()), anchor, faulty).ok()) break;
        const std::string journal = testing::ReadBytes(folder_ / ".Ledger.vbp.save-journal");
        if (journal.find("\ncommit\n") == std::string::npos || testing::ReadBytes(folder_ / "modB.bas") != "old B\r\n")
            continue;
        fs::remove(folder_ / "modB.bas");
        ++cutShort;
        // The project names its two modules.
        const NamedFiles modules = [&](const std::string&) {
            return std::vector<std::string>{folder_.Path() + "\\modA.bas", folder_.Path() + "\\modB.bas"};
        };
        const SaveResult recovered = RecoverSave(anchor, FileSystem::Native(), modules);
        ASSERT_TRUE(recovered.ok()) << recovered.Text();
        EXPECT_EQ(testing::ReadBytes(folder_ / "modA.bas"), "new A\r\n");
        EXPECT_EQ(testing::ReadBytes(folder_ / "modB.bas"), "new B\r\n");
        EXPECT_EQ(testing::ReadBytes(anchor), "Type=Exe\r\nName=\"Ledger\"\r\n");
        EXPECT_EQ(Entries(folder_.Path()), kProject);
    }
    EXPECT_GT(cutShort, 0);
}

}  // namespace
}  // namespace win
