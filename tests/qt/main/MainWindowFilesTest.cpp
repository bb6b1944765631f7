#include "qt/main/MainWindowFixture.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>

#include <filesystem>
#include <functional>

namespace vantiro::test {
namespace {

using Templates = MainWindowFixture;
using KeywordFiles = MainWindowFixture;

TEST_F(Templates, SaveAndLoadBringTheBodyBackWithTwoLineBreaksMore)
{
    change([](PageSettings& s) {
        s.body = "<BODY>\r\nHallo \xFC\r\nzwei\ndrei\r\n</BODY>";
        s.title = "Titel";
    });
    click("cmdVorlageSpeichern");
    EXPECT_EQ(readFile(path("vorlagen/vorlage1.vrv")),
              "<BODY>\r\nHallo \xFC\r\nzwei\ndrei\r\n</BODY>\r\n\r\n");
    EXPECT_EQ(settings().templateFile, path("vorlagen/vorlage1.vrv"));

    change([](PageSettings& s) {
        s.body = "anders";
        s.title = "neuer Titel";
        s.scripting = "<SCRIPT></SCRIPT>";
    });
    files.answer = qpath("vorlagen/vorlage1.vrv");
    click("cmdVorlageLaden");
    ASSERT_EQ(files.calls.size(), 1u);
    EXPECT_EQ(files.calls[0].initialFolder, qpath("vorlagen/"));
    EXPECT_EQ(files.calls[0].filter, "VTR-Vorlagen (*.vrv)");
    const PageSettings loaded = settings();
    EXPECT_EQ(loaded.body, "<BODY>\r\nHallo \xFC\r\nzwei\ndrei\r\n</BODY>\r\n\r\n");
    EXPECT_EQ(loaded.title, "neuer Titel");
    EXPECT_EQ(loaded.scripting, "<SCRIPT></SCRIPT>");

    click("cmdVorlageSpeichern");
    EXPECT_EQ(readFile(path("vorlagen/vorlage2.vrv")), loaded.body + "\r\n\r\n");
    EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(Templates, LoadingWithoutTemplatesExplainsAndCancellingChangesNothing)
{
    const std::string body = settings().body;
    click("cmdVorlageLaden");
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].title, QStringLiteral("Keine Vorlagen verfügbar"));
    EXPECT_EQ(boxes.messages[0].text,
              QStringLiteral("Vorlagen müssen erst erstellt werden. Es wurden keine Vorlagen "
                             "gefunden."));
    EXPECT_EQ(boxes.messages[0].icon, MessageBoxes::Icon::Exclamation);
    EXPECT_TRUE(files.calls.empty());

    put("vorlagen/vorlage1.vrv", "gespeichert\r\n");
    files.answer.clear();
    click("cmdVorlageLaden");
    EXPECT_EQ(files.calls.size(), 1u);
    EXPECT_EQ(settings().body, body);
    EXPECT_EQ(boxes.messages.size(), 1u);
}

TEST_F(Templates, UnreadableTemplateLeavesTheBodyAndSaysSo)
{
    window();
    put("vorlagen/vorlage1.vrv", "gespeichert\r\n");
    const std::string body = settings().body;
    files.answer = qpath("vorlagen/getippt.vrv");
    click("cmdVorlageLaden");
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].title, "Vorlage nicht lesbar");
    EXPECT_TRUE(boxes.messages[0].text.contains(qpath("vorlagen/getippt.vrv")));
    EXPECT_EQ(settings().body, body);
}

TEST_F(Templates, SavingThatCannotWriteSaysSoAndWritesNothing)
{
    window();
    std::filesystem::remove(path("vorlagen"));
    put("vorlagen", "");
    click("cmdVorlageSpeichern");
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].title, "Vorlage nicht gespeichert");
    EXPECT_TRUE(boxes.messages[0].text.contains(qpath("vorlagen/vorlage1.vrv")));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the normal pointer is back";
}

TEST_F(Templates, SavingWithEveryNumberTakenSaysSoAndWritesNothing)
{
    std::filesystem::create_directories(path("vorlagen"));
    for (int number = 1; number <= 32767; ++number)
        put("vorlagen/vorlage" + std::to_string(number) + ".vrv", "");
    click("cmdVorlageSpeichern");
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].title, "Keine Vorlagennummer frei");
    EXPECT_FALSE(exists(path("vorlagen/vorlage32768.vrv")));
    EXPECT_EQ(readFile(path("vorlagen/vorlage32767.vrv")), "");
    EXPECT_TRUE(settings().templateFile.empty());
}

