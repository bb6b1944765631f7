#include "core/generator/MakerAddress.h"
#include "qt/main/MainWindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <filesystem>

namespace vantiro::test {
namespace {

using StartAndReset = MainWindowFixture;
using Shortcuts = MainWindowFixture;

QStringList items(QComboBox* combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

TEST_F(StartAndReset, StartShowsTheDefaultsAndCreatesTheWorkFolders)
{
    EXPECT_EQ(window().windowTitle(),
              QStringLiteral("Vantiro 3.0 - Doorpage-Generator von ") + makerAddress);
    const PageSettings start = settings();
    EXPECT_EQ(start.doctype, R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.0 Transitional//EN">)");
    EXPECT_EQ(start.robots, "INDEX, FOLLOW");
    EXPECT_EQ(start.pragma, "NO-CACHE");
    EXPECT_EQ(start.revisit, "14");
    EXPECT_EQ(start.caching, "NO-CACHE");
    EXPECT_EQ(start.body, "<BODY>\r\n\r\n\r\n\r\n\r\n\r\n</BODY>");
    EXPECT_EQ(control<QPlainTextEdit>("txtBody")->document()->blockCount(), 7);
    EXPECT_TRUE(start.title.empty() && start.scripting.empty() && start.keywordFile.empty());
    EXPECT_TRUE(control<QRadioButton>("optKeywords")->isChecked());
    EXPECT_FALSE(control<QRadioButton>("optDateiname")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("chkImageLinks")->isChecked());
    EXPECT_EQ(control<QLineEdit>("txtAnzahlSeiten")->text(), "20");
    for (const char* button :
         {"cmdSeitenhintergrund", "cmdSchriftart", "cmdSchriftfarbe", "cmdLinkfarbe"})
        EXPECT_TRUE(control<QAbstractButton>(button)->isEnabled()) << button;
    for (const char* folderName : {"doorpages", "doorpages/images", "keywordfile", "vorlagen"})
        EXPECT_TRUE(std::filesystem::is_directory(path(folderName))) << folderName;
    EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(StartAndReset, StartKeepsExistingFoldersAndCreatesOnlyWhatIsMissing)
{
    std::filesystem::create_directories(path("keywordfile"));
    put("keywordfile/keywords.vrk", "Auto\r\n");
    window();
    EXPECT_EQ(readFile(path("keywordfile/keywords.vrk")), "Auto\r\n");
    EXPECT_TRUE(std::filesystem::is_directory(path("doorpages/images")));
}

TEST_F(StartAndReset, ListsOfferTheirEntriesInOrderAndTheDoctypesHaveTheirFullLength)
{
    auto* doctype = control<QComboBox>("cmbDoctype");
    EXPECT_FALSE(doctype->isEditable());
    std::vector<qsizetype> lengths;
    for (const QString& entry : items(doctype))
        lengths.push_back(entry.size());
    EXPECT_EQ(lengths, (std::vector<qsizetype>{0, 62, 102, 90, 101, 109, 121, 113}));
    EXPECT_TRUE(items(doctype)[4].endsWith(R"( "http://www.w3.org/TR/html4/frameset.dtd">)"));
    EXPECT_TRUE(items(doctype)[6].contains(R"("-//W3C//DTD XHTML 1.0 Transitional//EN" )"));

    EXPECT_EQ(items(control<QComboBox>("cmbRobots")),
              QStringList({"ALL", "NONE", "INDEX", "FOLLOW", "INDEX, FOLLOW", "NOINDEX, FOLLOW",
                           "INDEX, NOFOLLOW", "NOINDEX, NOFOLLOW"}));
    EXPECT_EQ(items(control<QComboBox>("cmbPragma")), QStringList({"NO-CACHE", "CACHE"}));
    EXPECT_EQ(items(control<QComboBox>("cmbCaching")), QStringList({"YES", "NO-CACHE"}));
    EXPECT_EQ(items(control<QComboBox>("cmbRevisit")),
              QStringList({"7", "10", "14", "21", "28", "31", "60", "90", "120", "365"}));

    doctype->setCurrentIndex(0);
    EXPECT_EQ(settings().doctype, "");
}

TEST_F(StartAndReset, FieldsCutTypingAtTheirLimitsAndTheKeywordFieldTakesNoTyping)
{
    const QString longText(300, QLatin1Char('x'));
    for (auto [name, limit] :
         {std::pair{"txtTitle", 80}, {"txtDescription", 255}, {"txtAuthor", 64}}) {
        auto* field = control<QLineEdit>(name);
        field->setFocus();
        QTest::keyClicks(field, longText.left(limit + 5));
        EXPECT_EQ(field->text().size(), limit) << name;
    }
    auto* keyword = control<QLineEdit>("txtKeyword");
    QTest::keyClicks(keyword, "abc");
    EXPECT_TRUE(keyword->text().isEmpty());
}

TEST_F(StartAndReset, ControlsCarryTheirCaptionsAndStandInTheirRegions)
{
    EXPECT_EQ(control<QLabel>("Label2")->text(), "<TITLE>");
    EXPECT_EQ(control<QGroupBox>("Frame2")->title(),
              "Scripting und Style-Sheet (CSS)-Definitionen im <HEAD></HEAD>-Container");
    EXPECT_EQ(control<QLabel>("Label18")->text(),
              QStringLiteral("V T R 3.0 -  by ") + makerAddress);
    EXPECT_EQ(control<QLabel>("Label14")->text(),
              QStringLiteral("[ *ACHTUNG - Überschreibt eigene Styles und Deklarationen ]"));
    EXPECT_EQ(control<QAbstractButton>("cmbReset")->text(), "RESET");
    EXPECT_TRUE(control<QAbstractButton>("cmdErstellen")->font().bold());
    EXPECT_TRUE(control<QLabel>("Label18")->font().bold());
    EXPECT_TRUE(control<QLabel>("Label1")->alignment() & Qt::AlignRight);

    window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    // Laid out for 793 by 563, larger where the fonts need more to show every text, but never
    // beyond the screen's free area (800 by 600 here); what does not fit scrolls.
    const QRect area = window().screen()->availableGeometry();
    const QSize needed = window().findChild<QWidget*>("scrolledContent")->minimumSizeHint();
    EXPECT_TRUE(area.contains(window().frameGeometry()))
        << window().frameGeometry().x() << "," << window().frameGeometry().y() << " "
        << window().frameGeometry().width() << "x" << window().frameGeometry().height() << " in "
        << area.width() << "x" << area.height();
    EXPECT_GE(window().width(), std::min(std::max(793, needed.width()), area.width() - 10));
    EXPECT_GE(window().height(), std::min(std::max(563, needed.height()), area.height() - 40));
    EXPECT_LE(needed.width(), 793 + 20);
    const auto top = [this](const char* name) {
        QWidget* widget = control<QWidget>(name);
        return widget->mapTo(&window(), QPoint(0, 0)).y();
    };
    const auto left = [this](const char* name) {
        QWidget* widget = control<QWidget>(name);
        return widget->mapTo(&window(), QPoint(0, 0)).x();
    };
    EXPECT_LT(top("Frame1"), top("Frame2"));
    EXPECT_LT(top("Frame2"), top("txtKeyword"));
    EXPECT_LT(top("txtKeyword"), top("Frame3"));
    EXPECT_LT(top("Frame3"), top("cmdBeispielcode"));
    EXPECT_LT(top("cmdBeispielcode"), top("Label14"));
    EXPECT_LT(top("Label14"), top("Frame4"));
    EXPECT_LT(left("Frame4"), left("Frame5"));
    EXPECT_LT(left("Frame5"), left("cmdErstellen"));
    EXPECT_LT(top("cmdErstellen"), top("cmdVorlageLaden"));
    EXPECT_LT(top("cmdVorlageSpeichern"), top("cmdEnde"));
}

TEST_F(StartAndReset, ResetRestoresTheControlsButKeepsColoursAndFont)
{
    styles.colors = {0x0000FFu};
    styles.fonts = {QStringLiteral("Arial")};
    click("cmdSeitenhintergrund");
    click("cmdSchriftart");
    change([](PageSettings& s) {
        s.title = "Titel";
        s.keywordFile = "/irgendwo/keywords.vrk";
        s.doctype = "";
        s.robots = "NONE";
        s.revisit = "7";
        s.keywordNames = false;
        s.imageLinks = 0;
        s.pageCountText = "50";
    });
    const PageSettings before = settings();

    click("cmbReset");
    const PageSettings after = settings();
    PageSettings expected = PageSettings::startValues();
    EXPECT_EQ(after.body, "<BODY>\r\n\r\n\r\n\r\n\r\n\r\n\r\n</BODY>");
    EXPECT_EQ(after.doctype, expected.doctype);
    EXPECT_EQ(after.robots, "INDEX, FOLLOW");
    EXPECT_EQ(after.revisit, "14");
    EXPECT_TRUE(after.title.empty() && after.keywordFile.empty() && after.scripting.empty());
    EXPECT_TRUE(control<QRadioButton>("optKeywords")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("chkImageLinks")->isChecked());
    EXPECT_EQ(after.pageCountText, "20");
    EXPECT_EQ(after.backgroundColor, "#ff0000");
    EXPECT_EQ(after.backgroundColor, before.backgroundColor);
    EXPECT_EQ(after.bodyTag, before.bodyTag);
    EXPECT_EQ(after.fontName, "Arial");
    EXPECT_EQ(after.fontStyleBlock, before.fontStyleBlock);
}

TEST_F(StartAndReset, NamingOptionsExcludeEachOther)
{
    auto* keywords = control<QRadioButton>("optKeywords");
    auto* numbered = control<QRadioButton>("optDateiname");
    QTest::mouseClick(numbered, Qt::LeftButton);
    EXPECT_TRUE(numbered->isChecked());
    EXPECT_FALSE(keywords->isChecked());
    EXPECT_FALSE(settings().keywordNames);
    QTest::mouseClick(numbered, Qt::LeftButton);
    EXPECT_TRUE(numbered->isChecked()) << "a second click does not clear the choice";
    QTest::mouseClick(keywords, Qt::LeftButton);
    EXPECT_TRUE(keywords->isChecked());
    EXPECT_FALSE(numbered->isChecked());
    EXPECT_TRUE(settings().keywordNames);
}

TEST_F(Shortcuts, PreviewOpensThePageOrExplainsThatThereIsNoneYet)
{
    click("cmdVorschau");
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].title, "Programmfehler");
    EXPECT_EQ(boxes.messages[0].text,
              QStringLiteral("Vorschaudatei nicht gefunden. Erstellen Sie zunächst zum Test einige "
                             "Doorpages, um sich eine Vorschau anzeigen lassen zu können."));
    EXPECT_EQ(boxes.messages[0].icon, MessageBoxes::Icon::Exclamation);
    EXPECT_TRUE(shell.opened.empty());

    put("doorpages/vorschau.htm", "<HTML></HTML>");
    click("cmdVorschau");
    EXPECT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(shell.opened, std::vector<QString>{qpath("doorpages/vorschau.htm")});
}

TEST_F(Shortcuts, F1OpensTheHelpWhateverHasTheFocusAndWhicheverModifierIsHeld)
{
    showActive();
    auto* body = control<QPlainTextEdit>("txtBody");
    body->setFocus();
    const std::string bodyBefore = settings().body;
    QTest::keyClick(body, Qt::Key_F1);
    QTest::keyClick(body, Qt::Key_F1, Qt::ShiftModifier);
    QTest::keyClick(control<QComboBox>("cmbRevisit"), Qt::Key_F1, Qt::ControlModifier);
    QTest::keyClick(control<QAbstractButton>("cmdErstellen"), Qt::Key_F1, Qt::AltModifier);
    ASSERT_EQ(shell.opened.size(), 4u);
    for (const QString& opened : shell.opened)
        EXPECT_EQ(opened, QString::fromLatin1(helpAddress));
    EXPECT_EQ(settings().body, bodyBefore);
    EXPECT_TRUE(boxes.messages.empty());

    writeFile(shipped.file("hilfe.html"), "<html></html>");
    QTest::keyClick(body, Qt::Key_F1);
    EXPECT_EQ(shell.opened.back(), QString::fromStdString(shipped.file("hilfe.html")));

    QTest::keyClick(body, Qt::Key_F2);
    QTest::keyClick(body, Qt::Key_A);
    EXPECT_EQ(shell.opened.size(), 5u) << "other keys stay with the focused control";
}

TEST_F(Shortcuts, CreditLineOpensTheHomePageAndEndeClosesWithoutAsking)
{
    showActive();
    auto* credit = control<QLabel>("Label18");
    QTest::mouseClick(credit, Qt::LeftButton);
    EXPECT_EQ(shell.opened, std::vector<QString>{QString::fromLatin1(makerAddress)});

    // From the keyboard as well, with the focus shown where a label draws no frame.
    credit->setFocus();
    EXPECT_TRUE(credit->font().underline());
    QTest::keyClick(credit, Qt::Key_Return);
    QTest::keyClick(credit, Qt::Key_Space);
    QTest::keyClick(credit, Qt::Key_A);
    EXPECT_EQ(shell.opened.size(), 3u);
    EXPECT_EQ(shell.opened.back(), QString::fromLatin1(makerAddress));
    control<QWidget>("txtKeyword")->setFocus();
    EXPECT_FALSE(credit->font().underline());

    change([](PageSettings& s) { s.title = "ungespeichert"; });
    click("cmdEnde");
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(boxes.messages.empty());
    EXPECT_TRUE(boxes.questions.empty());
}

TEST_F(Shortcuts, ServerUploadOpensTheFtpWindowModally)
{
    showActive();
    QString opened;
    QTimer::singleShot(0, [&opened] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = QString::fromLatin1(modal->metaObject()->className());
            modal->close();
        }
    });
    click("cmdUpload");
    EXPECT_EQ(opened, "vantiro::FtpWindow");
    ASSERT_FALSE(boxes.messages.empty());
    EXPECT_EQ(boxes.messages[0].title, "Haftungsausschluss");
}

} // namespace
} // namespace vantiro::test
