#include "core/text/TextCleaning.h"

#include <gtest/gtest.h>

namespace vantiro {
namespace {

TEST(SanitizeFileName, KeepsOnlyPlainLettersDigitsDotsAndUnderscores)
{
    EXPECT_EQ(sanitizeFileName("  Auto Teile  "), "Auto_Teile");
    EXPECT_EQ(sanitizeFileName("Gr\xF6\xDF"
                               "e.htm"),
              "Gre.htm");
    EXPECT_EQ(sanitizeFileName("a-b/c.htm"), "abc.htm");
    EXPECT_EQ(sanitizeFileName("vorschau.htm"), "vorschau.htm");
    EXPECT_EQ(sanitizeFileName("a  b"), "a__b");
    EXPECT_EQ(sanitizeFileName("\xE4\xF6\xFC"), "");
    EXPECT_EQ(sanitizeFileName("a\tb:c\\d"), "abcd");
}

} // namespace
} // namespace vantiro
