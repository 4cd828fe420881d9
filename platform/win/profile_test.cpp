#include "platform/win/profile.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <string>

#include "platform/win/save_journal.h"
#include "platform/win/test_support.h"

namespace win {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

class Profile : public ::testing::Test {
protected:
    // Reads like the work-area add-in: default "NotFound", 255-character buffer.
    std::string Get(const char* section, const char* key, const char* fallback = "NotFound",
                    DWORD size = 255, DWORD* length = nullptr) {
        std::string buffer(size + 1, '\x7f');
        const DWORD n = GetPrivateProfileStringA(section, key, fallback, buffer.data(), size,
                                                 file.c_str());
        if (length) *length = n;
        EXPECT_EQ(buffer[n], '\0');
        return buffer.substr(0, n);
    }

    std::string GetFrom(const std::string& bytes, const char* section, const char* key) {
        WriteBytes(file, bytes);
        return Get(section, key);
    }

    TempFolder folder;
    std::string file = folder / "Wendover.ini";
};

TEST_F(Profile, MissingFileSectionOrKeyGivesTheDefault) {
    DWORD length = 0;
    EXPECT_EQ(Get("Watch", "MaxClose", "NotFound", 255, &length), "NotFound");
    EXPECT_EQ(length, 8u);
    WriteBytes(file, "[Watch]\r\nMaxClose=-1\r\n");
    EXPECT_EQ(Get("Locals", "MaxClose"), "NotFound");
    EXPECT_EQ(Get("Watch", "RestoreOpen"), "NotFound");
    EXPECT_EQ(Get("Watch", "RestoreOpen", nullptr), "");
    // The default loses trailing blanks only.
    EXPECT_EQ(Get("Watch", "RestoreOpen", "  pad  "), "  pad");
}

TEST_F(Profile, NamesMatchWithoutCaseAndBlanksAreTrimmed) {
    WriteBytes(file, "[Watch]\r\n  maxclose \t=\t -1  \r\nRestoreOpen=-1 \r\n");
    EXPECT_EQ(Get("WATCH", "MaxClose"), "-1");
    EXPECT_EQ(Get("watch", "restoreopen"), "-1");
}

TEST_F(Profile, OnePairOfMatchingQuotesIsRemoved) {
    WriteBytes(file,
               "[Q]\r\na=\"x\"\r\nb='x'\r\nc=\" -1\"\r\nd=\"x\r\ne=\"x'\r\nf=\"\"x\"\"\r\ng=\"\r\n");
    EXPECT_EQ(Get("Q", "a"), "x");
    EXPECT_EQ(Get("Q", "b"), "x");
    EXPECT_EQ(Get("Q", "c"), " -1");
    EXPECT_EQ(Get("Q", "d"), "\"x");
    EXPECT_EQ(Get("Q", "e"), "\"x'");
    EXPECT_EQ(Get("Q", "f"), "\"x\"");
    EXPECT_EQ(Get("Q", "g"), "\"");
}

TEST_F(Profile, AnEmptyValueIsNotTheDefault) {
    WriteBytes(file, "[S]\r\nKey=\r\nBlank=   \r\n");
    DWORD length = 99;
    EXPECT_EQ(Get("S", "Key", "NotFound", 255, &length), "");
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(Get("S", "Blank"), "");
}

TEST_F(Profile, FirstKeyAndFirstSectionWin) {
    WriteBytes(file, "[S]\r\nk=first\r\nk=second\r\n[s]\r\nk=third\r\nonly=here\r\n");
    EXPECT_EQ(Get("S", "k"), "first");
    EXPECT_EQ(Get("S", "only"), "NotFound");
}

TEST_F(Profile, CommentsAndLinesWithoutEquals) {
    WriteBytes(file, "[S]\r\n;k=commented\r\n  ;j=too\r\n#h=hash\r\nv=1 ; c\r\nnoequals\r\n");
    EXPECT_EQ(Get("S", "k"), "NotFound");
    EXPECT_EQ(Get("S", "j"), "NotFound");
    EXPECT_EQ(Get("S", "#h"), "hash");
    EXPECT_EQ(Get("S", "v"), "1 ; c");
    EXPECT_EQ(Get("S", "noequals"), "NotFound");
}

TEST_F(Profile, EveryLineEndReadsTheSame) {
    for (const std::string& text : {std::string("[S]\nA=1\nB=2\n"), std::string("[S]\r\nA=1\r\nB=2"),
                                    std::string("[S]\rA=1\rB=2\r"), std::string("[S]\r\n\r\nA=1\n\rB=2")}) {
        EXPECT_EQ(GetFrom(text, "S", "A"), "1");
        EXPECT_EQ(GetFrom(text, "S", "B"), "2");
    }
}

TEST_F(Profile, ANulByteEndsAValue) {
    EXPECT_EQ(GetFrom(std::string("[S]\r\nA=ab\0cd\r\nB=2\r\n", 20), "S", "A"), "ab");
    EXPECT_EQ(Get("S", "B"), "2");
    EXPECT_EQ(GetFrom(std::string(1000, '\0'), "S", "A"), "NotFound");
}

TEST_F(Profile, ResultsHoldAtMostSizeMinusOneCharacters) {
    const std::string v254(254, 'a'), v255(255, 'b'), v1000(1000, 'c');
    WriteBytes(file, "[S]\r\nA=" + v254 + "\r\nB=" + v255 + "\r\nC=" + v1000 + "\r\n");
    DWORD length = 0;
    EXPECT_EQ(Get("S", "A", "NotFound", 255, &length), v254);
    EXPECT_EQ(length, 254u);
    EXPECT_EQ(Get("S", "B", "NotFound", 255, &length), std::string(254, 'b'));
    EXPECT_EQ(length, 254u);
    EXPECT_EQ(Get("S", "C", "NotFound", 255, &length), std::string(254, 'c'));
    EXPECT_EQ(Get("S", "missing", "NotFound", 4, &length), "Not");
    EXPECT_EQ(length, 3u);
    char one[1] = {'x'};
    EXPECT_EQ(GetPrivateProfileStringA("S", "A", "d", one, 1, file.c_str()), 0u);
    EXPECT_EQ(one[0], '\0');
}

TEST_F(Profile, SectionHeaders) {
    WriteBytes(file, "[ Sec ] trailing\r\nA=1\r\n[Open\r\nB=2\r\n");
    EXPECT_EQ(Get("Sec", "A"), "1");
    // "[Open" is no header: B still belongs to Sec.
    EXPECT_EQ(Get("Sec", "B"), "2");
    EXPECT_EQ(Get("Open", "B"), "NotFound");
}

TEST_F(Profile, AVeryLongLineWithoutLineEnd) {
    EXPECT_EQ(GetFrom("[S]\nA=" + std::string(1 << 20, 'z'), "S", "A"), std::string(254, 'z'));
}

TEST_F(Profile, ListsSectionsAndKeysWhenNamesAreNull) {
    WriteBytes(file, "[One]\r\na=1\r\nb=2\r\n[Two]\r\n");
    char buffer[32];
    EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", buffer, sizeof buffer, file.c_str()), 8u);
    EXPECT_EQ(std::string(buffer, 9), std::string("One\0Two\0\0", 9));
    EXPECT_EQ(GetPrivateProfileStringA("one", nullptr, "", buffer, sizeof buffer, file.c_str()), 4u);
    EXPECT_EQ(std::string(buffer, 5), std::string("a\0b\0\0", 5));
    EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", buffer, 6, file.c_str()), 4u);
    if (testing::RunningUnderWine()) GTEST_SKIP() << "Wine leaves the last byte of a truncated list";
    EXPECT_EQ(std::string(buffer, 6), std::string("One\0T\0", 6).substr(0, 4) + std::string("\0\0", 2));
}

// ---- Writing ----------------------------------------------------------------

TEST_F(Profile, TheFirstWriteCreatesExactlySectionAndKey) {
    ASSERT_TRUE(WritePrivateProfileStringA("Watch", "MaxClose", "-1", file.c_str()));
    EXPECT_EQ(ReadBytes(file), "[Watch]\r\nMaxClose=-1\r\n");
}

TEST_F(Profile, WritesAppendSectionsAndKeysInOrder) {
    const char* sections[] = {"Browser", "Watch", "Locals", "Immediate", "Project",
                              "Property", "Layout", "Color", "Toolbox"};
    std::string expected;
    for (const char* section : sections) {
        ASSERT_TRUE(WritePrivateProfileStringA(section, "MaxClose", "-1", file.c_str()));
        ASSERT_TRUE(WritePrivateProfileStringA(section, "RestoreOpen", "0", file.c_str()));
        expected += std::string("[") + section + "]\r\nMaxClose=-1\r\nRestoreOpen=0\r\n";
    }
    EXPECT_EQ(ReadBytes(file), expected);
    // Rewriting every key changes values only.
    for (const char* section : sections) {
        ASSERT_TRUE(WritePrivateProfileStringA(section, "RestoreOpen", "-1", file.c_str()));
    }
    for (std::size_t at; (at = expected.find("RestoreOpen=0")) != std::string::npos;) {
        expected.replace(at, 13, "RestoreOpen=-1");
    }
    EXPECT_EQ(ReadBytes(file), expected);
}

TEST_F(Profile, ChangingAKeyKeepsEveryOtherByte) {
    if (testing::RunningUnderWine()) GTEST_SKIP() << "Wine rewrites the whole file";
    WriteBytes(file, "; settings\n[WATCH]  \n  maxclose = \"0\" \n\n[Other]\nx=1");
    ASSERT_TRUE(WritePrivateProfileStringA("watch", "MaxClose", "-1", file.c_str()));
    EXPECT_EQ(ReadBytes(file), "; settings\n[WATCH]  \n  maxclose = -1\n\n[Other]\nx=1");
    ASSERT_TRUE(WritePrivateProfileStringA("Watch", "RestoreOpen", "0", file.c_str()));
    EXPECT_EQ(ReadBytes(file),
              "; settings\n[WATCH]  \n  maxclose = -1\nRestoreOpen=0\r\n\n[Other]\nx=1");
    ASSERT_TRUE(WritePrivateProfileStringA("other", "y", "2", file.c_str()));
    EXPECT_EQ(ReadBytes(file),
              "; settings\n[WATCH]  \n  maxclose = -1\nRestoreOpen=0\r\n\n[Other]\nx=1\r\ny=2\r\n");
}

TEST_F(Profile, NullValueDeletesAKeyAndNullKeyASection) {
    WriteBytes(file, "[A]\r\nk=1\r\nj=2\r\n[B]\r\nk=3\r\n");
    ASSERT_TRUE(WritePrivateProfileStringA("a", "K", nullptr, file.c_str()));
    EXPECT_EQ(ReadBytes(file), "[A]\r\nj=2\r\n[B]\r\nk=3\r\n");
    ASSERT_TRUE(WritePrivateProfileStringA("A", nullptr, nullptr, file.c_str()));
    EXPECT_EQ(ReadBytes(file), "[B]\r\nk=3\r\n");
    ASSERT_TRUE(WritePrivateProfileStringA("Gone", "k", nullptr, (folder / "none.ini").c_str()));
    EXPECT_FALSE(std::filesystem::exists(folder / "none.ini"));
}

TEST_F(Profile, BackslashesSeparateFolders) {
    const std::string windowsPath = folder.Path() + "\\Wendover.ini";
    ASSERT_TRUE(WritePrivateProfileStringA("Color", "MaxClose", "-1", windowsPath.c_str()));
    EXPECT_EQ(Get("Color", "MaxClose"), "-1");
}

TEST_F(Profile, FailedWritesReturnFalseAndLeaveTheOldFile) {
    EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", (folder / "missing/x.ini").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", folder.Path().c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
#ifndef _WIN32
    // A folder where no file can be made, whoever runs the test.
    EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", "/proc/tarnwick.ini"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    WriteBytes(file, "[S]\r\nk=old\r\n");
    ::chmod(file.c_str(), 0444);
    EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "new", file.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    ::chmod(file.c_str(), 0644);
    ::chmod(folder.Path().c_str(), 0555);
    EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "new", file.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    ::chmod(folder.Path().c_str(), 0755);
    EXPECT_EQ(ReadBytes(file), "[S]\r\nk=old\r\n");
#endif
}

// A journal planted beside the settings file may only finish a write of
// that file: one naming another file makes the write fail, and nothing moves.
TEST_F(Profile, APlantedJournalBesideTheFileMakesTheWriteFailAndMovesNothing) {
#ifdef _WIN32
    GTEST_SKIP() << "kernel32 writes profiles on Windows; the suite's journal is the POSIX writer's";
#endif
    const std::string victim = folder / "victim";
    const std::string journal = folder / ".Wendover.ini.save-journal";
    WriteBytes(file, "[S]\r\nk=old\r\n");
    WriteBytes(victim, "precious");
    WriteBytes(folder / ".victim.1-1.tmp", "attack");
    JournalStep step;
    step.oldHash = ContentHash("precious");
    step.newHash = ContentHash("attack");
    step.newSize = 6;
    step.target = "victim";
    step.temp = ".victim.1-1.tmp";
    for (const std::string& text :
         {"tarnwick save journal 1\nR " + std::to_string(victim.size()) + " " + victim + " 15 .victim.1-1.tmp\n",
          JournalText({step}) + std::string(kJournalCommit)}) {
        WriteBytes(journal, text);
        EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "new", file.c_str()));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        EXPECT_EQ(ReadBytes(victim), "precious");
        EXPECT_EQ(ReadBytes(folder / ".victim.1-1.tmp"), "attack");
        EXPECT_EQ(ReadBytes(journal), text);
        EXPECT_EQ(ReadBytes(file), "[S]\r\nk=old\r\n");
    }
}

