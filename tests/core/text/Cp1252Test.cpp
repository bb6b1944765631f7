#include "core/text/Cp1252.h"

#include <gtest/gtest.h>

namespace vantiro {
namespace {

TEST(Cp1252, ConvertsGermanTextBothWaysAndMarksForeignCharacters)
{
    const std::string utf8 = "Gr\xC3\xB6\xC3\x9F"
                             "e \xE2\x82\xAC \xC3\x84rger";
    const std::string cp1252 = "Gr\xF6\xDF"
                               "e \x80 \xC4rger";
    EXPECT_EQ(Cp1252::fromUtf8(utf8), cp1252);
    EXPECT_EQ(Cp1252::toUtf8(cp1252), utf8);
    EXPECT_EQ(Cp1252::fromUtf8("snow\xE2\x98\x83man \xF0\x9F\x98\x80!"), "snow?man ?!");
    EXPECT_EQ(Cp1252::fromUtf8("broken \xC3 text \xFF"), "broken ? text ?");
}

TEST(Cp1252, KeepsEveryByteThroughARoundTrip)
{
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(Cp1252::fromUtf8(Cp1252::toUtf8(all)), all);
}

} // namespace
} // namespace vantiro
