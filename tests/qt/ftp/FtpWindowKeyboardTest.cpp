#include "qt/ftp/DriveList.h"
#include "qt/ftp/FileList.h"
#include "qt/ftp/FolderList.h"
#include "qt/ftp/FtpWindowUi.h"
#include "support/FocusOrder.h"
#include "support/QtTestApplication.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace vantiro {
namespace {

using test::focusedName;

class FtpWindowKeyboard : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::qtTestApplication(); }

    void showActive()
    {
        ui.setConnected(true);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    static void tab(Qt::Key key = Qt::Key_Tab)
    {
        QTest::keyClick(QApplication::focusWidget(), key,
                        key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
    }

    QDialog window;
    FtpWindowUi ui{window};
};

TEST_F(FtpWindowKeyboard, TabGoesFromTheConnectionOverTheServerToTheLocalSide)
{
    showActive();
    QStringList visited = test::tabCycle(*ui.txtServername);
    const QStringList expected = {"txtServername", "txtUsername",   "txtPassword", "cmdConnect",
                                  "cmdDisconnect", "optAscii",      "lstServer",   "txtFilter",
                                  "cmdRefresh",    "cmdOpen",       "cmdDelete",   "cmdRename",
                                  "cmdMakeDir",    "cmdUpload",     "cmdDownload", "DriveLokal",
                                  "DirLokal",      "fileListLokal", "cmdExit"};
    // CONNECT is disabled while connected; the order of the rest is what counts.
    QStringList enabled = expected;
    enabled.removeAll(QStringLiteral("cmdConnect"));
    EXPECT_EQ(visited, enabled);

    ui.optBinaer->setChecked(true);
    ui.cmdDisconnect->setFocus();
    tab();
    EXPECT_EQ(focusedName(), "optBinaer");
    tab();
    EXPECT_EQ(focusedName(), "lstServer");
    tab(Qt::Key_Backtab);
    EXPECT_EQ(focusedName(), "optBinaer");
}

TEST_F(FtpWindowKeyboard, FieldsAreNamedByTheirLabelsAndListsByTheirHeadings)
{
    const std::vector<std::pair<QWidget*, QString>> names = {
        {ui.txtServername, QStringLiteral("Server")},
        {ui.txtUsername, "Username"},
        {ui.txtPassword, "Passwort"},
        {ui.lstServer, "FTP-Verzeichnis"},
        {ui.txtFilter, "Suchmuster"},
        {ui.DirLokal, "Lokale Verzeichnisse"},
        {ui.fileListLokal, "Lokale Dateien"},
    };
    for (const auto& [field, expected] : names) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(field);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->text(QAccessible::Name), expected) << field->objectName().toStdString();
    }
    EXPECT_EQ(ui.Label3->buddy(), ui.txtPassword);
    // On Linux a drop-down list announces its value; other platforms take this name.
    EXPECT_EQ(ui.DriveLokal->accessibleName(), QStringLiteral("Lokaler Datenträger"));
}

} // namespace
} // namespace vantiro
