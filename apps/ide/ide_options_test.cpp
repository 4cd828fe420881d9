#include "apps/ide/ide_options.h"

#include <gtest/gtest.h>

#include <map>

namespace ide {
namespace {

std::map<std::string, std::string> g_env;

const char* FakeEnv(const char* name) {
    auto it = g_env.find(name);
    return it == g_env.end() ? nullptr : it->second.c_str();
}

TEST(IdeOptions, AddinsFileComesFromOptionThenVariableThenDataFolder) {
    g_env = {{"TARNWICK_ADDINS", "/w/vbaddin.ini"}, {"HOME", "/home/u"}};
    EXPECT_EQ(ParseOptions({"--addins", "/x/a.ini", "P.vbp"}, FakeEnv).addinsFile, "/x/a.ini");
    EXPECT_EQ(ParseOptions({"P.vbp"}, FakeEnv).addinsFile, "/w/vbaddin.ini");
    g_env = {{"HOME", "/home/u"}};
    EXPECT_EQ(ParseOptions({}, FakeEnv).addinsFile, "/home/u/.local/share/tarnwick/vbaddin.ini");
    g_env = {{"HOME", "/home/u"}, {"XDG_DATA_HOME", "/data"}};
    EXPECT_EQ(ParseOptions({}, FakeEnv).addinsFile, "/data/tarnwick/vbaddin.ini");
}

TEST(IdeOptions, ProjectAndScreenshot) {
    g_env = {};
    IdeOptions o = ParseOptions({"--screenshot=/tmp/s.png", "/p/Ledger.vbp"}, FakeEnv);
    EXPECT_EQ(o.error, "");
    EXPECT_EQ(o.screenshot, "/tmp/s.png");
    EXPECT_EQ(o.project, "/p/Ledger.vbp");
}

TEST(IdeOptions, MistakesAreReported) {
    g_env = {};
    EXPECT_EQ(ParseOptions({"--addins"}, FakeEnv).error, "--addins needs a file name");
    EXPECT_EQ(ParseOptions({"--frob"}, FakeEnv).error, "unknown option --frob");
    EXPECT_EQ(ParseOptions({"a.vbp", "b.vbp"}, FakeEnv).error, "only one project can be named");
    EXPECT_TRUE(ParseOptions({"--help"}, FakeEnv).help);
}

}  // namespace
}  // namespace ide
