#include "qt/main/MainWindowFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

namespace vantiro::test {
namespace {

using StyleButtons = MainWindowFixture;
using SampleTemplate = MainWindowFixture;

constexpr std::uint32_t red = 0x0000FF;  // red sits in the lowest byte
constexpr std::uint32_t blue = 0xFF0000; // blue in the third
const std::string eightBreaks = "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";

TEST_F(StyleButtons, ColourReplacesTheBodyWithATagOfTheColoursChosenSoFar)
{
    change([](PageSettings& s) { s.body = "<BODY>eigener Text</BODY>"; });
    styles.colors = {red};
    click("cmdSeitenhintergrund");
    PageSettings styled = settings();
    EXPECT_EQ(styled.backgroundColor, "#ff0000");
    EXPECT_EQ(styled.bodyTag, R"(<BODY BGCOLOR="#ff0000" TEXT="" LINK="">)");
    EXPECT_EQ(styled.body, styled.bodyTag + eightBreaks + "</BODY>");

    styles.colors = {blue, 0x000000u};
    click("cmdLinkfarbe");
    click("cmdSchriftfarbe");
    styled = settings();
    EXPECT_EQ(styled.bodyTag, R"(<BODY BGCOLOR="#ff0000" TEXT="#000000" LINK="#0000ff">)");
    EXPECT_EQ(styled.body, styled.bodyTag + eightBreaks + "</BODY>");
}

TEST_F(StyleButtons, EmptyBodyStaysEmptyAndACancelledDialogChangesNothing)
{
    change([](PageSettings& s) { s.body.clear(); });
    styles.colors = {red};
    click("cmdSchriftfarbe");
    EXPECT_EQ(settings().textColor, "#ff0000");
    EXPECT_EQ(settings().bodyTag, R"(<BODY BGCOLOR="" TEXT="#ff0000" LINK="">)");
    EXPECT_EQ(settings().body, "");

    change([](PageSettings& s) {
        s.body = "<BODY>mein Text</BODY>";
        s.scripting = "<SCRIPT>mein Skript</SCRIPT>";
    });
    const PageSettings before = settings();
    click("cmdLinkfarbe");
    click("cmdSchriftart");
    EXPECT_EQ(styles.colorDialogs, 2);
    EXPECT_EQ(styles.fontDialogs, 1);
    const PageSettings after = settings();
    EXPECT_EQ(after.body, before.body);
    EXPECT_EQ(after.scripting, before.scripting);
    EXPECT_EQ(after.linkColor, "");
    EXPECT_EQ(after.fontName, "");
}

TEST_F(StyleButtons, FontReplacesTheHeadContentWithAStyleBlock)
{
    change([](PageSettings& s) { s.scripting = "<SCRIPT>alt</SCRIPT>"; });
    styles.fonts = {QStringLiteral("Times New Roman")};
    click("cmdSchriftart");
    const PageSettings styled = settings();
    EXPECT_EQ(styled.fontName, "Times New Roman");
    EXPECT_EQ(styled.scripting,
              "<STYLE TYPE=\"TEXT/CSS\">\r\n"
              "SPAN {font-family:Times New Roman;font-size:10pt;}\r\n"
              "BODY, H1, H2, H3, H4, H5, H6, DIV, P, TD, UL, OL, LI {font-family:Times New "
              "Roman;}\r\n</STYLE>");
    EXPECT_EQ(styled.fontStyleBlock, styled.scripting);
}

TEST_F(StyleButtons, FontFromTheDialogReachesTheStyleBlockAsCssNamesIt)
{
    // How each family becomes CSS is the font-name mapping's own test; here one name that
    // needs quoting shows the handler goes through it, into both places.
    styles.fonts = {QStringLiteral("Font Awesome 6 Free")};
    click("cmdSchriftart");
    EXPECT_EQ(settings().fontName, "\"Font Awesome 6 Free\"");
    EXPECT_NE(settings().scripting.find("LI {font-family:\"Font Awesome 6 Free\";}"),
              std::string::npos);
}

TEST_F(SampleTemplate, CancelledQuestionsGiveEmptyTitleAndLinksAndLockTheStyleButtons)
{
    change([](PageSettings& s) {
        s.description = "Beschreibung";
        s.author = "Autor";
        s.scripting = "<SCRIPT></SCRIPT>";
        s.keywordFile = "/k/keywords.vrk";
        s.doctype = "";
        s.robots = "NONE";
        s.revisit = "";
        s.pragma = "CACHE";
        s.caching = "YES";
        s.keywordNames = false;
        s.imageLinks = 0;
    });
    click("cmdBeispielcode");

    ASSERT_EQ(boxes.questions.size(), 2u);
    EXPECT_EQ(boxes.questions[0].title, "Titel Ihrer Seite");
    EXPECT_EQ(boxes.questions[0].prompt, "Wie lautet der Titel Ihrer Seite (max. 64 Zeichen) ?");
    EXPECT_EQ(boxes.questions[0].preset, "");
    EXPECT_EQ(boxes.questions[1].title, "Adresse Ihrer Seite");
    EXPECT_EQ(boxes.questions[1].prompt,
              "Wie lautet die Adresse (URL) Ihrer Seite (mit http://) ?");
    EXPECT_EQ(boxes.questions[1].preset, "http://");

    const PageSettings sample = settings();
    EXPECT_TRUE(sample.sampleCodeShown);
    EXPECT_EQ(sample.title, "");
    EXPECT_NE(sample.body.find("<B></B>"), std::string::npos);
    EXPECT_EQ(sample.body.find("YOUR_NEXT_PAGE.htm"), std::string::npos);
    EXPECT_NE(sample.body.find(R"(<A HREF="" TARGET="_top")"), std::string::npos);
    EXPECT_TRUE(sample.body.starts_with("<BODY BGCOLOR=\"#FFFFFF\" ALT="));
    EXPECT_TRUE(sample.body.ends_with("\r\n\r\n</BODY>"));
    EXPECT_TRUE(control<QRadioButton>("optKeywords")->isChecked());
    EXPECT_EQ(sample.pageCountText, "5");
    EXPECT_TRUE(control<QCheckBox>("chkImageLinks")->isChecked());
    EXPECT_EQ(sample.robots, "INDEX, FOLLOW");
    EXPECT_EQ(sample.revisit, "14");
    EXPECT_EQ(sample.pragma, "NO-CACHE");
    EXPECT_EQ(sample.caching, "NO-CACHE");
    EXPECT_EQ(sample.description, "Beschreibung");
    EXPECT_EQ(sample.author, "Autor");
    EXPECT_EQ(sample.scripting, "<SCRIPT></SCRIPT>");
    EXPECT_EQ(sample.keywordFile, "/k/keywords.vrk");
    EXPECT_EQ(sample.doctype, "");

    for (const char* name :
         {"cmdSeitenhintergrund", "cmdSchriftart", "cmdSchriftfarbe", "cmdLinkfarbe"}) {
        EXPECT_FALSE(control<QAbstractButton>(name)->isEnabled()) << name;
        click(name);
    }
    styles.colors = {red};
    EXPECT_EQ(styles.colorDialogs + styles.fontDialogs, 0);
    EXPECT_EQ(settings().body, sample.body);

    click("cmbReset");
    click("cmdSeitenhintergrund");
    EXPECT_EQ(styles.colorDialogs, 1) << "a reset makes the style buttons work again";
    EXPECT_EQ(settings().backgroundColor, "#ff0000");
}

TEST_F(SampleTemplate, AnswersGoIntoTitleAndLinksUnshortened)
{
    const QString longTitle = QString(90, QLatin1Char('T'));
    boxes.answers = {longTitle, QStringLiteral("http://")};
    click("cmdBeispielcode");
    const PageSettings sample = settings();
    EXPECT_EQ(control<QLineEdit>("txtTitle")->text(), longTitle);
    EXPECT_NE(sample.body.find("<B>" + longTitle.toStdString() + "</B>"), std::string::npos);
    EXPECT_NE(sample.body.find(R"(<A HREF="http://" TARGET="_top")"), std::string::npos);
    EXPECT_EQ(sample.body.find("HREF=\"\""), std::string::npos);

    boxes.answers = {QStringLiteral("Zweiter"), QStringLiteral("http://www.beispiel.example/")};
    click("cmdBeispielcode");
    EXPECT_EQ(boxes.questions.size(), 4u) << "every click asks again";
    EXPECT_EQ(settings().title, "Zweiter");
    EXPECT_EQ(settings().body.find(longTitle.toStdString()), std::string::npos);
}

} // namespace
} // namespace vantiro::test
