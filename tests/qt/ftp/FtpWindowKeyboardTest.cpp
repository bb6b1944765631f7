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
#include <QProgressBar>
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
    QStringList visited = test::tabCycle(*ui.serverEdit);
    const QStringList expected = {"txtServername", "txtUsername",   "txtPassword", "cmdConnect",
                                  "cmdDisconnect", "optAscii",      "lstServer",   "txtFilter",
                                  "cmdRefresh",    "cmdOpen",       "cmdDelete",   "cmdRename",
                                  "cmdMakeDir",    "cmdUpload",     "cmdDownload", "DriveLokal",
                                  "DirLokal",      "fileListLokal", "cmdExit"};
    // CONNECT is disabled while connected; the order of the rest is what counts.
    QStringList enabled = expected;
    enabled.removeAll(QStringLiteral("cmdConnect"));
    EXPECT_EQ(visited, enabled);

    ui.binaryOption->setChecked(true);
    ui.disconnectButton->setFocus();
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
        {ui.serverEdit, QStringLiteral("Server")},
        {ui.userEdit, "Username"},
        {ui.passwordEdit, "Passwort"},
        {ui.remoteList, "FTP-Verzeichnis"},
        {ui.filterEdit, "Suchmuster"},
        {ui.folderList, "Lokale Verzeichnisse"},
        {ui.fileList, "Lokale Dateien"},
        {ui.driveList, "Lokaler Datenträger"},
        {ui.uploadButton, "Hochladen"},
        {ui.downloadButton, "Herunterladen"},
        {ui.statusLabel, "Status"},
        {ui.securityLabel, "Sicherheit der Verbindung"},
        {ui.progressBar, "Fortschritt"},
        {ui.changedValue, "Veränderung"},
        {ui.sizeValue, "Größe"},
        {ui.attributesValue, "Attribute"},
    };
    for (const auto& [field, expected] : names) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(field);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->text(QAccessible::Name), expected) << field->objectName().toStdString();
    }
    EXPECT_EQ(ui.passwordLabel->buddy(), ui.passwordEdit);
    EXPECT_EQ(ui.uploadButton->text(), QStringLiteral("<<------ UP")) << "the caption stays";

    QAccessibleInterface* drive = QAccessible::queryAccessibleInterface(ui.driveList);
    EXPECT_EQ(drive->role(), QAccessible::ComboBox);
    EXPECT_EQ(drive->text(QAccessible::Value), ui.driveList->currentText());

    // A detail's value is tied to its caption, which a screen reader reads with it.
    QAccessibleInterface* size = QAccessible::queryAccessibleInterface(ui.sizeValue);
    bool labelled = false;
    for (const auto& [other, relation] : size->relations(QAccessible::Label))
        labelled = labelled || other->object() == ui.sizeLabel;
    EXPECT_TRUE(labelled);
}

} // namespace
} // namespace vantiro
