#include "qt/main/MainWindowFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <filesystem>

namespace vantiro::test {
namespace {

using Erstellen = MainWindowFixture;

struct RefusedInput {
    const char* keywordFile;
    const char* pages;
    const char* revisit;
    QString title;
    QString text;
    const char* focus;
};

TEST_F(Erstellen, EachFailingCheckShowsItsMessageAndFocusesItsControl)
{
    const QString pageText = QStringLiteral("Geben Sie eine Zahl zwischen 20 und 1000 an.");
    const QString revisitText =
        QStringLiteral("Geben Sie für Revisit-After eine Zahl zwischen 1 und 365 an.");
    const std::vector<RefusedInput> cases = {
        {"", "zwanzig", "0", QStringLiteral("Keyword-Datei fehlt"),
         QStringLiteral("Sie müssen eine Keyword-Datei angeben"), "cmdLadeKeyword"},
        {"k.vrk", "zwanzig", "", QStringLiteral("Unkorrekte Seitenzahl"), pageText,
         "txtAnzahlSeiten"},
        {"k.vrk", "19", "", QStringLiteral("Geben Sie eine Zahl zwischen 20 und 1000 an"), pageText,
         "txtAnzahlSeiten"},
        {"k.vrk", "1001", "", QStringLiteral("Geben Sie eine Zahl zwischen 20 und 1000 an"),
         pageText, "txtAnzahlSeiten"},
        {"k.vrk", "20", "bald", QStringLiteral("Unkorrekte Zahl für Revisit-After"), revisitText,
         "cmbRevisit"},
        {"k.vrk", "1000", "366", QStringLiteral("Geben Sie eine Zahl zwischen 1 und 365 an"),
         revisitText, "cmbRevisit"},
    };
    showActive();
    for (const RefusedInput& refused : cases) {
        SCOPED_TRACE(refused.focus);
        boxes.messages.clear();
        control<QWidget>("txtTitle")->setFocus();
        PageSettings input = settings();
        input.keywordFile = refused.keywordFile;
        input.pageCountText = refused.pages;
        input.revisit = refused.revisit;
        window().applySettings(input);
        const std::string body = settings().body;

        click("cmdErstellen");
        ASSERT_EQ(boxes.messages.size(), 1u);
        EXPECT_EQ(boxes.messages[0].title, refused.title);
        EXPECT_EQ(boxes.messages[0].text, refused.text);
        EXPECT_EQ(boxes.messages[0].icon, MessageBoxes::Icon::Exclamation);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        const QWidget* focused = QApplication::focusWidget();
        const QWidget* expected = control<QWidget>(refused.focus);
        EXPECT_TRUE(focused == expected || expected->isAncestorOf(focused))
            << qPrintable(focused->objectName());
        EXPECT_EQ(settings().body, body);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_TRUE(std::filesystem::is_empty(path("doorpages/images")));
    EXPECT_FALSE(exists(path("doorpages/_keyliste.htm")));
}

TEST_F(Erstellen, RefusedKeywordFileOrMissingOutputFolderLeavesTheBodyOnScreenAsItWas)
{
    put("keywordfile/empty.vrk", " \r\n");
    put("keywordfile/binary.vrk", std::string("Auto\r\nRei\0fen", 13));
    const std::string body = "<BODY>\r\nEigener Text\r\n</BODY>";
    window().show();
    const auto shownBody = [this] { return control<QPlainTextEdit>("txtBody")->toPlainText(); };
    QString bodyShownWithMessage;
    boxes.onMessage = [&](const FakeMessageBoxes::Message&) { bodyShownWithMessage = shownBody(); };
    const auto refuse = [&](const std::string& keywordFile) {
        SCOPED_TRACE(keywordFile);
        boxes.messages.clear();
        change([&](PageSettings& s) {
            s.keywordFile = keywordFile;
            s.body = body;
        });
        const QString shownBefore = shownBody();
        click("cmdErstellen");
        ASSERT_EQ(boxes.messages.size(), 1u);
        EXPECT_EQ(bodyShownWithMessage, shownBefore);
        EXPECT_EQ(shownBody(), shownBefore);
        EXPECT_EQ(settings().body, body);
        EXPECT_EQ(settings().backgroundColor, "");
    };
    refuse(path("keywordfile/empty.vrk"));
    refuse(path("keywordfile/binary.vrk"));
    refuse(path("keywordfile/missing.vrk"));
    refuse(path("keywordfile"));

    put("keywordfile/keywords.vrk", "Auto\r\nReifen\r\n");
    std::filesystem::remove_all(path("doorpages"));
    refuse(path("keywordfile/keywords.vrk"));
    EXPECT_EQ(boxes.messages.at(0).title, "Programmfehler");
}

TEST_F(Erstellen, RunWritesThePagesShowsProgressAndRewritesTheBody)
{
    put("keywordfile/keywords.vrk", "Auto\r\n\r\n  Reifen  \r\n");
    // The pixel file is found beside the executable when the program folder has none.
    writeFile(shipped.file("vtr.gif"), "GIF89a");
    change([this](PageSettings& s) {
        s.keywordFile = path("keywordfile/keywords.vrk");
        s.keywordNames = false;
        s.body = "<BODY>\r\n<%key1%> <%spider%>\r\n</BODY>";
    });
    window().show();
    QStringList captions;
    QObject::connect(&window(), &QWidget::windowTitleChanged,
                     [&captions](const QString& caption) { captions << caption; });
    QString captionAtEnd;
    bool busyAtEnd = true;
    std::string bodyAtEnd;
    boxes.onMessage = [&](const FakeMessageBoxes::Message&) {
        captionAtEnd = window().windowTitle();
        busyAtEnd = QApplication::overrideCursor() != nullptr;
        bodyAtEnd = settings().body;
    };

    click("cmdErstellen");

    ASSERT_EQ(boxes.messages.size(), 1u) << qPrintable(boxes.messages[0].text);
    EXPECT_EQ(boxes.messages[0].title, "Erstellung abgeschlossen");
    EXPECT_EQ(boxes.messages[0].icon, MessageBoxes::Icon::None);
    EXPECT_TRUE(boxes.messages[0].text.startsWith(QStringLiteral("Doorpages erstellt in ") +
                                                  qpath("doorpages/")));
    EXPECT_EQ(captionAtEnd, "Seiten erfolgreich erstellt");
    EXPECT_FALSE(busyAtEnd);
    EXPECT_EQ(bodyAtEnd.rfind("<BODY BGCOLOR=\"#FFFFFF\"", 0), 0u)
        << "the coloured body shows while the closing message is up";
    EXPECT_EQ(window().windowTitle(), "Seiten erfolgreich erstellt");
    ASSERT_GE(captions.size(), 20);
    EXPECT_EQ(captions.front(), "Erstelle vorschau.htm");
    EXPECT_TRUE(captions.contains("Erstelle file20.htm"));

    EXPECT_TRUE(exists(path("doorpages/vorschau.htm")));
    EXPECT_TRUE(exists(path("doorpages/file20.htm")));
    EXPECT_FALSE(exists(path("doorpages/file21.htm")));
    EXPECT_EQ(readFile(path("doorpages/images/file7.gif")), "GIF89a");
    const std::string index = readFile(path("doorpages/_keyliste.htm"));
    EXPECT_NE(index.find(R"(<LI><A HREF="file20.htm">file20.htm</A></LI>)"), std::string::npos);

    const PageSettings after = settings();
    EXPECT_EQ(after.body, "<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#0000FF\">\r\n"
                          "<%key1%> <%spider%>\r\n</BODY>");
    EXPECT_EQ(after.backgroundColor, "#FFFFFF");
    EXPECT_EQ(after.fontName, "Arial, Verdana, Helvetica");
    const std::string page = readFile(path("doorpages/file2.htm"));
    EXPECT_EQ(page.find("<%key1%>"), std::string::npos);
    EXPECT_TRUE(page.find("Auto") != std::string::npos || page.find("Reifen") != std::string::npos);
}

} // namespace
} // namespace vantiro::test