// Runs `steps` on the keyword dialog once it is shown modally, then clicks the button.
void whenDialogOpens(const std::function<void(QDialog&)>& steps)
{
    QTimer::singleShot(0, [steps] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        steps(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

void typeAndConfirm(QDialog& dialog, const QString& text)
{
    auto* typed = dialog.findChild<QLineEdit*>(QStringLiteral("txtKeywords"));
    typed->clear();
    for (const QChar c : text) {
        // QTest can only type ASCII keys; other letters arrive as an input method would.
        if (c.unicode() < 128)
            QTest::keyClick(typed, static_cast<char>(c.unicode()));
        else
            typed->insert(c);
    }
    QTest::mouseClick(dialog.findChild<QAbstractButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
}

TEST_F(KeywordFiles, TypedKeywordsBecomeANewFileNamedInTheWindow)
{
    put("keywordfile/keywords.vrk", "alt\r\n");
    QString caption;
    whenDialogOpens([&caption](QDialog& dialog) {
        caption = dialog.windowTitle();
        typeAndConfirm(dialog, QStringLiteral("Auto, Auto Teile ,T.Shirt, Größe"));
    });
    click("cmdCreateKeyword");
    EXPECT_EQ(caption, "Keyworddatei anlegen");
    EXPECT_EQ(settings().keywordFile, path("keywordfile/keywords1.vrk"));
    EXPECT_EQ(readFile(path("keywordfile/keywords1.vrk")),
              "Auto\r\nAutoTeile\r\nTShirt\r\nGr\xF6\xDF"
              "e\r\n");
    EXPECT_EQ(readFile(path("keywordfile/keywords.vrk")), "alt\r\n");
    EXPECT_TRUE(boxes.messages.empty());
}

TEST_F(KeywordFiles, TextWithoutCommaIsRefusedAndTheDialogStaysOpen)
{
    bool stillOpen = false;
    whenDialogOpens([&](QDialog& dialog) {
        typeAndConfirm(dialog, QStringLiteral("Auto"));
        stillOpen = dialog.isVisible();
    });
    click("cmdCreateKeyword");
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].title, "Keywords fehlen");
    EXPECT_EQ(boxes.messages[0].text, "Geben Sie Ihre Keywords, getrennt durch Komma, an!");
    EXPECT_TRUE(settings().keywordFile.empty()) << "cancelled after the refusal";
    EXPECT_TRUE(std::filesystem::is_empty(path("keywordfile")));
}

TEST_F(KeywordFiles, FileThatCannotBeWrittenIsReportedAndTheFieldKeepsItsValue)
{
    change([](PageSettings& s) { s.keywordFile = "/vorher/keywords.vrk"; });
    std::filesystem::remove(path("keywordfile"));
    put("keywordfile", "");
    bool stillOpen = false;
    whenDialogOpens([&](QDialog& dialog) {
        typeAndConfirm(dialog, QStringLiteral("Auto, Reifen"));
        stillOpen = dialog.isVisible();
    });
    click("cmdCreateKeyword");
    EXPECT_TRUE(stillOpen) << "the typed keywords are not thrown away";
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].title, "Keyword-Datei nicht geschrieben");
    EXPECT_EQ(settings().keywordFile, "/vorher/keywords.vrk");
}

TEST_F(KeywordFiles, LadenPutsTheChosenPathIntoTheFieldAndIgnoresACancel)
{
    window();
    std::filesystem::remove(path("keywordfile"));
    files.answer = QStringLiteral("/anderswo/liste.txt");
    click("cmdLadeKeyword");
    ASSERT_EQ(files.calls.size(), 1u);
    EXPECT_EQ(files.calls[0].initialFolder, qpath("keywordfile/"));
    EXPECT_EQ(files.calls[0].filter, "Keyword-Dateien (*.vrk)");
    EXPECT_TRUE(std::filesystem::is_directory(path("keywordfile"))) << "made again before";
    EXPECT_EQ(settings().keywordFile, "/anderswo/liste.txt");

    files.answer.clear();
    click("cmdLadeKeyword");
    EXPECT_EQ(settings().keywordFile, "/anderswo/liste.txt");
}

} // namespace
} // namespace vantiro::test
