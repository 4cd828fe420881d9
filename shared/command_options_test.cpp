#include "shared/command_options.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace cli
