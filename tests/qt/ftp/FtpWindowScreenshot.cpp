// Saves a picture of the FTP window connected to a local test server, for the documentation:
//   QT_QPA_PLATFORM=offscreen vantiro_ftp_window_screenshot docs/ftp-window.png
#include "platform/SchemeFtpClient.h"
#include "qt/ftp/FtpWindow.h"
#include "support/FakeMessageBoxes.h"
#include "support/FtpTestServer.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>

#include <cstdio>
#include <filesystem>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <picture.png>\n", argv[0]);
        return 2;
    }
    vantiro::test::FtpTestServer server;
    std::filesystem::create_directories(server.root() + "/images");
    vantiro::test::writeFile(server.root() + "/index.htm", "<p>Start</p>");
    vantiro::test::writeFile(server.root() + "/vorschau.htm", "<p>Vorschau</p>");
    vantiro::test::TempDir program;
    std::filesystem::create_directories(program.file("doorpages"));
    for (const char* page : {"vorschau.htm", "_keyliste.htm", "ferienhaus-ostsee.htm"})
        vantiro::test::writeFile(program.file("doorpages/") + page, "<p></p>");

    vantiro::test::FakeMessageBoxes boxes;
    vantiro::FtpWindow window(
        boxes, [] { return std::make_unique<vantiro::SchemeFtpClient>(nullptr); },
        QString::fromStdString(program.path()));
    window.prepareOpening();
    vantiro::FtpWindowUi& ui = window.ui();
    ui.serverEdit->setText(QString::fromStdString(server.address()));
    ui.userEdit->setText(QString::fromStdString(server.user()));
    ui.passwordEdit->setText(QString::fromStdString(server.password()));
    window.show();
    ui.connectButton->click();
    ui.remoteList->setCurrentRow(ui.remoteList->count() - 1);
    emit ui.remoteList->itemClicked(ui.remoteList->currentItem());
    QApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
