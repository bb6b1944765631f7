#include "WindowTestSupport.h"
#include "platform/CurlFtpClient.h"
#include "platform/HostTrust.h"
#include "platform/SchemeFtpClient.h"
#include "qt/ftp/FileList.h"
#include "qt/ftp/FtpWindow.h"
#include "support/FakeMessageBoxes.h"
#include "support/FtpTestServer.h"
#include "support/SftpTestServer.h"
#include "support/TempDir.h"
#include "support/TlsFtpTestServer.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace vantiro {
namespace {

using test::lines;
using test::text;

class FtpWindowServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::qtTestApplication(); }

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

    void connect() { connectTo(server); }

    void connectTo(const test::FtpTestServer& to)
    {
        window.prepareOpening();
        ui.serverEdit->setText(text(to.address()));
        ui.userEdit->setText(text(to.user()));
        ui.passwordEdit->setText(text(to.password()));
        ui.connectButton->click();
        expectNoPasswordInStatus();
    }

    void doubleClick(const QString& line)
    {
        const QList<QListWidgetItem*> found = ui.remoteList->findItems(line, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << line.toStdString();
        ui.remoteList->setCurrentItem(found.front());
        emit ui.remoteList->itemDoubleClicked(found.front());
        expectNoPasswordInStatus();
    }

    void expectNoPasswordInStatus() const
    {
        EXPECT_FALSE(ui.statusLabel->text().contains(text(server.password())));
    }

    QString top() const { return text(server.address()) + QStringLiteral("/"); }

    // Clicks DISCONNECT as soon as the status line shows text, while the call runs.
    void disconnectWhenStatusShows(const QString& status)
    {
        disconnectWhen([this, status] { return ui.statusLabel->text() == status; });
    }

    // Once the run's status begins so and bytes are moving.
    void disconnectDuringTransfer(const QString& status)
    {
        disconnectWhen([this, status] {
            return ui.statusLabel->text().startsWith(status) &&
                   ui.progressBar->format().contains(QStringLiteral(" KB")) &&
                   ui.progressBar->value() > 0;
        });
    }

    void disconnectWhen(const std::function<bool()>& due)
    {
        auto* poll = new QTimer(&window);
        QObject::connect(poll, &QTimer::timeout, &window, [this, poll, due] {
            if (!due())
                return;
            poll->stop();
            poll->deleteLater();
            ui.disconnectButton->click();
        });
        poll->start(1);
    }

    // Names and sizes of the plain files of a folder.
    static std::map<std::string, std::uintmax_t> files(const std::string& folder)
    {
        std::map<std::string, std::uintmax_t> result;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.is_regular_file())
                result[entry.path().filename().string()] = entry.file_size();
        }
        return result;
    }

    static constexpr std::size_t bigSize = 48 * 1024 * 1024;

    test::FtpTestServer server;
    test::TempDir program;
    test::FakeMessageBoxes boxes;
    FtpWindow window{boxes, [] { return std::make_unique<CurlFtpClient>(); }, text(program.path())};
    FtpWindowUi& ui = window.ui();
};

TEST_F(FtpWindowServerTest, ListsWalksIntoAFolderAndBackUploadsTwoFilesAndDisconnects)
{
    connect();
    ASSERT_TRUE(ui.disconnectButton->isEnabled()) << server.log();
    EXPECT_EQ(ui.remoteFolderLabel->text(), top());
    EXPECT_EQ(lines(*ui.remoteList),
              (QStringList{QStringLiteral("."), QStringLiteral(".."), QStringLiteral("UNTER"),
                           QStringLiteral("index.htm")}));

    doubleClick(QStringLiteral("UNTER"));
    EXPECT_EQ(ui.remoteFolderLabel->text(), top() + QStringLiteral("unter/"));
    EXPECT_EQ(lines(*ui.remoteList), (QStringList{QStringLiteral("."), QStringLiteral(".."),
                                                  QStringLiteral("seite.htm")}));
    doubleClick(QStringLiteral(".."));
    EXPECT_EQ(ui.remoteFolderLabel->text(), top());
    EXPECT_TRUE(lines(*ui.remoteList).contains(QStringLiteral("UNTER")));

    for (const QString& name : {QStringLiteral("eins.htm"), QStringLiteral("zwei.htm")})
        ui.fileList->findItems(name, Qt::MatchExactly).front()->setSelected(true);
    ui.binaryOption->click();
    ui.uploadButton->click();

    EXPECT_TRUE(boxes.messages.size() == 1) << "only the disclaimer";
    EXPECT_EQ(test::readFile(server.root() + "/eins.htm"), "eins\r\n");
    EXPECT_EQ(test::readFile(server.root() + "/zwei.htm"), "zwei\r\n");
    EXPECT_FALSE(test::exists(server.root() + "/drei.htm"));
    EXPECT_EQ(lines(*ui.remoteList),
              (QStringList{QStringLiteral("."), QStringLiteral(".."), QStringLiteral("UNTER"),
                           QStringLiteral("eins.htm"), QStringLiteral("index.htm"),
                           QStringLiteral("zwei.htm")}));
    expectNoPasswordInStatus();

    ui.disconnectButton->click();
    EXPECT_EQ(ui.remoteList->count(), 0);
    EXPECT_EQ(ui.remoteFolderLabel->text(), QString());
    EXPECT_TRUE(ui.connectButton->isEnabled());
    EXPECT_FALSE(ui.uploadButton->isEnabled());
}