TEST_F(Profile, AByteOrderMarkIsSkippedWhenReadingAndKeptWhenWriting) {
    EXPECT_EQ(GetFrom("\xEF\xBB\xBF[Immediate]\r\nMaxClose=-1\r\n", "Immediate", "MaxClose"), "-1");
    ASSERT_TRUE(WritePrivateProfileStringA("Immediate", "MaxClose", "0", file.c_str()));
    EXPECT_EQ(ReadBytes(file), "\xEF\xBB\xBF[Immediate]\r\nMaxClose=0\r\n");
}

// A Unicode profile file: the mark FF FE, then UTF-16LE.
std::string Unicode(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

TEST_F(Profile, AUnicodeFileIsReadAndWrittenAsUnicode) {
    // A comment in a script the code page lacks stays as it was.
    WriteBytes(file, Unicode(u"[Immediate]\r\n; \u0416\U0001F600 note\r\nName=Caf\u00e9 \u20ac\r\n"
                             u"MaxClose=-1\r\n"));
    EXPECT_EQ(Get("Immediate", "MaxClose"), "-1");
    EXPECT_EQ(Get("Immediate", "Name"), "Caf\xe9 \x80") << "in the code page";
    ASSERT_TRUE(WritePrivateProfileStringA("Immediate", "MaxClose", "0", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Immediate", "Owner", "Fran\xe7oise", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Locals", "MaxClose", "-1", file.c_str()));
    EXPECT_EQ(ReadBytes(file), Unicode(u"[Immediate]\r\n; \u0416\U0001F600 note\r\nName=Caf\u00e9 \u20ac\r\n"
                                       u"MaxClose=0\r\nOwner=Fran\u00e7oise\r\n[Locals]\r\nMaxClose=-1\r\n"));
    ASSERT_TRUE(WritePrivateProfileStringA("Immediate", "Name", nullptr, file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Locals", nullptr, nullptr, file.c_str()));
    EXPECT_EQ(ReadBytes(file), Unicode(u"[Immediate]\r\n; \u0416\U0001F600 note\r\n"
                                       u"MaxClose=0\r\nOwner=Fran\u00e7oise\r\n"));
}

// The suite's own writer takes the save lock between processes; on Windows
// kernel32 writes the file, and these tests (which fork) do not apply.
TEST_F(Profile, TwoProcessesWritingAtOnceLoseNoUpdate) {
#ifdef _WIN32
    GTEST_SKIP() << "kernel32 writes profiles on Windows; the suite's lock between processes is the POSIX writer's";
#else
    constexpr int kKeys = 40;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = ::fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            bool ok = true;
            for (int k = 0; k < kKeys; ++k) {
                const std::string key = "k" + std::to_string(c) + "_" + std::to_string(k);
                ok = WritePrivateProfileStringA("S", key.c_str(), "v", file.c_str()) && ok;
            }
            ::_exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int c = 0; c < 2; ++c)
        for (int k = 0; k < kKeys; ++k)
            EXPECT_EQ(Get("S", ("k" + std::to_string(c) + "_" + std::to_string(k)).c_str()), "v");
#endif
}

TEST_F(Profile, AFileThatStaysLockedFailsWithASharingViolation) {
#ifdef _WIN32
    GTEST_SKIP() << "kernel32 writes profiles on Windows; the suite's lock between processes is the POSIX writer's";
#else
    WriteBytes(file, "[S]\r\nk=old\r\n");
    testing::LockHolder other(file);
    ASSERT_TRUE(other.Held());
    ::setenv("TARNWICK_LOCK_WAIT_MS", "50", 1);
    EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "new", file.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    ::unsetenv("TARNWICK_LOCK_WAIT_MS");
    EXPECT_EQ(ReadBytes(file), "[S]\r\nk=old\r\n");
#endif
}

}  // namespace
}  // namespace win
