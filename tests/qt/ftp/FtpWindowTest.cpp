#include "qt/ftp/FtpWindow.h"
#include "WindowTestSupport.h"
#include "core/ftp/FakeFtpServer.h"
#include "qt/ftp/DriveList.h"
#include "qt/ftp/FileList.h"
#include "qt/ftp/FolderList.h"
#include "qt/ftp/TextViewer.h"
#include "support/FakeMessageBoxes.h"
#include "support/TempDir.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

namespace vantiro {
namespace {

using test::lines;
using test::text;

using test::FakeFtpClient;
using test::FakeFtpServer;

const QString disclaimer = QStringLiteral(
    "Mit Nutzung des FTP-Programmteils wird der Autor des Programms von jeglicher Haftung für "
    "alle Schäden, Kopierfehler, Datenverlust auf dem Server etc. uneingeschränkt, d.h. "
    "unabhängig, ob Vorsatz oder Fahrlässigkeit, befreit.");

void press(QWidget* target, int key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// What a screen reader does: the named action of the control's accessible interface.
void act(QWidget* control, const QString& action)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    ASSERT_NE(face, nullptr);
    ASSERT_NE(face->actionInterface(), nullptr);
    face->actionInterface()->doAction(action);
}

// Lets events through until done() holds or two seconds have passed.
template <typename Done> bool waitFor(Done done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

class FtpWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::qtTestApplication(); }

    FtpWindowTest()
    {
        std::filesystem::create_directories(program.file("doorpages/sub"));
        test::writeFile(program.file("doorpages/vorschau.htm"), "v");
        test::writeFile(program.file("doorpages/_keyliste.htm"), "k");
        test::writeFile(program.file("doorpages/.versteckt"), "h");
    }

    void open()
    {
        window.prepareOpening();
        ui.serverEdit->setText(QStringLiteral("ftp.example.test"));
    }

    QString doorpages() const { return text(program.file("doorpages")); }