TEST_F(FtpWindowServerTest, ServerThatGoesAwayLeavesTheWindowDisconnected)
{
    connect();
    ASSERT_TRUE(ui.disconnectButton->isEnabled()) << server.log();

    server.stop();
    ui.refreshButton->click();

    EXPECT_TRUE(
        ui.statusLabel->text().startsWith(QStringLiteral("Verbindung zum Server unterbrochen")))
        << ui.statusLabel->text().toStdString();
    EXPECT_TRUE(ui.connectButton->isEnabled());
    EXPECT_FALSE(ui.refreshButton->isEnabled());
    EXPECT_EQ(ui.remoteList->count(), 0);
    EXPECT_EQ(boxes.messages.size(), 1U) << "no folder message after the disclaimer";
}

TEST_F(FtpWindowServerTest, DisconnectDuringAnUploadStopsEveryConnectionAndLeavesNoPartialFile)
{
    const std::string big(bigSize, 'x');
    for (const char* name : {"gross1.bin", "gross2.bin", "gross3.bin"})
        test::writeFile(program.file(std::string("doorpages/") + name), big);
    connect();
    ASSERT_TRUE(ui.disconnectButton->isEnabled()) << server.log();
    ui.fileList->refresh();
    for (const QString& name :
         {QStringLiteral("gross1.bin"), QStringLiteral("gross2.bin"), QStringLiteral("gross3.bin")})
        ui.fileList->findItems(name, Qt::MatchExactly).front()->setSelected(true);
    ui.binaryOption->click();
    disconnectDuringTransfer(QStringLiteral("Übertrage "));

    ui.uploadButton->click();

    EXPECT_EQ(ui.statusLabel->text(), QStringLiteral("Abgebrochen - Verbindung getrennt"));
    EXPECT_TRUE(ui.connectButton->isEnabled());
    EXPECT_TRUE(ui.progressBar->isHidden());
    // The server may still be busy with the DELE of the cancelled file; on a loaded machine
    // that takes a while, so wait for it instead of guessing how long.
    const auto partial = [this] {
        for (const auto& [name, size] : files(server.root()))
            if (name.starts_with("gross") && size != bigSize)
                return true;
        return false;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (partial() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto arrived = files(server.root());
    EXPECT_LT(arrived.size(), 4U) << "not every file was sent";
    for (const auto& [name, size] : arrived) {
        if (name.starts_with("gross")) {
            EXPECT_EQ(size, bigSize) << name << " arrived only in part";
        }
    }
    EXPECT_EQ(boxes.messages.size(), 1U) << "a cancelled file is no transfer error";
}

TEST_F(FtpWindowServerTest, DisconnectDuringADownloadStopsEveryConnectionAndLeavesNoPartialFile)
{
    const std::string big(bigSize, 'y');
    test::writeFile(server.root() + "/gross1.bin", big);
    test::writeFile(server.root() + "/gross2.bin", big);
    const auto before = files(program.file("doorpages"));
    connect();
    ASSERT_TRUE(ui.disconnectButton->isEnabled()) << server.log();
    ui.binaryOption->click();
    for (const QString& name : {QStringLiteral("gross1.bin"), QStringLiteral("gross2.bin")}) {
        QListWidgetItem* item = ui.remoteList->findItems(name, Qt::MatchExactly).front();
        item->setSelected(true);
        ui.remoteList->setCurrentItem(item, QItemSelectionModel::Select);
    }
    disconnectDuringTransfer(QStringLiteral("Lade "));

    ui.downloadButton->click();

    EXPECT_EQ(ui.statusLabel->text(), QStringLiteral("Abgebrochen - Verbindung getrennt"));
    auto after = files(program.file("doorpages"));
    EXPECT_LT(after.size(), before.size() + 2) << "not every file was fetched";
    for (const auto& [name, size] : before)
        after.erase(name);
    for (const auto& [name, size] : after) {
        EXPECT_TRUE(name == "gross1.bin" || name == "gross2.bin") << name << " left behind";
        EXPECT_EQ(size, bigSize) << name << " fetched only in part";
    }
}

// Names of the commands the server received since its log was as long as from.
std::map<std::string, int> commandsSince(const std::string& log, std::size_t from)
{
    std::map<std::string, int> counts;
    const std::string marker = "command ";
    for (std::size_t at = log.find(marker, from); at != std::string::npos;
         at = log.find(marker, at + 1)) {
        const std::size_t end = log.find('\n', at);
        ++counts[log.substr(at + marker.size(), end - at - marker.size())];
    }
    return counts;
}

TEST_F(FtpWindowServerTest, UploadOnFourConnectionsSendsEachFileWithNoFolderChangeOfItsOwn)
{
    test::FtpTestServer counting(test::FtpTestServer::Options{.recordCommands = true});
    std::filesystem::create_directories(counting.root() + "/ziel");
    constexpr int pages = 40;
    for (int i = 0; i < pages; ++i)
        test::writeFile(program.file("doorpages/p" + std::to_string(i) + ".htm"),
                        "Seite " + std::to_string(i) + "\r\n");
    connectTo(counting);
    ASSERT_TRUE(ui.disconnectButton->isEnabled()) << counting.log();
    doubleClick(QStringLiteral("ZIEL"));
    ui.fileList->refresh();
    ui.fileList->selectAll();
    const int selected = static_cast<int>(ui.fileList->selectedItems().size());
    ASSERT_EQ(selected, pages + 3);
    ui.binaryOption->click();
    const std::size_t before = counting.log().size();

    ui.uploadButton->click();

    const std::string log = counting.log();
    const std::map<std::string, int> commands = commandsSince(log, before);
    const auto count = [&](const std::string& name) {
        return commands.contains(name) ? commands.at(name) : 0;
    };
    for (int i = 0; i < pages; ++i)
        EXPECT_EQ(test::readFile(counting.root() + "/ziel/p" + std::to_string(i) + ".htm"),
                  "Seite " + std::to_string(i) + "\r\n");
    EXPECT_EQ(count("STOR"), selected);
    EXPECT_EQ(count("PASS"), 3) << "three further connections";
    // The folder is entered once, to read it again at the end; the files go by full path.
    EXPECT_EQ(count("CWD"), 1) << log.substr(before);
    // Per file a data connection and its STOR; the rest is the logins and the final listing.
    int perRun = 0;
    for (const auto& [name, times] : commands) {
        if (name != "STOR" && name != "EPSV" && name != "PASV")
            perRun += times;
    }
    EXPECT_EQ(count("EPSV") + count("PASV"), selected + 1) << "one more for the listing";
    EXPECT_LE(perRun, 40) << log.substr(before);
    EXPECT_EQ(lines(*ui.remoteList).size(), selected + 2);
    EXPECT_TRUE(ui.progressBar->isHidden());
    EXPECT_EQ(boxes.messages.size(), 1U) << "only the disclaimer";
}

TEST_F(FtpWindowServerTest, FurtherConnectionsTheServerRefusesAreDroppedWithOneNote)
{
    for (int i = 0; i < 12; ++i)
        test::writeFile(program.file("doorpages/p" + std::to_string(i) + ".htm"), "x\r\n");
    // A login refused with 530 as pure-ftpd and proftpd do, and a connection turned away with 421.
    for (const bool refuseLogin : {true, false}) {
        test::FtpTestServer::Options options;
        (refuseLogin ? options.loginLimit : options.connectionLimit) = 2;
        test::FtpTestServer limited(options);
        connectTo(limited);
        ASSERT_TRUE(ui.disconnectButton->isEnabled()) << limited.log();
        ui.fileList->refresh();
        ui.fileList->selectAll();

        ui.uploadButton->click();

        for (int i = 0; i < 12; ++i)
            EXPECT_TRUE(test::exists(limited.root() + "/p" + std::to_string(i) + ".htm")) << i;
        const QString status = ui.statusLabel->text();
        EXPECT_EQ(status.count(QStringLiteral("Der Server hat")), 1) << status.toStdString();
        EXPECT_TRUE(status.endsWith(QStringLiteral("); es geht mit 2 Verbindungen weiter")))
            << status.toStdString();
        EXPECT_TRUE(status.contains(refuseLogin
                                        ? QStringLiteral(" - Der Server hat 2 von 4 Verbindungen "
                                                         "abgelehnt (530 Sorry, the maximum "
                                                         "number of clients (2) is reached)")
                                        : QStringLiteral(" - Der Server hat 2 von 4 Verbindungen "
                                                         "abgelehnt (421")))
            << status.toStdString();
        EXPECT_TRUE(ui.disconnectButton->isEnabled());
        ui.disconnectButton->click();
    }
    EXPECT_EQ(boxes.messages.size(), 2U) << "only the disclaimers";
}

TEST_F(FtpWindowServerTest, DownloadOnSeveralConnectionsFetchesEachFileByItsFullPath)
{
    test::FtpTestServer counting(test::FtpTestServer::Options{.recordCommands = true});
    std::filesystem::create_directories(counting.root() + "/unter");
    for (int i = 0; i < 6; ++i)
        test::writeFile(counting.root() + "/unter/h" + std::to_string(i) + ".htm",
                        "geholt " + std::to_string(i));
    connectTo(counting);
    ASSERT_TRUE(ui.disconnectButton->isEnabled()) << counting.log();
    doubleClick(QStringLiteral("UNTER"));
    for (int i = 0; i < 6; ++i) {
        QListWidgetItem* item =
            ui.remoteList->findItems(text("h" + std::to_string(i) + ".htm"), Qt::MatchExactly)
                .front();
        item->setSelected(true);
        ui.remoteList->setCurrentItem(item, QItemSelectionModel::Select);
    }
    const std::size_t before = counting.log().size();

    ui.downloadButton->click();

    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(test::readFile(program.file("doorpages/h" + std::to_string(i) + ".htm")),
                  "geholt " + std::to_string(i));
    const std::map<std::string, int> commands = commandsSince(counting.log(), before);
    EXPECT_EQ(commands.at("RETR"), 6);
    EXPECT_FALSE(commands.contains("CWD")) << counting.log().substr(before);
    EXPECT_EQ(commands.at("PASS"), 3);
    EXPECT_TRUE(ui.fileList->findItems(QStringLiteral("h5.htm"), Qt::MatchExactly).size() == 1)
        << "the local list shows the fetched files";
    EXPECT_EQ(boxes.messages.size(), 1U) << "only the disclaimer";
}

// The further connections are encrypted as the window's own is, trusting the same key.
TEST_F(FtpWindowServerTest, UploadOnSeveralConnectionsWorksOverFtpesAndSftp)
{
    for (int i = 0; i < 8; ++i)
        test::writeFile(program.file("doorpages/p" + std::to_string(i) + ".htm"),
                        "Seite " + std::to_string(i) + "\r\n");
    test::TlsFtpTestServer tls;
    test::SftpTestServer sftp;
    struct Target {
        std::string address;
        std::string user;
        std::string password;
        std::string root;
        std::string fingerprint;
        QString security;
    };
    for (const Target& target :
         {Target{tls.address("ftpes://"), tls.user(), tls.password(), tls.root(), tls.fingerprint(),
                 QStringLiteral("Verbindung verschlüsselt (TLS")},
          Target{sftp.address(), sftp.user(), sftp.password(), sftp.root(), sftp.fingerprint(),
                 QStringLiteral("Verbindung verschlüsselt (SSH")}}) {
        HostTrust::Settings settings;
        settings.pinnedFingerprint = target.fingerprint;
        const auto trust = std::make_shared<HostTrust>(settings);
        FtpWindow secure{boxes, [trust] { return std::make_unique<SchemeFtpClient>(trust); },
                         text(program.path())};
        FtpWindowUi& parts = secure.ui();
        secure.prepareOpening();
        parts.serverEdit->setText(text(target.address));
        parts.userEdit->setText(text(target.user));
        parts.passwordEdit->setText(text(target.password));
        parts.connectButton->click();
        ASSERT_TRUE(parts.disconnectButton->isEnabled())
            << target.address << ": " << parts.statusLabel->text().toStdString();
        parts.fileList->refresh();
        parts.fileList->selectAll();
        const auto selected = parts.fileList->selectedItems().size();
        parts.binaryOption->click();

        parts.uploadButton->click();

        EXPECT_TRUE(parts.securityLabel->text().startsWith(target.security))
            << parts.securityLabel->text().toStdString();
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(test::readFile(target.root + "/p" + std::to_string(i) + ".htm"),
                      "Seite " + std::to_string(i) + "\r\n")
                << target.address;
        EXPECT_EQ(files(target.root).size(), static_cast<std::size_t>(selected)) << target.address;
        EXPECT_TRUE(parts.disconnectButton->isEnabled()) << target.address;
        parts.disconnectButton->click();
    }
    EXPECT_EQ(boxes.messages.size(), 2U) << "only the disclaimers";
    const std::string commands = tls.commands();
    std::size_t logins = 0;
    for (std::size_t at = commands.find("PASS"); at != std::string::npos;
         at = commands.find("PASS", at + 1))
        ++logins;
    EXPECT_EQ(logins, 4U) << "the window's connection and three further ones";
}

// A listening socket that never answers: the kernel completes the connection, the server never
// sends its greeting.
class SilentServer final {
public:
    SilentServer() : socket_(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(socket_, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(socket_, 4);
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~SilentServer() { ::close(socket_); }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    int socket_;
    int port_ = 0;
};

TEST_F(FtpWindowServerTest, DisconnectCancelsAConnectToASilentServerAtOnce)
{
    SilentServer silent;
    window.prepareOpening();
    ui.serverEdit->setText(text(silent.address()));
    ui.userEdit->setText(QStringLiteral("anna"));
    disconnectWhenStatusShows(QStringLiteral("Verbinde..."));

    const auto start = std::chrono::steady_clock::now();
    ui.connectButton->click();

    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(ui.statusLabel->text(), QStringLiteral("Abgebrochen - Verbindung getrennt"));
    EXPECT_TRUE(ui.connectButton->isEnabled());
}

TEST_F(FtpWindowServerTest, AFailedConnectNamesItsCauseAfterTheFixedWords)
{
    const auto statusAfterConnect = [this](FtpWindow& to, const std::string& address,
                                           const QString& password) {
        to.prepareOpening();
        to.ui().serverEdit->setText(text(address));
        to.ui().userEdit->setText(text(server.user()));
        to.ui().passwordEdit->setText(password);
        to.ui().connectButton->click();
        EXPECT_TRUE(to.ui().connectButton->isEnabled());
        return to.ui().statusLabel->text();
    };
    const QString fixed = QStringLiteral("Fehler beim Verbindungsaufbau - ");

    EXPECT_TRUE(statusAfterConnect(window, server.address(), QStringLiteral("falsch"))
                    .startsWith(fixed + QStringLiteral("530 ")))
        << ui.statusLabel->text().toStdString();
    const std::string closed = "127.0.0.1:" + std::to_string(test::ServerProcess::freePort());
    EXPECT_EQ(statusAfterConnect(window, closed, text(server.password())),
              fixed + QStringLiteral("Verbindung abgelehnt"));
    EXPECT_EQ(statusAfterConnect(window, "ftpes://" + server.address(), text(server.password())),
              fixed + QStringLiteral("Server bietet keine Verschlüsselung an"));

    SilentServer silent;
    FtpWindow impatient{boxes,
                        [] {
                            auto client = std::make_unique<CurlFtpClient>();
                            CurlFtpClient::Limits limits;
                            limits.stallTime = std::chrono::milliseconds(300);
                            client->setLimits(limits);
                            return client;
                        },
                        text(program.path())};
    EXPECT_EQ(statusAfterConnect(impatient, silent.address(), QStringLiteral("x")),
              fixed + QStringLiteral("keine Antwort vom Server"));
}

} // namespace
} // namespace vantiro
