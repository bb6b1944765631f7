#include "WindowTestSupport.h"
#include "platform/CurlFtpClient.h"
#include "qt/ftp/FileList.h"
#include "qt/ftp/frmFTP.h"
#include "support/FakeMessageBoxes.h"
#include "support/FakeShell.h"
#include "support/FtpTestServer.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <filesystem>

namespace vantiro {
namespace {

using test::lines;
using test::text;

class FtpWindowServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureApplication(); }

    FtpWindowServerTest()
    {
        std::filesystem::create_directories(server.root() + "/unter");
        test::writeFile(server.root() + "/unter/seite.htm", "<p>unten</p>");
        test::writeFile(server.root() + "/Index.htm", "<p>oben</p>");
        std::filesystem::create_directories(program.file("doorpages"));
        test::writeFile(program.file("doorpages/eins.htm"), "eins\r\n");
        test::writeFile(program.file("doorpages/zwei.htm"), "zwei\r\n");
        test::writeFile(program.file("doorpages/drei.htm"), "drei\r\n");
    }

    void connect()
    {
        window.prepareOpening();
        ui.txtServername->setText(text(server.address()));
        ui.txtUsername->setText(text(server.user()));
        ui.txtPassword->setText(text(server.password()));
        ui.cmdConnect->click();
        expectNoPasswordInStatus();
    }

    void doubleClick(const QString& line)
    {
        const QList<QListWidgetItem*> found = ui.lstServer->findItems(line, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << line.toStdString();
        ui.lstServer->setCurrentItem(found.front());
        emit ui.lstServer->itemDoubleClicked(found.front());
        expectNoPasswordInStatus();
    }

    void expectNoPasswordInStatus() const
    {
        EXPECT_FALSE(ui.lblStatus->text().contains(text(server.password())));
    }

    QString top() const { return text(server.address()) + QStringLiteral("/"); }

    test::FtpTestServer server;
    test::TempDir program;
    test::FakeMessageBoxes boxes;
    test::FakeShell shell;
    frmFTP window{boxes, shell, [] { return std::make_unique<CurlFtpClient>(); },
                  text(program.path())};
    FtpWindowUi& ui = window.ui();
};

TEST_F(FtpWindowServerTest, ListsWalksIntoAFolderAndBackUploadsTwoFilesAndDisconnects)
{
    connect();
    ASSERT_TRUE(ui.cmdDisconnect->isEnabled()) << server.log();
    EXPECT_EQ(ui.lblFTP->text(), top());
    EXPECT_EQ(lines(*ui.lstServer),
              (QStringList{QStringLiteral("."), QStringLiteral(".."), QStringLiteral("UNTER"),
                           QStringLiteral("index.htm")}));

    doubleClick(QStringLiteral("UNTER"));
    EXPECT_EQ(ui.lblFTP->text(), top() + QStringLiteral("unter/"));
    EXPECT_EQ(lines(*ui.lstServer), (QStringList{QStringLiteral("."), QStringLiteral(".."),
                                                 QStringLiteral("seite.htm")}));
    doubleClick(QStringLiteral(".."));
    EXPECT_EQ(ui.lblFTP->text(), top());
    EXPECT_TRUE(lines(*ui.lstServer).contains(QStringLiteral("UNTER")));

    for (const QString& name : {QStringLiteral("eins.htm"), QStringLiteral("zwei.htm")})
        ui.fileListLokal->findItems(name, Qt::MatchExactly).front()->setSelected(true);
    ui.optBinaer->click();
    ui.cmdUpload->click();

    EXPECT_TRUE(boxes.messages.size() == 1) << "only the disclaimer";
    EXPECT_EQ(test::readFile(server.root() + "/eins.htm"), "eins\r\n");
    EXPECT_EQ(test::readFile(server.root() + "/zwei.htm"), "zwei\r\n");
    EXPECT_FALSE(test::exists(server.root() + "/drei.htm"));
    EXPECT_EQ(lines(*ui.lstServer),
              (QStringList{QStringLiteral("."), QStringLiteral(".."), QStringLiteral("UNTER"),
                           QStringLiteral("eins.htm"), QStringLiteral("index.htm"),
                           QStringLiteral("zwei.htm")}));
    expectNoPasswordInStatus();

    ui.cmdDisconnect->click();
    EXPECT_EQ(ui.lstServer->count(), 0);
    EXPECT_EQ(ui.lblFTP->text(), QString());
    EXPECT_TRUE(ui.cmdConnect->isEnabled());
    EXPECT_FALSE(ui.cmdUpload->isEnabled());
}

TEST_F(FtpWindowServerTest, ServerThatGoesAwayLeavesTheWindowDisconnected)
{
    connect();
    ASSERT_TRUE(ui.cmdDisconnect->isEnabled()) << server.log();

    server.stop();
    ui.cmdRefresh->click();

    EXPECT_TRUE(
        ui.lblStatus->text().startsWith(QStringLiteral("Verbindung zum Server unterbrochen")))
        << ui.lblStatus->text().toStdString();
    EXPECT_TRUE(ui.cmdConnect->isEnabled());
    EXPECT_FALSE(ui.cmdRefresh->isEnabled());
    EXPECT_EQ(ui.lstServer->count(), 0);
    EXPECT_EQ(boxes.messages.size(), 1U) << "no folder message after the disclaimer";
}

} // namespace
} // namespace vantiro
