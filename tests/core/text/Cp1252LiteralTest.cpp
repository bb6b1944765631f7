#include "core/text/Cp1252Literal.h"

#include "core/text/Cp1252.h"
#include "core/text/Utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace vantiro {
namespace {

// The compile-time conversion and the run-time table must agree on every byte, or a text written
// as "Übertragungsfehler"_cp1252 would differ from the same text typed into the window.
TEST(Cp1252Literal, EveryCharacterOfTheCodePageConvertsToTheByteTheTableGivesIt)
{
    for (int byte = 0; byte <= 0xFF; ++byte) {
        std::string utf8;
        Utf8::append(utf8, Cp1252::toUnicode(static_cast<unsigned char>(byte)));
        std::size_t pos = 0;
        EXPECT_EQ(Cp1252Literal::nextByte(utf8, pos), byte) << "byte " << byte;
        EXPECT_EQ(pos, utf8.size()) << "byte " << byte;
    }
}

TEST(Cp1252Literal, LiteralsHoldTheWindows1252BytesOfWhatTheSourceShows)
{
    EXPECT_EQ(std::string("Übertragungsfehler"_cp1252), "\xDC"
                                                        "bertragungsfehler");
    EXPECT_EQ(std::string("Größe: 5 €, „gut“ – fertig…"_cp1252),
              "Gr\xF6\xDF"
              "e: 5 \x80, \x84gut\x93 \x96 fertig\x85");
    // Every character from 0xA0 on and the printable ones of 0x80 to 0x9F in one literal; the
    // no-break space and the soft hyphen as escapes, which the compiler writes as UTF-8.
    const std::string upper =
        "€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ"
        "\u00A0¡¢£¤¥¦§¨©ª«¬\u00AD®¯°±²³´µ¶·¸¹º»¼½¾¿ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖ×ØÙÚÛÜÝÞßàáâãäåæçèéêëìíîïðñòóôõö÷øùúûüýþÿ"_cp1252;
    std::string expected;
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        if (byte != 0x81 && byte != 0x8D && byte != 0x8F && byte != 0x90 && byte != 0x9D)
            expected += static_cast<char>(byte);
    }
    EXPECT_EQ(upper, expected);
    EXPECT_STREQ(""_cp1252, "");
}

// What the build refuses for a literal: characters the code page lacks and broken UTF-8.
TEST(Cp1252Literal, CharactersOutsideTheCodePageAndBrokenSequencesAreRefused)
{
    for (const std::string_view bad :
         {std::string_view("\xE2\x98\x83"), std::string_view("\xC2\x80"), std::string_view("\xC3"),
          std::string_view("\x80"), std::string_view("\xC0\xAF"), std::string_view("\xED\xA0\x80"),
          std::string_view("\xF4\x90\x80\x80")}) {
        std::size_t pos = 0;
        EXPECT_EQ(Cp1252Literal::nextByte(bad, pos), -1);
    }
}

static_assert(std::string_view("Schlüssel"_cp1252) == "Schl\xFCssel");

} // namespace
} // namespace vantiro
