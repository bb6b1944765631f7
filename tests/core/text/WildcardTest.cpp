#include "core/text/Wildcard.h"

#include <gtest/gtest.h>

namespace vantiro {
namespace {

TEST(WildcardMatch, FollowsWindowsRules)
{
    EXPECT_TRUE(wildcardMatch("*.*", "README"));
    EXPECT_TRUE(wildcardMatch("", "anything"));
    EXPECT_TRUE(wildcardMatch("*.HTM", "index.htm"));
    EXPECT_TRUE(wildcardMatch("file?.htm", "File7.htm"));
    EXPECT_FALSE(wildcardMatch("file?.htm", "file10.htm"));
    EXPECT_TRUE(wildcardMatch("images.*", "images"));
    EXPECT_FALSE(wildcardMatch("*.gif", "index.htm"));
    EXPECT_TRUE(wildcardMatch("a*b*c", "aXXbYYc"));
}

TEST(WildcardMatch, StarsAndQuestionMarksInTheNameAreOrdinaryCharacters)
{
    EXPECT_TRUE(wildcardMatch("*", "*b"));
    EXPECT_TRUE(wildcardMatch("*b", "*b"));
    EXPECT_TRUE(wildcardMatch("**b", "a*b"));
    EXPECT_TRUE(wildcardMatch("*.htm", "*.htm"));
    EXPECT_TRUE(wildcardMatch("?b", "*b"));
    EXPECT_TRUE(wildcardMatch("a?", "a?"));
    EXPECT_FALSE(wildcardMatch("*c", "*b"));
    EXPECT_FALSE(wildcardMatch("x*", "*x"));
}

} // namespace
} // namespace vantiro
