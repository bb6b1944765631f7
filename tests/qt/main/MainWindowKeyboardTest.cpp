#include "core/generator/MakerAddress.h"
#include "qt/main/MainWindowFixture.h"
#include "support/FocusOrder.h"

#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace vantiro::test {
namespace {

using Keyboard = MainWindowFixture;
using ScreenReader = MainWindowFixture;
using WindowSize = MainWindowFixture;
using NoBrowser = MainWindowFixture;

using test::focusedName;

// What a screen reader announces for a field: on Linux a drop-down list's name is its value,
// and its label reaches the reader as a "labelled by" relation instead.
QString accessibleName(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    if (!face)
        return QStringLiteral("(no interface)");
    if (face->role() != QAccessible::ComboBox)
        return face->text(QAccessible::Name);
    // The first label is the one a reader announces; the frame around it may follow.
    const auto labels = face->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.front().first->text(QAccessible::Name);
}

TEST_F(Keyboard, ShiftEnterEndsALineWithCrLfLikeEnterInBothMultiLineFields)
{
    showActive();
    for (const char* name : {"txtBody", "txtScripting"}) {
        auto* field = control<QPlainTextEdit>(name);
        field->clear();
        field->setFocus();
        QTest::keyClicks(field, "a");
        QTest::keyClick(field, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(field, "b");
        QTest::keyClick(field, Qt::Key_Return);
        QTest::keyClicks(field, "c");
        QTest::keyClick(field, Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier);
        QTest::keyClicks(field, "d");
        const PageSettings typed = settings();
        EXPECT_EQ(name == std::string("txtBody") ? typed.body : typed.scripting, "a\r\nb\r\nc\r\nd")
            << name;
    }
}

TEST_F(Keyboard, TabLeavesTheMultiLineFieldsAndCtrlTabTypesATab)
{
    showActive();
    auto* body = control<QPlainTextEdit>("txtBody");
    body->setFocus();
    body->selectAll();
    const std::string before = settings().body;
    QTest::keyClick(body, Qt::Key_Tab);
    EXPECT_EQ(focusedName(), "cmdSeitenhintergrund");
    EXPECT_EQ(settings().body, before) << "Tab with the body selected must not replace it";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focusedName(), "txtBody");

    body->clear();
    QTest::keyClicks(body, "a");
    QTest::keyClick(body, Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClicks(body, "b");
    EXPECT_EQ(settings().body, "a\tb");
    EXPECT_EQ(focusedName(), "txtBody");

    auto* scripting = control<QPlainTextEdit>("txtScripting");
    scripting->setFocus();
    QTest::keyClick(scripting, Qt::Key_Tab);
    EXPECT_EQ(focusedName(), "Label18");
    EXPECT_EQ(settings().scripting, "");
}

TEST_F(Keyboard, TabVisitsTheControlsInReadingOrderAndLandsOnTheSelectedOption)
{
    showActive();
    const QStringList visited = test::tabCycle(*control<QWidget>("cmbDoctype"));
    const QStringList expected = {"cmbDoctype",       "txtTitle",        "cmbRobots",
                                  "txtDescription",   "txtAuthor",       "cmbPragma",
                                  "cmbRevisit",       "cmbCaching",      "txtScripting",
                                  "Label18",          "txtKeyword",      "cmdLadeKeyword",
                                  "cmdCreateKeyword", "txtBody",         "cmdSeitenhintergrund",
                                  "cmdSchriftart",    "cmdSchriftfarbe", "cmdLinkfarbe",
                                  "cmdBeispielcode",  "optKeywords",     "chkImageLinks",
                                  "txtAnzahlSeiten",  "cmdUpload",       "cmdErstellen",
                                  "cmdVorschau",      "cmdVorlageLaden", "cmdVorlageSpeichern",
                                  "cmbReset",         "cmdEnde"};
    EXPECT_EQ(visited, expected);

    // With the other option chosen, Tab and Shift+Tab land on that one instead.
    control<QRadioButton>("optDateiname")->setChecked(true);
    control<QWidget>("cmdBeispielcode")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(focusedName(), "optDateiname");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(focusedName(), "chkImageLinks");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focusedName(), "optDateiname");

    // The arrow keys still move within the group, and Tab follows the choice.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    EXPECT_EQ(focusedName(), "optKeywords");
    EXPECT_TRUE(settings().keywordNames);
    control<QWidget>("cmdBeispielcode")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(focusedName(), "optKeywords");
}

TEST_F(Keyboard, AProgramTextLongerThanTheLimitGivesTheLimitBackAtTheFirstEdit)
{
    auto* title = control<QLineEdit>("txtTitle");
    change([](PageSettings& s) { s.title = std::string(100, 'T'); });
    ASSERT_EQ(title->text().size(), 100) << "the program's own text is shown whole";

    title->setFocus();
    title->end(false);
    QTest::keyClicks(title, "xyz");
    EXPECT_EQ(title->text().size(), 100) << "typing never makes it longer";
    QTest::keyClick(title, Qt::Key_Backspace);
    EXPECT_EQ(title->text(), QString(99, QLatin1Char('T'))) << "editing cuts nothing";

    title->selectAll();
    QTest::keyClicks(title, QString(120, QLatin1Char('n')));
    EXPECT_EQ(title->text(), QString(80, QLatin1Char('n')));

    change([](PageSettings& s) { s.author = std::string(70, 'A'); });
    auto* author = control<QLineEdit>("txtAuthor");
    author->setFocus();
    author->selectAll();
    QTest::keyClick(author, Qt::Key_Delete);
    QTest::keyClicks(author, QString(70, QLatin1Char('b')));
    EXPECT_EQ(author->text().size(), 64);
}

TEST_F(ScreenReader, FieldsAreNamedByTheirLabelsAndTheMultiLineFieldsByTheirFrames)
{
    const std::vector<std::pair<const char*, QString>> names = {
        {"cmbDoctype", "DOCTYPE"},
        {"txtTitle", "<TITLE>"},
        {"cmbRobots", "ROBOTS"},
        {"txtDescription", "DESCRIPTION"},
        {"txtAuthor", "AUTHOR"},
        {"cmbPragma", "PRAGMA"},
        {"cmbRevisit", "REVISIT-AFTER"},
        {"cmbCaching", "CACHE"},
        {"txtKeyword", "Keyword-Datei"},
        {"txtAnzahlSeiten", "Wieviele Dateien erzeugen?"},
        {"txtScripting", "Scripting und Style-Sheet (CSS)-Definitionen im <HEAD></HEAD>-Container"},
        {"txtBody", "<BODY> - Informationen"},
        {"optKeywords", "Keywords als Dateinamen verwenden"},
        {"cmdErstellen", "ERSTELLEN"},
    };
    for (const auto& [name, expected] : names)
        EXPECT_EQ(accessibleName(control<QWidget>(name)), expected) << name;
    EXPECT_EQ(control<QLabel>("Label2")->buddy(), control<QWidget>("txtTitle"));
    EXPECT_EQ(control<QLabel>("Label17")->buddy(), control<QWidget>("txtAnzahlSeiten"));
    EXPECT_TRUE(control<QLabel>("Label17")->alignment() & Qt::AlignRight);
}

TEST_F(WindowSize, AtItsSmallestTheWindowShowsEveryControlWhole)
{
    window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    window().resize(1, 1);
    QApplication::processEvents();
    EXPECT_GE(window().width(), window().minimumSizeHint().width());

    for (QWidget* widget : window().findChildren<QWidget*>()) {
        // The scrolled content is held at its minimum, not at the preferred height its
        // height-for-width gives; the controls inside are what must show whole.
        if (!widget->isVisible() || widget->objectName().isEmpty() ||
            widget->objectName().startsWith(QStringLiteral("qt_")) ||
            widget->objectName() == QStringLiteral("scrolledContent"))
            continue;
        const QSize hint = widget->minimumSizeHint();
        EXPECT_GE(widget->width(), hint.width()) << widget->objectName().toStdString();
        EXPECT_GE(widget->height(), hint.height()) << widget->objectName().toStdString();
        if (widget->hasHeightForWidth()) {
            EXPECT_GE(widget->height(), widget->heightForWidth(widget->width()))
                << widget->objectName().toStdString();
        }
    }
    auto* upload = control<QGroupBox>("Frame5");
    EXPECT_GE(upload->width(), upload->fontMetrics().horizontalAdvance(upload->title()));
}

TEST_F(NoBrowser, PreviewHelpAndHomePageSayWhatCouldNotBeOpened)
{
    shell.starts = false;
    put("doorpages/vorschau.htm", "<HTML></HTML>");
    click("cmdVorschau");
    QTest::keyClick(control<QWidget>("txtBody"), Qt::Key_F1);
    QTest::mouseClick(control<QLabel>("Label18"), Qt::LeftButton);

    ASSERT_EQ(boxes.messages.size(), 3u);
    const QStringList tried = {qpath("doorpages/vorschau.htm"), QString::fromLatin1(helpAddress),
                               QString::fromLatin1(makerAddress)};
    for (int i = 0; i < 3; ++i) {
        const auto& box = boxes.messages[static_cast<size_t>(i)];
        EXPECT_EQ(box.title, QStringLiteral("Öffnen nicht möglich"));
        EXPECT_TRUE(box.text.contains(tried[i])) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(QStringLiteral("xdg-open")));
        EXPECT_EQ(box.icon, MessageBoxes::Icon::Exclamation);
    }
    EXPECT_TRUE(boxes.messages[0].text.startsWith(QStringLiteral("Die Vorschauseite ")));
    EXPECT_TRUE(boxes.messages[1].text.startsWith(QStringLiteral("Die Hilfeseite ")));
}

} // namespace
} // namespace vantiro::test
