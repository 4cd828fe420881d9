// Reading files whole: only regular files, and only up to a bound, on every
// path that reads a file from a user's folder (the reader itself, a save's
// journal and targets, profiles, registry scripts). Each test runs under an
// alarm, so that a reader that blocks on a FIFO fails the test instead of
// hanging it (Windows has no FIFOs: its device is the null device).

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>

#include "platform/win/file_system.h"
#include "platform/win/files.h"
#include "platform/win/profile.h"
#include "platform/win/registry_script.h"
#include "platform/win/save.h"
#include "platform/win/test_support.h"

namespace win {
namespace {

namespace fs = std::filesystem;

class FileRead : public ::testing::Test {
protected:
#ifndef _WIN32
    void SetUp() override { ::alarm(20); }
    void TearDown() override { ::alarm(0); }
    std::string Fifo(const std::string& name) const {
        const std::string path = Path(name);
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        return path;
    }
#endif

    std::string Path(const std::string& name) const { return folder_ / name; }
    // A file of `size` bytes that takes no space (a hole).
    std::string Sparse(const std::string& name, std::uintmax_t size) const {
        const std::string path = Path(name);
        testing::WriteBytes(path, "x");
        fs::resize_file(path, size);
        return path;
    }

    testing::TempFolder folder_;
};

TEST_F(FileRead, ARegularFileReadsWholeUpToTheLimitAndNoFurther) {
    FileSystem& native = FileSystem::Native();
    std::string bytes = "stale";
    testing::WriteBytes(Path("a.bas"), std::string("ab\0c", 4));
    ASSERT_EQ(native.ReadFile(Path("a.bas"), bytes, 4), 0);
    EXPECT_EQ(bytes, std::string("ab\0c", 4));
    EXPECT_EQ(native.ReadFile(Path("a.bas"), bytes, 3), EFBIG);
    EXPECT_EQ(bytes, "");
    testing::WriteBytes(Path("empty.bas"), "");
    EXPECT_EQ(native.ReadFile(Path("empty.bas"), bytes, 0), 0);
    EXPECT_EQ(native.ReadFile(Path("missing.bas"), bytes, 10), ENOENT);
}

TEST_F(FileRead, FifosDevicesAndFoldersAreRefusedWithoutWaitingOrGrowing) {
    FileSystem& native = FileSystem::Native();
    std::string bytes;
#ifdef _WIN32
    EXPECT_EQ(native.ReadFile("NUL", bytes, kReadLimit), kNotRegularFile);
#else
    const std::string fifo = Fifo("pipe.vbp");
    EXPECT_EQ(native.ReadFile(fifo, bytes, kReadLimit), kNotRegularFile);
    EXPECT_EQ(ReadFailureText(kNotRegularFile, fifo, kReadLimit), "a FIFO, not a regular file");
    EXPECT_EQ(native.ReadFile("/dev/zero", bytes, kReadLimit), kNotRegularFile);
    EXPECT_EQ(ReadFailureText(kNotRegularFile, "/dev/zero", kReadLimit), "a device, not a regular file");
    // Through a link too: the link's target is what is read.
    fs::create_symlink("/dev/zero", Path("zero.bas"));
    EXPECT_EQ(native.ReadFile(Path("zero.bas"), bytes, kReadLimit), kNotRegularFile);
#endif
    fs::create_directory(Path("folder.bas"));
    EXPECT_EQ(native.ReadFile(Path("folder.bas"), bytes, kReadLimit), kNotRegularFile);
    EXPECT_EQ(ReadFailureText(kNotRegularFile, Path("folder.bas"), kReadLimit), "a folder, not a regular file");
}

TEST_F(FileRead, AFileOverTheLimitIsRefusedWithItsSize) {
    std::string bytes;
    const std::string big = Sparse("big.bas", kReadLimit + 1);
    ASSERT_EQ(FileSystem::Native().ReadFile(big, bytes, kReadLimit), EFBIG);
    EXPECT_EQ(ReadFailureText(EFBIG, big, kReadLimit), "too large: 67108865 bytes, more than the 67108864 read");
}

const std::string kForeign = "an unfinished save that does not belong to this project was left alone";

TEST_F(FileRead, AJournalThatIsAFifoIsRefusedAndLeftAlone) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no FIFOs";
#else
    const std::string anchor = Path("Ledger.vbp");
    testing::WriteBytes(anchor, "Type=Exe\r\n");
    const std::string journal = Fifo(".Ledger.vbp.save-journal");
    const SaveResult r = RecoverSave(anchor);
    EXPECT_EQ(r.outcome, SaveResult::kForeign);
    EXPECT_EQ(r.Text(), kForeign + " (a FIFO, not a regular file): " + journal);
    EXPECT_TRUE(fs::is_fifo(journal));
#endif
}

TEST_F(FileRead, AJournalTooLargeIsRefusedAndLeftAlone) {
    const std::string anchor = Path("Ledger.vbp");
    testing::WriteBytes(anchor, "Type=Exe\r\n");
    Sparse(".Ledger.vbp.save-journal", kJournalReadLimit + 1);
    const SaveResult r = SaveFiles({{anchor, "Type=Exe\r\nName=\"Ledger\"\r\n"}}, anchor);
    EXPECT_EQ(r.outcome, SaveResult::kForeign);
    EXPECT_EQ(r.reason, kForeign + " (too large: 1048577 bytes, more than the 1048576 read)");
    EXPECT_EQ(testing::ReadBytes(anchor), "Type=Exe\r\n");
    EXPECT_TRUE(fs::exists(Path(".Ledger.vbp.save-journal")));
}

TEST_F(FileRead, ASaveOntoADeviceOrFifoIsRefusedAsNoRegularFile) {
#ifdef _WIN32
    // Refused (in the system's words for the device).
    EXPECT_NE(WriteFileAtomically("NUL", "REGEDIT4\r\n"), "");
#else
    EXPECT_EQ(WriteFileAtomically("/dev/null", "REGEDIT4\r\n"), "a device, not a regular file");
    EXPECT_EQ(WriteFileAtomically(Fifo("out.reg"), "REGEDIT4\r\n"), "a FIFO, not a regular file");
#endif
}

TEST_F(FileRead, ProfilesAndRegistryScriptsThatAreFifosAreNotRead) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no FIFOs, and its profiles and registry scripts are the system's";
#else
    const std::string ini = Fifo("vbaddin.ini");
    char value[16] = "";
    EXPECT_EQ(GetPrivateProfileStringA("Add-Ins32", "Config.Connect", "none", value, sizeof value, ini.c_str()), 4u);
    EXPECT_STREQ(value, "none");
    EXPECT_FALSE(WritePrivateProfileStringA("Add-Ins32", "Config.Connect", "0", ini.c_str()));
    EXPECT_TRUE(fs::is_fifo(ini));
    const std::string script = Fifo("seed.reg");
    const RegistryScriptResult imported = ImportRegistryScript(script);
    EXPECT_FALSE(imported.ok);
    EXPECT_EQ(imported.error, script + ": the file cannot be opened (a FIFO, not a regular file)");
#endif
}

}  // namespace
}  // namespace win
