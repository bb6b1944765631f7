#include "qt/main/KeywordDialog.h"
#include "qt/main/MainWindowFixture.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QComboBox>
#include <QLineEdit>

#include <filesystem>

namespace vantiro::test {
namespace {

using Accessibility = MainWindowFixture;

QAccessibleInterface* accessible(QObject* object)
{
    QAccessibleInterface* found = QAccessible::queryAccessibleInterface(object);
    if (!found)
        ADD_FAILURE() << "no accessible interface";
    return found;
}

// What a screen reader's "toggle" or "press" does.
void act(QObject* object, const QString& action)
{
    QAccessibleActionInterface* actions = accessible(object)->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(action)) << qPrintable(action);
    actions->doAction(action);
}

QString nameOf(QObject* object)
{
    return accessible(object)->text(QAccessible::Name);
}

size_t imageCount(const std::string& folder)
{
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        count += entry.path().extension() == ".gif" ? 1 : 0;
    return count;
}

TEST_F(Accessibility, OptionsChangedThroughAccessibleActionsAreWhatTheRunUses)
{
    put("keywordfile/keywords.vrk", "Auto\r\nReifen\r\n");
    writeFile(shipped.file("vtr.gif"), "GIF89a");
    change([this](PageSettings& s) { s.keywordFile = path("keywordfile/keywords.vrk"); });
    window().show();
    const QString toggle = QAccessibleActionInterface::toggleAction();

    act(control<QAbstractButton>("optDateiname"), toggle);
    act(control<QAbstractButton>("chkImageLinks"), toggle);
    EXPECT_TRUE(control<QAbstractButton>("optDateiname")->isChecked());
    EXPECT_FALSE(control<QAbstractButton>("optKeywords")->isChecked());
    EXPECT_FALSE(control<QAbstractButton>("chkImageLinks")->isChecked());
    EXPECT_FALSE(settings().keywordNames);
    EXPECT_EQ(settings().imageLinks, 0);
    click("cmdErstellen");
    EXPECT_TRUE(exists(path("doorpages/file20.htm")));
    EXPECT_EQ(imageCount(path("doorpages/images")), 0u);
    EXPECT_EQ(readFile(path("doorpages/file2.htm")).find("<IMG"), std::string::npos);

    std::filesystem::remove_all(path("doorpages"));
    std::filesystem::create_directories(path("doorpages/images"));
    act(control<QAbstractButton>("optKeywords"), toggle);
    act(control<QAbstractButton>("chkImageLinks"), toggle);
    EXPECT_FALSE(control<QAbstractButton>("optDateiname")->isChecked());
    EXPECT_TRUE(settings().keywordNames);
    EXPECT_EQ(settings().imageLinks, 1);
    click("cmdErstellen");
    EXPECT_FALSE(exists(path("doorpages/file20.htm")));
    EXPECT_TRUE(exists(path("doorpages/Auto.htm")) || exists(path("doorpages/Reifen.htm")));
    EXPECT_GT(imageCount(path("doorpages/images")), 0u);
}

TEST_F(Accessibility, KeywordDialogWritesWhatWasPutInThroughTheAccessibleInterface)
{
    KeywordDialog dialog(boxes, folder.path());
    dialog.show();
    auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("txtKeywords"));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(nameOf(field), "Geben Sie Ihre Keywords, getrennt durch Komma, ein:");
    accessible(field)->setText(QAccessible::Value, QStringLiteral("Auto, Reifen"));
    act(dialog.findChild<QAbstractButton*>(QStringLiteral("cmdOK")),
        QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.writtenFile().isEmpty(); }, 2000));
    EXPECT_EQ(readFile(dialog.writtenFile().toStdString()), "Auto\r\nReifen\r\n");
}

TEST_F(Accessibility, MainWindowIsAWindowNamedByItsTitle)
{
    window().show();
    QAccessibleInterface* top = accessible(&window());
    EXPECT_EQ(top->role(), QAccessible::Window);
    EXPECT_EQ(top->text(QAccessible::Name), window().windowTitle());
}

TEST_F(Accessibility, DropDownsAreNamedByTheirLabelsAndTheirTextFieldsToo)
{
    window().show();
    const std::vector<std::pair<const char*, QString>> dropDowns = {
        {"cmbDoctype", QStringLiteral("DOCTYPE")},
        {"cmbRobots", QStringLiteral("ROBOTS")},
        {"cmbPragma", QStringLiteral("PRAGMA")},
        {"cmbRevisit", QStringLiteral("REVISIT-AFTER")},
        {"cmbCaching", QStringLiteral("CACHE")}};
    for (const auto& [name, label] : dropDowns) {
        SCOPED_TRACE(name);
        auto* combo = control<QComboBox>(name);
        QAccessibleInterface* box = accessible(combo);
        EXPECT_EQ(box->role(), QAccessible::ComboBox);
        EXPECT_EQ(box->text(QAccessible::Name), label);
        EXPECT_EQ(box->text(QAccessible::Value), combo->currentText());
        if (combo->isEditable()) {
            combo->setCurrentText(QStringLiteral("7"));
            EXPECT_EQ(box->text(QAccessible::Name), label) << "not the typed value";
            EXPECT_EQ(box->text(QAccessible::Value), "7");
            EXPECT_EQ(nameOf(combo->lineEdit()), label);
        }
    }
    auto* doctype = control<QComboBox>("cmbDoctype");
    EXPECT_FALSE(accessible(doctype)->state().expanded);
    act(doctype, QAccessibleActionInterface::showMenuAction());
    EXPECT_TRUE(doctype->view()->isVisible());
    EXPECT_TRUE(accessible(doctype)->state().expanded);
    doctype->hidePopup();
}

} // namespace
} // namespace vantiro::test
