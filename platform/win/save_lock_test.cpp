// The writer lock of a save: it excludes other writers, never readers, makes
// no file of its own, and where the file system has no locks the save goes
// ahead after one warning.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <cstring>
#include <sstream>

#include "platform/win/faulty_file_system.h"
#include "platform/win/save.h"
#include "platform/win/test_support.h"

namespace win {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

using testing::Entries;

// What the code under test writes to std::cerr while it lives.
class CapturedErrors {
public:
    CapturedErrors() : old_(std::cerr.rdbuf(text_.rdbuf())) {}
    ~CapturedErrors() { std::cerr.rdbuf(old_); }
    std::string Text() const { return text_.str(); }

private:
    std::ostringstream text_;
    std::streambuf* old_;
};

class SaveLocks : public ::testing::Test {
protected:
    SaveLocks() { testing::WriteBytes(Anchor(), "Type=Exe\r\n"); }
    std::string Anchor() const { return folder_ / "Ledger.vbp"; }
    testing::TempFolder folder_;
};

TEST_F(SaveLocks, AWriterWaitsForAnotherButNeverForAReader) {
    {
        testing::LockHolder other(Anchor());
        ASSERT_TRUE(other.Held());
        SaveLock mine(Anchor(), FileSystem::Native(), milliseconds(50));
        EXPECT_EQ(mine.Error(), EWOULDBLOCK);
    }
#ifdef _WIN32
    // A reader that has the file open, as programs open files to read them
    // (sharing with readers and writers), does not stop a writer ...
    std::ifstream reader(Anchor(), std::ios::binary);
    ASSERT_TRUE(reader.good());
    {
        SaveLock mine(Anchor(), FileSystem::Native(), milliseconds(50));
        EXPECT_TRUE(mine.Held()) << mine.Error();
        // ... and the writer's lock stops no reader of the file's bytes.
        EXPECT_EQ(testing::ReadBytes(Anchor()), "Type=Exe\r\n");
        reader.close();
        EXPECT_TRUE(SaveFiles({{Anchor(), "Type=Exe\r\nName=\"Ledger\"\r\n"}}, Anchor()).ok());
    }
#else
    // A reader's shared lock (flock -s, or a read lock of the bytes it
    // reads, as programs on SMB shares take them) does not stop a writer ...
    const int reader = ::open(Anchor().c_str(), O_RDONLY);
    ASSERT_GE(reader, 0);
    ASSERT_EQ(::flock(reader, LOCK_SH | LOCK_NB), 0);
    struct flock range {};
    range.l_type = F_RDLCK;
    range.l_whence = SEEK_SET;
    range.l_len = 1 << 20;
    ASSERT_EQ(::fcntl(reader, F_OFD_SETLK, &range), 0);
    {
        SaveLock mine(Anchor(), FileSystem::Native(), milliseconds(50));
        EXPECT_TRUE(mine.Held()) << mine.Error();
        // ... and the writer's lock stops no reader of the file's bytes.
        const int second = ::open(Anchor().c_str(), O_RDONLY);
        EXPECT_EQ(::fcntl(second, F_OFD_SETLK, &range), 0);
        ::close(second);
        EXPECT_TRUE(SaveFiles({{Anchor(), "Type=Exe\r\nName=\"Ledger\"\r\n"}}, Anchor()).ok());
    }
    ::close(reader);
#endif
    EXPECT_EQ(Entries(folder_.Path()), std::set<std::string>{"Ledger.vbp"});
}

TEST_F(SaveLocks, OneWhoMayOnlyReadTheFileStillHoldsOffItsWriters) {
    fs::permissions(Anchor(), fs::perms::owner_read);
    testing::LockHolder reader(Anchor());
    ASSERT_TRUE(reader.Held());
    fs::permissions(Anchor(), fs::perms::owner_read | fs::perms::owner_write);
    SaveLock writer(Anchor(), FileSystem::Native(), milliseconds(50));
    EXPECT_EQ(writer.Error(), EWOULDBLOCK);
}

TEST_F(SaveLocks, AFileSystemWithoutLocksIsNamedOnceAndSavesGoAhead) {
    for (const int refusal : {ENOLCK, EBADF, EOPNOTSUPP}) {
        testing::TempFolder folder;
        const std::string anchor = folder / "Ledger.vbp";
        FaultyFileSystem faulty(FileSystem::Native());
        faulty.FailLocksWith(refusal);
        CapturedErrors errors;
        for (int round = 0; round < 2; ++round) {
            const SaveResult r = SaveFiles({{anchor, "Type=Exe\r\n" + std::to_string(round)}}, anchor, faulty);
            EXPECT_TRUE(r.ok()) << r.Text();
        }
        EXPECT_EQ(testing::ReadBytes(anchor), "Type=Exe\r\n1");
        EXPECT_EQ(errors.Text(), "warning: " + folder.Path() + ": the file system refuses locks (" +
                                     std::strerror(refusal) +
                                     "); saving there is not guarded against another program saving at the same time\n");
    }
    // Any other failure to lock still stops the save.
    FaultyFileSystem faulty(FileSystem::Native());
    faulty.FailLocksWith(EIO);
    const SaveResult r = SaveFiles({{Anchor(), "Type=Exe\r\nName=\"X\"\r\n"}}, Anchor(), faulty);
    EXPECT_EQ(r.outcome, SaveResult::kFailed);
    EXPECT_EQ(testing::ReadBytes(Anchor()), "Type=Exe\r\n");
}

}  // namespace
}  // namespace win
