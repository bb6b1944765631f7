#include "cli/TerminalText.h"

#include <gtest/gtest.h>

namespace vantiro {
namespace {

TEST(TerminalTextTest, ControlsOfWritingDirectionAreEscapedLikeControlCharacters)
{
    // U+202E would show "gpj.exe" as "exe.jpg"; its kin mark, embed and isolate.
    EXPECT_EQ(TerminalText::escape("\xE2\x80\xAEgpj.exe"), "\\342\\200\\256gpj.exe");
    for (const char* control : {"\xE2\x80\x8E", "\xE2\x80\x8F", "\xE2\x80\xAA", "\xE2\x80\xAB",
                                "\xE2\x80\xAC", "\xE2\x80\xAD", "\xE2\x81\xA6", "\xE2\x81\xA7",
                                "\xE2\x81\xA8", "\xE2\x81\xA9", "\xD8\x9C"}) {
        const std::string escaped = TerminalText::escape(std::string("a") + control + "b");
        EXPECT_EQ(escaped.front(), 'a');
        EXPECT_EQ(escaped.back(), 'b');
        EXPECT_EQ(escaped.find_first_of("\x80\x81\xAA\x9C"), std::string::npos) << escaped;
        EXPECT_EQ(escaped[1], '\\') << escaped;
    }
    // Their neighbours are ordinary text: an en dash, a bullet, a word joiner, Arabic letters.
    for (const char* text : {"\xE2\x80\x93", "\xE2\x80\xA2", "\xE2\x81\xA0", "\xD8\xA7\xD8\xA8"})
        EXPECT_EQ(TerminalText::escape(text), text);
    // Windows-1252 text is read as such first.
    EXPECT_EQ(TerminalText::escape("Gr\xFC\xDF\x1B"), "Gr\xC3\xBC\xC3\x9F\\033");
}

} // namespace
} // namespace vantiro