    test::TempDir program;
    std::shared_ptr<FakeFtpServer> server = std::make_shared<FakeFtpServer>();
    test::FakeMessageBoxes boxes;
    FtpWindow window{boxes, [this] { return std::make_unique<FakeFtpClient>(server); },
                     text(program.path())};
    FtpWindowUi& ui = window.ui();
};

TEST_F(FtpWindowTest, ControlsCarryTheirNamesCaptionsAndStartValues)
{
    open();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("VTR30 - Doorpage-UpLoader"));
    const std::vector<std::pair<const char*, QString>> captions = {
        {"Frame3", QStringLiteral("Verbindung zum FTP-Server")},
        {"Frame1", QStringLiteral("FTP-Verzeichnis")},
        {"Frame2", QStringLiteral("Lokaler Datenträger und Verzeichnisse")},
        {"Label1", QStringLiteral("Server")},
        {"Label2", QStringLiteral("Username")},
        {"Label3", QStringLiteral("Passwort")},
        {"Label6", QStringLiteral("Veränderung ")},
        {"Label5", QStringLiteral("Größe ")},
        {"Label4", QStringLiteral("Attribute ")},
        {"cmdConnect", QStringLiteral("CONNECT")},
        {"cmdRefresh", QStringLiteral("REFRESH")},
        {"cmdOpen", QStringLiteral("SHOW/OPEN")},
        {"cmdDelete", QStringLiteral("DELETE")},
        {"cmdRename", QStringLiteral("RENAME")},
        {"cmdMakeDir", QStringLiteral("MAKE DIR")},
        {"cmdDisconnect", QStringLiteral("DISCONNECT")},
        {"cmdUpload", QStringLiteral("<<------ UP")},
        {"cmdDownload", QStringLiteral("DOWN -->>")},
        {"cmdExit", QStringLiteral("EXIT")},
        {"optAscii", QStringLiteral("ASCII-Transfer")},
        {"optBinaer", QStringLiteral("Binär-Transfer")},
        {"chkPassiv", QStringLiteral("Passiv-Transfer*")},
        {"txtFilter", QStringLiteral("*.*")},
        {"txtServername", QStringLiteral("ftp.example.test")},
    };
    for (const auto& [name, caption] : captions) {
        QObject* control = window.findChild<QObject*>(QString::fromLatin1(name));
        ASSERT_NE(control, nullptr) << name;
        const QVariant shown = control->property(control->inherits("QGroupBox") ? "title" : "text");
        EXPECT_EQ(shown.toString(), caption) << name;
    }
    for (const char* name :
         {"txtUsername", "txtPassword", "lstServer", "lblFTP", "lblStatus", "lblVeraenderung",
          "lblGroesse", "lblAttribute", "DriveLokal", "DirLokal", "fileListLokal", "lblLokal"})
        EXPECT_NE(window.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;

    EXPECT_TRUE(ui.asciiOption->isChecked());
    EXPECT_FALSE(ui.binaryOption->isChecked());
    EXPECT_TRUE(ui.passiveCheck->isChecked());
    EXPECT_EQ(ui.remoteList->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(ui.fileList->selectionMode(), QAbstractItemView::ExtendedSelection);
    ui.passwordEdit->setText(QStringLiteral("geheim"));
    EXPECT_EQ(ui.passwordEdit->displayText(), QStringLiteral("******"));
}

TEST_F(FtpWindowTest, EveryOpeningShowsTheDisclaimerBeforeTheWindow)
{
    std::vector<bool> visibleDuringBox;
    boxes.onMessage = [&](const test::FakeMessageBoxes::Message&) {
        visibleDuringBox.push_back(window.isVisible());
    };
    for (int opening = 0; opening < 2; ++opening) {
        QTimer::singleShot(0, &window, [this] { ui.exitButton->click(); });
        window.exec();
    }

    ASSERT_EQ(boxes.messages.size(), 2U);
    for (const auto& box : boxes.messages) {
        EXPECT_EQ(box.title, QStringLiteral("Haftungsausschluss"));
        EXPECT_EQ(box.text, disclaimer);
        EXPECT_EQ(box.icon, MessageBoxes::Icon::Exclamation);
    }
    EXPECT_EQ(visibleDuringBox, (std::vector<bool>{false, false}));
}

TEST_F(FtpWindowTest, ButtonsFollowTheConnectionStateAndPassiveModeStaysFixed)
{
    open();
    const std::vector<QPushButton*> connectedOnly = {
        ui.disconnectButton, ui.downloadButton, ui.uploadButton, ui.refreshButton,
        ui.showButton,       ui.deleteButton,   ui.renameButton, ui.makeFolderButton};
    auto expectConnected = [&](bool connected) {
        EXPECT_EQ(ui.connectButton->isEnabled(), !connected);
        for (QPushButton* button : connectedOnly)
            EXPECT_EQ(button->isEnabled(), connected) << button->objectName().toStdString();
        EXPECT_FALSE(ui.passiveCheck->isEnabled());
        EXPECT_TRUE(ui.passiveCheck->isChecked());
        for (QWidget* always : std::initializer_list<QWidget*>{
                 ui.serverEdit, ui.userEdit, ui.passwordEdit, ui.filterEdit, ui.asciiOption,
                 ui.binaryOption, ui.exitButton, ui.folderList, ui.fileList})
            EXPECT_TRUE(always->isEnabled());
    };

    expectConnected(false);
    ui.connectButton->click();
    expectConnected(true);
    EXPECT_TRUE(server->lastPassive);
    ui.disconnectButton->click();
    expectConnected(false);
    EXPECT_EQ(ui.remoteList->count(), 0);
    EXPECT_EQ(ui.remoteFolderLabel->text(), QString());
}

TEST_F(FtpWindowTest, NamesAreShownAndTypedNamesSentInTheirOwnEncoding)
{
    server->add("/", "gr\xFCn", FtpEntry::directoryAttribute);
    server->add("/",
                "Stra\xC3\x9F"
                "e.HTM",
                FtpEntry::normalAttribute);
    open();
    ui.connectButton->click();
    EXPECT_EQ(lines(*ui.remoteList),
              (QStringList{QStringLiteral("."), QStringLiteral(".."), QStringLiteral("GRÜN"),
                           QStringLiteral("straße.htm")}));

    server->fileContents["Stra\xC3\x9F"
                         "e.HTM"] = "B\xE4ume";
    ui.remoteList->setCurrentRow(3);
    ui.showButton->click();
    ui.showButton->click();
    boxes.answers = {QStringLiteral("Bäume.htm"), QStringLiteral(" Bücher ")};
    ui.renameButton->click();
    ui.makeFolderButton->click();

    EXPECT_EQ(boxes.messages.size(), 1U) << "only the disclaimer";
    const QList<TextViewer*> viewers = window.findChildren<TextViewer*>();
    ASSERT_EQ(viewers.size(), 2);
    EXPECT_TRUE(viewers.back()->windowTitle().startsWith(QStringLiteral("Straße.HTM")));
    EXPECT_EQ(viewers.back()->textView().toPlainText(), QStringLiteral("Bäume"));
    ASSERT_EQ(boxes.questions.size(), 2U);
    EXPECT_EQ(boxes.questions[0].title, QStringLiteral("Umbenennen"));
    EXPECT_EQ(boxes.questions[0].preset, QStringLiteral("Straße.HTM"));
    EXPECT_EQ(boxes.questions[1].prompt, QStringLiteral("Neuen Verzeichnisnamen eingeben"));
    const std::vector<std::string> changes(server->calls.end() - 8, server->calls.end());
    EXPECT_EQ(changes[1], "rename Stra\xC3\x9F"
                          "e.HTM > B\xC3\xA4ume.htm");
    EXPECT_EQ(changes[5], "mkd B\xC3\xBC"
                          "cher");
}

TEST_F(FtpWindowTest, LocalPanesStartInDoorpagesAndListVisibleFiles)
{
    open();
    EXPECT_EQ(ui.localPathLabel->text(), doorpages() + QStringLiteral("/"));
    EXPECT_EQ(ui.fileList->path(), doorpages());
    EXPECT_EQ(lines(*ui.fileList),
              (QStringList{QStringLiteral("_keyliste.htm"), QStringLiteral("vorschau.htm")}));

    ui.fileList->setCurrentRow(0);
    press(ui.fileList, Qt::Key_Down);
    EXPECT_EQ(ui.localPathLabel->text(), doorpages() + QStringLiteral("/vorschau.htm"))
        << "the arrow keys move the path as a click does";

    ui.folderList->setPath(doorpages() + QStringLiteral("/sub"));
    EXPECT_EQ(ui.fileList->count(), 0);
    EXPECT_EQ(ui.localPathLabel->text(), doorpages() + QStringLiteral("/sub/"));

    const QStringList folderLines = lines(*ui.folderList);
    EXPECT_EQ(folderLines.front(), QStringLiteral("/"));
    EXPECT_TRUE(folderLines.back().endsWith(QStringLiteral("sub")));

    EXPECT_EQ(ui.driveList->itemText(0), QStringLiteral("/"));
    ui.folderList->setPath(QStringLiteral("/"));
    EXPECT_EQ(ui.localPathLabel->text(), QStringLiteral("//"));
}

TEST_F(FtpWindowTest, MissingDoorpagesFallsBackToTheProgramFolder)
{
    std::filesystem::remove_all(program.file("doorpages"));
    open();
    EXPECT_EQ(ui.fileList->path(), text(program.path()));
}

TEST_F(FtpWindowTest, ExitClosesTheConnectionAndTheSessionOnce)
{
    open();
    window.show();
    ui.connectButton->click();
    ui.exitButton->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(server->closes, 1);
    EXPECT_EQ(server->clientsDestroyed, 1);

    open();
    window.show();
    ui.connectButton->click();
    window.close();
    EXPECT_EQ(server->closes, 2);
    EXPECT_EQ(server->clientsDestroyed, 2);
}

TEST_F(FtpWindowTest, ClosingDuringUploadCancelsEveryConnectionDisconnectsAndCloses)
{
    for (int i = 0; i < 8; ++i)
        test::writeFile(program.file("doorpages/s" + std::to_string(i) + ".htm"), "s");
    open();
    window.show();
    ui.connectButton->click();
    ui.fileList->selectAll();
    bool closing = false;
    server->onCall = [&](const std::string& call) {
        if (call.starts_with("put") && !closing) {
            closing = true;
            QTimer::singleShot(0, &window, [this] { window.close(); });
            // The window closes while this file is under way.
            for (int wait = 0; wait < 500 && server->cancels == 0; ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    };

    ui.uploadButton->click();

    // The files run on several connections: each had at most the file it was cancelled in.
    const auto puts =
        std::count_if(server->calls.begin(), server->calls.end(),
                      [](const std::string& call) { return call.starts_with("put"); });
    EXPECT_GE(puts, 1);
    EXPECT_LE(puts, server->clientsCreated);
    EXPECT_LT(puts, ui.fileList->count());
    EXPECT_FALSE(window.isVisible());
    EXPECT_GE(server->clientsCreated, 2);
    EXPECT_EQ(server->cancels, server->clientsCreated);
    EXPECT_EQ(server->clientsDestroyed, server->clientsCreated);
    EXPECT_TRUE(ui.progressBar->isHidden());
}

TEST_F(FtpWindowTest, ShowOpenCopiesIntoAPrivateFolderShowsItReadOnlyAndRemovesItAtExit)
{
    server->add("/", "qt.conf", FtpEntry::normalAttribute);
    server->add("/", "start.desktop", FtpEntry::normalAttribute);
    server->fileContents["qt.conf"] = "[Paths]\r\nPrefix=/tmp/x\r\n";
    server->fileContents["start.desktop"] = "[Desktop Entry]\nExec=rm -rf ~\n";
    open();
    window.show();
    ui.connectButton->click();
    for (const QString& line : {QStringLiteral("qt.conf"), QStringLiteral("start.desktop")}) {
        ui.remoteList->setCurrentItem(ui.remoteList->findItems(line, Qt::MatchExactly).front());
        ui.showButton->click();
    }

    const QString folder = text(window.viewerFolder());
    EXPECT_FALSE(folder.startsWith(text(program.path())));
    EXPECT_EQ(std::filesystem::status(folder.toStdString()).permissions(),
              std::filesystem::perms::owner_all);
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/qt.conf")));
    EXPECT_FALSE(test::exists(program.file("qt.conf")));
    EXPECT_FALSE(test::exists(program.file("doorpages/qt.conf")));
    const QList<TextViewer*> viewers = window.findChildren<TextViewer*>();
    ASSERT_EQ(viewers.size(), 2);
    EXPECT_TRUE(viewers.front()->textView().isReadOnly());
    EXPECT_EQ(viewers.back()->textView().toPlainText(),
              QStringLiteral("[Desktop Entry]\nExec=rm -rf ~\n"));

    ui.exitButton->click();
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST_F(FtpWindowTest, EnterOpensAFolderLineAndTheDetailsFollowTheArrowKeys)
{
    server->add("/", "images", FtpEntry::directoryAttribute);
    server->add("/", "index.htm", FtpEntry::normalAttribute, 34234);
    server->add("/images", "bild.gif", FtpEntry::normalAttribute, 7000);
    open();
    window.show();
    ui.connectButton->click();
    ASSERT_EQ(lines(*ui.remoteList), (QStringList{".", "..", "IMAGES", "index.htm"}));
    ui.remoteList->setFocus();
    ui.remoteList->setCurrentRow(0);

    for (int i = 0; i < 3; ++i)
        press(ui.remoteList, Qt::Key_Down);
    EXPECT_EQ(ui.sizeValue->text(), QStringLiteral("34234"));
    EXPECT_EQ(ui.attributesValue->text(), QStringLiteral("N"));
    QAccessibleInterface* size = QAccessible::queryAccessibleInterface(ui.sizeValue);
    EXPECT_EQ(size->text(QAccessible::Name), QStringLiteral("Größe"));
    EXPECT_EQ(size->text(QAccessible::Description), QStringLiteral("34234"))
        << "the value is read with its caption";
    press(ui.remoteList, Qt::Key_Up);
    EXPECT_EQ(ui.attributesValue->text(), QStringLiteral("D"));

    press(ui.remoteList, Qt::Key_Return);
    EXPECT_EQ(ui.remoteFolderLabel->text(), QStringLiteral("ftp.example.test/images/"));
    EXPECT_EQ(lines(*ui.remoteList), (QStringList{".", "..", "bild.gif"}));
    EXPECT_EQ(ui.sizeValue->text(), QString()) << "no line is current in a new listing";

    ui.remoteList->setCurrentRow(1);
    press(ui.remoteList, Qt::Key_Enter);
    EXPECT_EQ(ui.remoteFolderLabel->text(), QStringLiteral("ftp.example.test/"));
    ui.remoteList->setCurrentRow(3);
    press(ui.remoteList, Qt::Key_Return);
    EXPECT_EQ(ui.remoteFolderLabel->text(), QStringLiteral("ftp.example.test/"))
        << "Enter on a file opens nothing";
}

TEST_F(FtpWindowTest, AButtonPressedFromTheKeyboardKeepsTheFocusAfterItsCall)
{
    open();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(waitFor([this] { return window.isActiveWindow(); }));
    ui.connectButton->click();
    ui.refreshButton->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), ui.refreshButton);

    press(ui.refreshButton, Qt::Key_Space);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier);
    QApplication::sendEvent(ui.refreshButton, &release);

    EXPECT_EQ(std::count(server->calls.begin(), server->calls.end(), "find *.*"), 2);
    EXPECT_EQ(QApplication::focusWidget(), ui.refreshButton)
        << "disabled during the call, it takes the focus back afterwards";

    // The user tabs elsewhere while the call runs: the focus is moved and the call goes on.
    ui.makeFolderButton->setFocus();
    std::atomic<bool> moved{false};
    server->onCall = [this, &moved](const std::string& call) {
        if (!call.starts_with("mkd"))
            return;
        QMetaObject::invokeMethod(ui.fileList, [this, &moved] {
            ui.fileList->setFocus();
            moved = true;
        });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!moved && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
    boxes.answers = {QStringLiteral("neu")};
    ui.makeFolderButton->click();
    ASSERT_TRUE(moved);
    EXPECT_EQ(QApplication::focusWidget(), ui.fileList) << "a focus the user moved stays";
}

TEST_F(FtpWindowTest, AKeepAliveDisablesTheButtonsOnlyOnceItTakesLongAndReportsNothing)
{
    open();
    window.show();
    ui.connectButton->click();
    const QString status = ui.statusLabel->text();
    int noopMilliseconds = 0;
    server->onCall = [&noopMilliseconds](const std::string& call) {
        if (call == "noop")
            std::this_thread::sleep_for(std::chrono::milliseconds(noopMilliseconds));
    };
    auto* timer = window.findChild<QTimer*>(QStringLiteral("keepAlive"));
    ASSERT_NE(timer, nullptr);
    ASSERT_TRUE(timer->isActive());
    std::vector<bool> refreshEnabled;
    const auto keepAliveWhileLooking = [&](std::initializer_list<int> lookAt) {
        refreshEnabled.clear();
        for (const int milliseconds : lookAt)
            QTimer::singleShot(milliseconds, &window,
                               [&] { refreshEnabled.push_back(ui.refreshButton->isEnabled()); });
        QMetaObject::invokeMethod(timer, "timeout");
    };

    noopMilliseconds = 1500;
    keepAliveWhileLooking({50, 1000});
    EXPECT_EQ(refreshEnabled, (std::vector<bool>{true, false}))
        << "enabled at first, disabled once the keep-alive takes long";
    EXPECT_TRUE(ui.refreshButton->isEnabled()) << "and enabled again after it";

    noopMilliseconds = 0;
    keepAliveWhileLooking({});
    EXPECT_EQ(std::count(server->calls.begin(), server->calls.end(), "noop"), 2);
    EXPECT_EQ(ui.statusLabel->text(), status);
    EXPECT_TRUE(ui.refreshButton->isEnabled());
}

TEST_F(FtpWindowTest, TheTransferTypeIsWhatTheOptionsShowHoweverTheyWereChanged)
{
    server->add("/", "a.bin", FtpEntry::normalAttribute);
    open();
    ui.connectButton->click();
    const auto typeOfDownload = [this] {
        std::filesystem::remove(program.file("doorpages/a.bin"));
        server->calls.clear();
        ui.remoteList->setCurrentRow(2);
        ui.downloadButton->click();
        for (const std::string& call : server->calls) {
            if (call.starts_with("get a.bin "))
                return call.substr(10);
        }
        return std::string("none");
    };

    act(ui.binaryOption, QAccessibleActionInterface::toggleAction());
    ASSERT_TRUE(ui.binaryOption->isChecked());
    EXPECT_EQ(typeOfDownload(), "binary") << "a screen reader's toggle";

    act(ui.asciiOption, QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(waitFor([this] { return ui.asciiOption->isChecked(); }));
    EXPECT_EQ(typeOfDownload(), "ascii") << "a screen reader's press";

    ui.binaryOption->setChecked(true);
    EXPECT_EQ(typeOfDownload(), "binary") << "set by the program";

    // Passive mode is fixed: the action changes nothing, and the connection uses what it shows.
    act(ui.passiveCheck, QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(ui.passiveCheck->isChecked());
    ui.disconnectButton->click();
    ui.connectButton->click();
    EXPECT_EQ(server->lastPassive, ui.passiveCheck->isChecked());
}

TEST_F(FtpWindowTest, SecurityStaysBesideTheStatusWhileConnectedAndDetailsGoWithTheirFile)
{
    server->add("/", "alt.htm", FtpEntry::normalAttribute, 34234);
    server->fileContents["alt.htm"] = "alt";
    server->notices = {"Verbindung verschl\xFCsselt (TLS 1.3)"};
    open();
    ui.connectButton->click();
    const QString secured = QStringLiteral("Verbindung verschlüsselt (TLS 1.3)");
    EXPECT_EQ(ui.securityLabel->text(), secured);
    EXPECT_EQ(ui.securityLabel->objectName(), QStringLiteral("lblSicherheit"));
    ui.refreshButton->click();
    EXPECT_EQ(ui.statusLabel->text(), QStringLiteral("Ok"));
    EXPECT_EQ(ui.securityLabel->text(), secured);
    // Named by what they are, the labels give screen readers their text as description.
    for (QLabel* label : {ui.statusLabel, ui.securityLabel}) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(label);
        EXPECT_EQ(face->text(QAccessible::Description), label->text());
    }

    ui.remoteList->setCurrentRow(2);
    ui.showButton->click();
    EXPECT_TRUE(ui.progressBar->isHidden()) << "SHOW/OPEN leaves no bytes on the bar";
    EXPECT_EQ(ui.sizeValue->text(), QStringLiteral("34234"));
    ui.deleteButton->click();
    EXPECT_EQ(ui.sizeValue->text(), QString());

    ui.remoteList->setCurrentRow(2);
    EXPECT_EQ(ui.sizeValue->text(), QStringLiteral("34234"));
    ui.disconnectButton->click();
    EXPECT_EQ(ui.sizeValue->text(), QString());
    EXPECT_EQ(ui.securityLabel->text(), QString());
}

TEST_F(FtpWindowTest, EscapeKeepsTheWindowOpenEnterConnectsFromThePasswordAndRefreshesFromTheFilter)
{
    open();
    window.show();

    press(ui.serverEdit, Qt::Key_Escape);
    press(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());

    press(ui.userEdit, Qt::Key_Return);
    EXPECT_TRUE(server->calls.empty()) << "Enter in other fields presses no button";
    press(ui.passwordEdit, Qt::Key_Return);
    EXPECT_TRUE(ui.disconnectButton->isEnabled());

    server->calls.clear();
    press(ui.filterEdit, Qt::Key_Enter);
    EXPECT_EQ(std::count(server->calls.begin(), server->calls.end(), "find *.*"), 1);
    press(ui.passwordEdit, Qt::Key_Return);
    EXPECT_EQ(server->clientsCreated, 1) << "connected already: nothing happens";

    for (const char* scheme : {"ftp://", "ftpes://", "ftps://", "sftp://", ":Port"})
        EXPECT_TRUE(ui.serverEdit->toolTip().contains(QString::fromLatin1(scheme))) << scheme;
}

TEST_F(FtpWindowTest, ProgressBarShowsTheFilesAndTheBytesOfTheCurrentFileFromTheWorkerThread)
{
    open();
    window.showProgress(1, 3);
    EXPECT_EQ(ui.progressBar->format(), QStringLiteral("1 von 3 Dateien"));

    std::thread worker([this] { window.showFileProgress(512 * 1024, 1024 * 1024); });
    worker.join();
    QCoreApplication::processEvents();

    EXPECT_FALSE(ui.progressBar->isHidden());
    EXPECT_EQ(ui.progressBar->format(), QStringLiteral("1 von 3 Dateien - 512 von 1024 KB"));
    EXPECT_EQ(ui.progressBar->value() * 2, ui.progressBar->maximum()) << "one and a half of three";

    window.showFileProgress(0, 0);
    window.showProgress(0, 0);
    EXPECT_TRUE(ui.progressBar->isHidden());
}

// A run on several connections reports from their threads; the bar follows the bytes of the
// whole run, and an update that arrives after the run has ended changes nothing.
TEST_F(FtpWindowTest, ProgressOfARunOnSeveralConnectionsCountsItsFilesAndAllItsBytes)
{
    open();
    ui.statusLabel->setText(QStringLiteral("vorher"));
    std::vector<std::thread> connections;
    for (int i = 0; i < 3; ++i)
        connections.emplace_back([this] { window.showRunStatus("Verbindung unterbrochen"); });
    for (std::thread& connection : connections)
        connection.join();
    std::thread last([this] { window.showRunProgress(1, 10, 3 * 1024 * 1024, 4 * 1024 * 1024); });
    last.join();
    QCoreApplication::processEvents();

    EXPECT_FALSE(ui.progressBar->isHidden());
    EXPECT_EQ(ui.progressBar->format(), QStringLiteral("1 von 10 Dateien - 3072 von 4096 KB"));
    EXPECT_EQ(ui.progressBar->value(), ui.progressBar->maximum() / 4 * 3)
        << "three quarters of the bytes, though one file of ten is done";
    EXPECT_EQ(ui.statusLabel->text(), QStringLiteral("Verbindung unterbrochen"));

    std::thread late([this] {
        window.showRunProgress(2, 10, 4 * 1024 * 1024, 4 * 1024 * 1024);
        window.showRunStatus("zu spät");
    });
    late.join();
    window.showRunProgress(0, 0, 0, 0);
    window.showRunStatus("");
    window.setStatus("Ok");
    QCoreApplication::processEvents();
    EXPECT_TRUE(ui.progressBar->isHidden());
    EXPECT_EQ(ui.statusLabel->text(), QStringLiteral("Ok"));
}

class PaintCounter final : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

TEST(FtpWindowCallTest, WindowRepaintsWhileACallRunsAndOnlyDisconnectActsAndCancelsIt)
{
    test::qtTestApplication();
    test::TempDir program;
    test::FakeMessageBoxes boxes;
    // A server that takes the login but never answers it, until the call is cancelled; bounded,
    // so a window that blocked on the call fails the test instead of hanging it.
    const auto server = std::make_shared<FakeFtpServer>();
    server->onCall = [&server](const std::string& call) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (call.starts_with("connect") && server->cancels == 0 &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
    FtpWindow window{boxes, [&server] { return std::make_unique<FakeFtpClient>(server); },
                     text(program.path())};
    FtpWindowUi& ui = window.ui();
    window.prepareOpening();
    ui.serverEdit->setText(QStringLiteral("127.0.0.1:9"));
    window.show();
    PaintCounter counter;
    ui.statusLabel->installEventFilter(&counter);

    int paintsBefore = -1;
    int paintsAfter = -1;
    bool busyPointer = false;
    bool disconnectEnabled = false;
    std::vector<bool> enabledDuringCall;
    QTimer::singleShot(50, &window, [&] {
        paintsBefore = counter.paints;
        ui.statusLabel->update();
        busyPointer = QApplication::overrideCursor() &&
                      QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    });
    QTimer::singleShot(300, &window, [&] {
        paintsAfter = counter.paints;
        for (QWidget* control : std::initializer_list<QWidget*>{
                 ui.connectButton, ui.refreshButton, ui.showButton, ui.deleteButton,
                 ui.renameButton, ui.makeFolderButton, ui.uploadButton, ui.downloadButton})
            enabledDuringCall.push_back(control->isEnabled());
        ui.connectButton->click();
        ui.refreshButton->click();
        disconnectEnabled = ui.disconnectButton->isEnabled() && ui.exitButton->isEnabled();
        ui.disconnectButton->click();
    });
    QElapsedTimer clock;
    clock.start();
    ui.connectButton->click();

    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_GT(paintsAfter, paintsBefore) << "the label repainted during the call";
    EXPECT_TRUE(busyPointer);
    EXPECT_TRUE(disconnectEnabled) << "DISCONNECT cancels a connect attempt";
    EXPECT_EQ(enabledDuringCall, std::vector<bool>(8, false)) << "the buttons that do nothing";
    EXPECT_EQ(server->clientsCreated, 1) << "a second CONNECT during the attempt does nothing";
    EXPECT_EQ(ui.statusLabel->text(), QStringLiteral("Abgebrochen - Verbindung getrennt"));
    EXPECT_TRUE(ui.connectButton->isEnabled());
    EXPECT_FALSE(ui.disconnectButton->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace vantiro
