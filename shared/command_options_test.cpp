#include "shared/command_options.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/win/test_support.h"
#include "shared/locale_output.h"

namespace cli {
namespace {

const std::initializer_list<OptionSpec> kKnown = {{"--name", true}, {"--out", true}, {"--import", false}};

std::string Refusal(const std::vector<std::string>& args) {
    try {
        Options options(args, kKnown);
    } catch (const UsageError& e) {
        return e.what();
    }
    return "";
}

TEST(Options, ValuesAreTakenInOrderEvenWhenTheyLookLikeOptions) {
    const Options options({"--name", "--import", "--out=a=b", "--import"}, kKnown);
    EXPECT_EQ(options.Value("--name"), "--import");
    EXPECT_EQ(options.Value("--out"), "a=b");
    EXPECT_TRUE(options.Has("--import"));
    EXPECT_FALSE(options.Help());
    EXPECT_EQ(options.Required("--name"), "--import");
    EXPECT_TRUE(Options({"--name", "x", "-h"}, kKnown).Help());
}

TEST(Options, UsageErrorsNameTheWordAtFault) {
    EXPECT_EQ(Refusal({"--nmae", "x"}), "unknown option '--nmae'");
    EXPECT_EQ(Refusal({"stray"}), "unexpected argument 'stray'");
    EXPECT_EQ(Refusal({"--name"}), "--name needs a value");
    EXPECT_EQ(Refusal({"--import=yes"}), "--import takes no value");
    EXPECT_EQ(Refusal({"--name", "a", "--name=b"}), "--name is given twice");
    const Options options({"--out", "f", "--import"}, kKnown);
    EXPECT_THROW(options.Required("--name"), UsageError);
    EXPECT_THROW(options.Exclusive("--out", "--import"), UsageError);
    EXPECT_NO_THROW(options.Exclusive("--name", "--import"));
}

// Text typed in a UTF-8 terminal goes into files in the projects' code page,
// and names read from files come back in the terminal's encoding.
TEST(Options, TextGoesIntoTheCodePageAndMessagesComeBack) {
#ifdef _WIN32
    GTEST_SKIP() << "on Windows arguments arrive from the wide command line in the ANSI code page, not through the "
                    "locale's encoding (the byte-for-byte test of tarnwick.exe covers them)";
#endif
    win::testing::ScopedVariable locale("LC_ALL", "C.UTF-8");
    const Options options({"--name", "Gr\xC3\xB6\xC3\x9F" "e", "--out", "\xE8\xA8\x88"}, kKnown);
    {
        win::testing::ScopedVariable western("TARNWICK_CODEPAGE", "1252");
        EXPECT_EQ(options.Text("--name"), "Gr\xF6\xDF" "e");
        EXPECT_EQ(options.Text("--import"), std::nullopt);
        try {
            options.RequiredText("--out");
            ADD_FAILURE();
        } catch (const UsageError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "--out: the text holds a character that code page 1252 lacks (TARNWICK_CODEPAGE "
                      "chooses the code page)");
        }
        std::ostringstream terminal;
        {
            LocaleOutput messages(terminal);
            messages << "P: configuration 1 (d\xE9" "but) applied\n" << "no line end";
            EXPECT_EQ(terminal.str(), "P: configuration 1 (d\xC3\xA9" "but) applied\n");
        }
        EXPECT_EQ(terminal.str(), "P: configuration 1 (d\xC3\xA9" "but) applied\nno line end");
    }
    win::testing::ScopedVariable japanese("TARNWICK_CODEPAGE", "932");
    EXPECT_EQ(options.RequiredText("--out"), "\x8C\x76");
    // A two-byte character written in two pieces of one line stays whole.
    std::ostringstream terminal;
    LocaleOutput messages(terminal);
    messages << "\x8C" << "\x76\n";
    EXPECT_EQ(terminal.str(), "\xE8\xA8\x88\n");
}

}  // namespace
}  // namespace cli
