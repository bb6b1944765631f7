#include "core/style/CssFontFamily.h"

#include <gtest/gtest.h>

namespace vantiro {
namespace {

TEST(CssFontFamily, DropsTheFoundryThatQtAppends)
{
    EXPECT_EQ(CssFontFamily("Nimbus Sans [URW ]"), "Nimbus Sans");
    EXPECT_EQ(CssFontFamily("Nimbus Sans [UKWN]"), "Nimbus Sans");
    EXPECT_EQ(CssFontFamily("Courier [Adobe]"), "Courier");
    // A bracket that is the whole name is no foundry.
    EXPECT_EQ(CssFontFamily("[x]"), "\"[x]\"");
}

TEST(CssFontFamily, TurnsQtsGenericFamiliesIntoCssGenericNames)
{
    EXPECT_EQ(CssFontFamily("Sans Serif"), "sans-serif");
    EXPECT_EQ(CssFontFamily("sans-serif"), "sans-serif");
    EXPECT_EQ(CssFontFamily("Serif"), "serif");
    EXPECT_EQ(CssFontFamily("Monospace"), "monospace");
    EXPECT_EQ(CssFontFamily("Mono"), "monospace");
    EXPECT_EQ(CssFontFamily("Cursive"), "cursive");
    EXPECT_EQ(CssFontFamily("Fantasy"), "fantasy");
    EXPECT_EQ(CssFontFamily("Sans Serif [Qt]"), "sans-serif");
}

TEST(CssFontFamily, KeepsPlainNamesAsTheyAreAndQuotesWhatCssWouldMisread)
{
    EXPECT_EQ(CssFontFamily("Arial"), "Arial");
    EXPECT_EQ(CssFontFamily("Times New Roman"), "Times New Roman");
    EXPECT_EQ(CssFontFamily("DejaVu Sans Mono"), "DejaVu Sans Mono");
    EXPECT_EQ(CssFontFamily("Noto-Sans_Display"), "Noto-Sans_Display");
    EXPECT_EQ(CssFontFamily("Caf\xE9 Sans"), "Caf\xE9 Sans");
    EXPECT_EQ(CssFontFamily("\x8A"
                            "arka Sans"),
              "\x8A"
              "arka Sans");

    EXPECT_EQ(CssFontFamily("3Dumb"), "\"3Dumb\"");
    EXPECT_EQ(CssFontFamily("Font Awesome 6 Free"), "\"Font Awesome 6 Free\"");
    EXPECT_EQ(CssFontFamily("Inherit"), "\"Inherit\"");
    EXPECT_EQ(CssFontFamily("Serif Pro Default"), "\"Serif Pro Default\"");
    EXPECT_EQ(CssFontFamily("-1 Font"), "\"-1 Font\"");
    EXPECT_EQ(CssFontFamily("A  B"), "\"A  B\"");
    EXPECT_EQ(CssFontFamily("Mr. Bold"), "\"Mr. Bold\"");
    EXPECT_EQ(CssFontFamily("Say \"Hi\"\\"), "\"Say \\\"Hi\\\"\\\\\"");
    EXPECT_EQ(CssFontFamily("x</STYLE><script>"), "\"x\\3C /STYLE>\\3C script>\"");
}

} // namespace
} // namespace vantiro
