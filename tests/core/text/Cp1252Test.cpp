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

TEST(Cp1252, BrokenOverlongAndSurrogateSequencesLoseOnlyTheirOwnBytes)
{
    // Cut short before an ASCII character, a lone continuation byte, an overlong slash, an
    // encoded surrogate, a code point beyond U+10FFFF, a C1 control the code page lacks.
    EXPECT_EQ(Cp1252::fromUtf8("a\xE2\x82"
                               "b"),
              "a?b");
    EXPECT_EQ(Cp1252::fromUtf8("a\x80"
                               "b"),
              "a?b");
    EXPECT_EQ(Cp1252::fromUtf8("a\xC0\xAF"
                               "b"),
              "a?b");
    EXPECT_EQ(Cp1252::fromUtf8("a\xED\xA0\x80"
                               "b"),
              "a?b");
    EXPECT_EQ(Cp1252::fromUtf8("a\xF4\x90\x80\x80"
                               "b"),
              "a?b");
    EXPECT_EQ(Cp1252::fromUtf8("a\xC2\x80"
                               "b"),
              "a?b");
    EXPECT_EQ(Cp1252::fromUtf8("\xE2\x82"), "?");
}

TEST(Cp1252, MapsEveryPrintableCharacterOfTheUpperControlRange)
{
    // Curly quotes, dashes, the euro sign, S and Z with caron, OE and Y with diaeresis.
    const std::string utf8 = "\xE2\x80\x9E\xE2\x80\x9C\xE2\x80\x93\xE2\x80\x94\xE2\x82\xAC"
                             "\xC5\xA0\xC5\xBD\xC5\x92\xC5\xB8\xE2\x84\xA2";
    const std::string cp1252 = "\x84\x93\x96\x97\x80\x8A\x8E\x8C\x9F\x99";
    EXPECT_EQ(Cp1252::fromUtf8(utf8), cp1252);
    EXPECT_EQ(Cp1252::toUtf8(cp1252), utf8);
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
