#include "app/core/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pix {
namespace {

TEST(CommandLine, SplitsAtWhiteSpaceOutsideQuotesAndDropsTheProgramPath)
{
    using Parameters = std::vector<std::string>;
    EXPECT_EQ(CommandLineParameters("\"C:\\Program Files\\pixelizer.exe\" /acver"), Parameters{"/acver"});
    EXPECT_EQ(CommandLineParameters("pixelizer  a\tb\x01" "c  "), (Parameters{"a", "b", "c"}));
    EXPECT_EQ(CommandLineParameters("p \"two words\" x\"y z\"w"), (Parameters{"two words", "xy zw"}));
    // Empty pairs in front of a parameter are skipped; an empty quoted
    // parameter on its own therefore gives nothing.
    EXPECT_EQ(CommandLineParameters("p \"\"\"\"/acver \"\""), Parameters{"/acver"});
    EXPECT_EQ(CommandLineParameters("p /acver\"\""), Parameters{"/acver"});
    EXPECT_EQ(CommandLineParameters(""), Parameters{});
    EXPECT_EQ(CommandLineParameters("p \"/acver"), Parameters{"/acver"});
}

TEST(VersionSwitch, MatchesTheWholeArgumentInAnyCase)
{
    EXPECT_TRUE(HasVersionSwitch({"/acver"}));
    EXPECT_TRUE(HasVersionSwitch({"x", "/AcVer", "y"}));
    EXPECT_TRUE(HasVersionSwitch({"/ACVER", "/acver"}));
    EXPECT_FALSE(HasVersionSwitch({}));
    EXPECT_FALSE(HasVersionSwitch({"/acverx"}));
    EXPECT_FALSE(HasVersionSwitch({"acver"}));
    EXPECT_FALSE(HasVersionSwitch({"-acver"}));
    EXPECT_FALSE(HasVersionSwitch({" /acver"}));
    // Only ASCII letters are lowered: a Cyrillic "а" in place of "a" is no match.
    EXPECT_FALSE(HasVersionSwitch({"/\xD0\xB0" "cver"}));
}

} // namespace
} // namespace pix
