#include "core/style/CssFontFamily.h"

#include <gtest/gtest.h>

namespace vantiro {
namespace {

TEST(CssFontFamily, DropsTheFoundryThatQtAppends)
{
    EXPECT_EQ(cssFontFamily("Nimbus Sans [URW ]"), "Nimbus Sans");
    EXPECT_EQ(cssFontFamily("Nimbus Sans [UKWN]"), "Nimbus Sans");
    EXPECT_EQ(cssFontFamily("Courier [Adobe]"), "Courier");
    // A bracket that is the whole name is no foundry.
    EXPECT_EQ(cssFontFamily("[x]"), "\"[x]\"");
}

TEST(CssFontFamily, TurnsQtsGenericFamiliesIntoCssGenericNames)
{
    EXPECT_EQ(cssFontFamily("Sans Serif"), "sans-serif");
    EXPECT_EQ(cssFontFamily("sans-serif"), "sans-serif");
    EXPECT_EQ(cssFontFamily("Serif"), "serif");
    EXPECT_EQ(cssFontFamily("Monospace"), "monospace");
    EXPECT_EQ(cssFontFamily("Mono"), "monospace");
    EXPECT_EQ(cssFontFamily("Cursive"), "cursive");
    EXPECT_EQ(cssFontFamily("Fantasy"), "fantasy");
    EXPECT_EQ(cssFontFamily("Sans Serif [Qt]"), "sans-serif");
}

TEST(CssFontFamily, KeepsPlainNamesAsTheyAreAndQuotesWhatCssWouldMisread)
{
    EXPECT_EQ(cssFontFamily("Arial"), "Arial");
    EXPECT_EQ(cssFontFamily("Times New Roman"), "Times New Roman");
    EXPECT_EQ(cssFontFamily("DejaVu Sans Mono"), "DejaVu Sans Mono");
    EXPECT_EQ(cssFontFamily("Noto-Sans_Display"), "Noto-Sans_Display");
    EXPECT_EQ(cssFontFamily("Caf\xE9 Sans"), "Caf\xE9 Sans");
    EXPECT_EQ(cssFontFamily("\x8A"
                            "arka Sans"),
              "\x8A"
              "arka Sans");

    EXPECT_EQ(cssFontFamily("3Dumb"), "\"3Dumb\"");
    EXPECT_EQ(cssFontFamily("Font Awesome 6 Free"), "\"Font Awesome 6 Free\"");
    EXPECT_EQ(cssFontFamily("Inherit"), "\"Inherit\"");
    EXPECT_EQ(cssFontFamily("Serif Pro Default"), "\"Serif Pro Default\"");
    EXPECT_EQ(cssFontFamily("-1 Font"), "\"-1 Font\"");
    EXPECT_EQ(cssFontFamily("A  B"), "\"A  B\"");
    EXPECT_EQ(cssFontFamily("Mr. Bold"), "\"Mr. Bold\"");
    EXPECT_EQ(cssFontFamily("Say \"Hi\"\\"), "\"Say \\\"Hi\\\"\\\\\"");
    EXPECT_EQ(cssFontFamily("x</STYLE><script>"), "\"x\\3C /STYLE>\\3C script>\"");
}

} // namespace
} // namespace vantiro
