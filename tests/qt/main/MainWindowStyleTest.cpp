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
    change([](PageSettings& s) { s.txtBody = "<BODY>eigener Text</BODY>"; });
    styles.colors = {red};
    click("cmdSeitenhintergrund");
    PageSettings styled = settings();
    EXPECT_EQ(styled.Seitenhintergrund, "#ff0000");
    EXPECT_EQ(styled.BodyInformation, R"(<BODY BGCOLOR="#ff0000" TEXT="" LINK="">)");
    EXPECT_EQ(styled.txtBody, styled.BodyInformation + eightBreaks + "</BODY>");

    styles.colors = {blue, 0x000000u};
    click("cmdLinkfarbe");
    click("cmdSchriftfarbe");
    styled = settings();
    EXPECT_EQ(styled.BodyInformation, R"(<BODY BGCOLOR="#ff0000" TEXT="#000000" LINK="#0000ff">)");
    EXPECT_EQ(styled.txtBody, styled.BodyInformation + eightBreaks + "</BODY>");
}

TEST_F(StyleButtons, EmptyBodyStaysEmptyAndACancelledDialogChangesNothing)
{
    change([](PageSettings& s) { s.txtBody.clear(); });
    styles.colors = {red};
    click("cmdSchriftfarbe");
    EXPECT_EQ(settings().Schriftfarbe, "#ff0000");
    EXPECT_EQ(settings().BodyInformation, R"(<BODY BGCOLOR="" TEXT="#ff0000" LINK="">)");
    EXPECT_EQ(settings().txtBody, "");

    change([](PageSettings& s) {
        s.txtBody = "<BODY>mein Text</BODY>";
        s.txtScripting = "<SCRIPT>mein Skript</SCRIPT>";
    });
    const PageSettings before = settings();
    click("cmdLinkfarbe");
    click("cmdSchriftart");
    EXPECT_EQ(styles.colorDialogs, 2);
    EXPECT_EQ(styles.fontDialogs, 1);
    const PageSettings after = settings();
    EXPECT_EQ(after.txtBody, before.txtBody);
    EXPECT_EQ(after.txtScripting, before.txtScripting);
    EXPECT_EQ(after.Linkfarbe, "");
    EXPECT_EQ(after.Schriftart, "");
}

TEST_F(StyleButtons, FontReplacesTheHeadContentWithAStyleBlock)
{
    change([](PageSettings& s) { s.txtScripting = "<SCRIPT>alt</SCRIPT>"; });
    styles.fonts = {QStringLiteral("Times New Roman")};
    click("cmdSchriftart");
    const PageSettings styled = settings();
    EXPECT_EQ(styled.Schriftart, "Times New Roman");
    EXPECT_EQ(styled.txtScripting,
              "<STYLE TYPE=\"TEXT/CSS\">\r\n"
              "SPAN {font-family:Times New Roman;font-size:10pt;}\r\n"
              "BODY, H1, H2, H3, H4, H5, H6, DIV, P, TD, UL, OL, LI {font-family:Times New "
              "Roman;}\r\n</STYLE>");
    EXPECT_EQ(styled.SchriftartStyle, styled.txtScripting);
}

TEST_F(StyleButtons, FontFromTheDialogReachesTheStyleBlockAsCssNamesIt)
{
    // How each family becomes CSS is the font-name mapping's own test; here one name that
    // needs quoting shows the handler goes through it, into both places.
    styles.fonts = {QStringLiteral("Font Awesome 6 Free")};
    click("cmdSchriftart");
    EXPECT_EQ(settings().Schriftart, "\"Font Awesome 6 Free\"");
    EXPECT_NE(settings().txtScripting.find("LI {font-family:\"Font Awesome 6 Free\";}"),
              std::string::npos);
}

TEST_F(SampleTemplate, CancelledQuestionsGiveEmptyTitleAndLinksAndLockTheStyleButtons)
{
    change([](PageSettings& s) {
        s.txtDescription = "Beschreibung";
        s.txtAuthor = "Autor";
        s.txtScripting = "<SCRIPT></SCRIPT>";
        s.txtKeyword = "/k/keywords.vrk";
        s.cmbDoctype = "";
        s.cmbRobots = "NONE";
        s.cmbRevisit = "";
        s.cmbPragma = "CACHE";
        s.cmbCaching = "YES";
        s.optKeywords = false;
        s.chkImageLinks = 0;
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
    EXPECT_TRUE(sample.Beispielcode);
    EXPECT_EQ(sample.txtTitle, "");
    EXPECT_NE(sample.txtBody.find("<B></B>"), std::string::npos);
    EXPECT_EQ(sample.txtBody.find("YOUR_NEXT_PAGE.htm"), std::string::npos);
    EXPECT_NE(sample.txtBody.find(R"(<A HREF="" TARGET="_top")"), std::string::npos);
    EXPECT_TRUE(sample.txtBody.starts_with("<BODY BGCOLOR=\"#FFFFFF\" ALT="));
    EXPECT_TRUE(sample.txtBody.ends_with("\r\n\r\n</BODY>"));
    EXPECT_TRUE(control<QRadioButton>("optKeywords")->isChecked());
    EXPECT_EQ(sample.txtAnzahlSeiten, "5");
    EXPECT_TRUE(control<QCheckBox>("chkImageLinks")->isChecked());
    EXPECT_EQ(sample.cmbRobots, "INDEX, FOLLOW");
    EXPECT_EQ(sample.cmbRevisit, "14");
    EXPECT_EQ(sample.cmbPragma, "NO-CACHE");
    EXPECT_EQ(sample.cmbCaching, "NO-CACHE");
    EXPECT_EQ(sample.txtDescription, "Beschreibung");
    EXPECT_EQ(sample.txtAuthor, "Autor");
    EXPECT_EQ(sample.txtScripting, "<SCRIPT></SCRIPT>");
    EXPECT_EQ(sample.txtKeyword, "/k/keywords.vrk");
    EXPECT_EQ(sample.cmbDoctype, "");

    for (const char* name :
         {"cmdSeitenhintergrund", "cmdSchriftart", "cmdSchriftfarbe", "cmdLinkfarbe"}) {
        EXPECT_FALSE(control<QAbstractButton>(name)->isEnabled()) << name;
        click(name);
    }
    styles.colors = {red};
    EXPECT_EQ(styles.colorDialogs + styles.fontDialogs, 0);
    EXPECT_EQ(settings().txtBody, sample.txtBody);

    click("cmbReset");
    click("cmdSeitenhintergrund");
    EXPECT_EQ(styles.colorDialogs, 1) << "a reset makes the style buttons work again";
    EXPECT_EQ(settings().Seitenhintergrund, "#ff0000");
}

TEST_F(SampleTemplate, AnswersGoIntoTitleAndLinksUnshortened)
{
    const QString longTitle = QString(90, QLatin1Char('T'));
    boxes.answers = {longTitle, QStringLiteral("http://")};
    click("cmdBeispielcode");
    const PageSettings sample = settings();
    EXPECT_EQ(control<QLineEdit>("txtTitle")->text(), longTitle);
    EXPECT_NE(sample.txtBody.find("<B>" + longTitle.toStdString() + "</B>"), std::string::npos);
    EXPECT_NE(sample.txtBody.find(R"(<A HREF="http://" TARGET="_top")"), std::string::npos);
    EXPECT_EQ(sample.txtBody.find("HREF=\"\""), std::string::npos);

    boxes.answers = {QStringLiteral("Zweiter"), QStringLiteral("http://www.beispiel.example/")};
    click("cmdBeispielcode");
    EXPECT_EQ(boxes.questions.size(), 4u) << "every click asks again";
    EXPECT_EQ(settings().txtTitle, "Zweiter");
    EXPECT_EQ(settings().txtBody.find(longTitle.toStdString()), std::string::npos);
}

} // namespace
} // namespace vantiro::test
