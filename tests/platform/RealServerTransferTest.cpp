#include "platform/CurlFtpClient.h"
#include "platform/HostTrust.h"
#include "support/RealFtpServer.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace vantiro {
namespace {

using test::RealFtpServer;
using test::TempDir;
using Kind = RealFtpServer::Kind;

std::shared_ptr<HostTrust> pinned(const std::string& fingerprint)
{
    HostTrust::Settings settings;
    settings.pinnedFingerprint = fingerprint;
    return std::make_shared<HostTrust>(settings);
}

// Small pages that differ from each other, as a generated site has them.
std::string pageContent(int number)
{
    std::string content = "<html><body>Seite " + std::to_string(number) + "\r\n";
    for (int line = 0; line < number % 17; ++line)
        content += "Zeile " + std::to_string(line * number) + "\r\n";
    return content + "</body></html>\r\n";
}

void connectTo(CurlFtpClient& client, const RealFtpServer& server, const std::string& scheme)
{
    if (!server.fingerprint().empty())
        client.setHostTrust(pinned(server.fingerprint()));
    ASSERT_TRUE(client.connect(server.address(scheme), server.user(), server.password(), true))
        << client.lastResponse().code << " " << client.lastResponse().text << "\n"
        << server.log();
    ASSERT_TRUE(client.setCurrentDirectory(server.remoteFolder())) << client.lastResponse().text;
}

struct ServerCase {
    Kind kind;
    const char* scheme;
    const char* name;
};

class RealServerUploadTest : public ::testing::TestWithParam<ServerCase> {};

// vsftpd and proftpd require the data connection to resume the control connection's TLS
// session; every file of a run must arrive, not only those where resumption happened to work.
TEST_P(RealServerUploadTest, EveryOneOf201FilesArrivesByteIdenticalOnOneConnection)
{
    const ServerCase& param = GetParam();
    const std::string missing = RealFtpServer::unavailable(param.kind);
    if (!missing.empty())
        GTEST_SKIP() << missing;
    RealFtpServer server(param.kind);
    CurlFtpClient client;
    connectTo(client, server, param.scheme);

    TempDir local;
    int failed = 0;
    std::string firstFailure;
    for (int number = 0; number < 201; ++number) {
        const std::string name = "seite_" + std::to_string(number) + ".htm";
        test::writeFile(local.file(name), pageContent(number));
        if (!client.putFile(local.file(name), name, TransferType::Binary) && failed++ == 0)
            firstFailure =
                std::to_string(client.lastResponse().code) + " " + client.lastResponse().text;
    }
    EXPECT_EQ(failed, 0) << firstFailure;
    for (int number = 0; number < 201; ++number) {
        const std::string name = "seite_" + std::to_string(number) + ".htm";
        ASSERT_EQ(test::readFile(server.localFolder() + "/" + name), pageContent(number)) << name;
    }

    // Data connections the other way resume the session as well.
    ASSERT_TRUE(
        client.getFile("seite_200.htm", local.file("zurueck.htm"), true, TransferType::Binary))
        << client.lastResponse().text;
    EXPECT_EQ(test::readFile(local.file("zurueck.htm")), pageContent(200));
    std::vector<FtpEntry> entries;
    ASSERT_TRUE(client.findFiles("*.htm", entries)) << client.lastResponse().text;
    EXPECT_EQ(entries.size(), 201u);
}

INSTANTIATE_TEST_SUITE_P(
    HostServers, RealServerUploadTest,
    ::testing::Values(ServerCase{Kind::Vsftpd, "ftp", "vsftpd_plain"},
                      ServerCase{Kind::VsftpdTls, "ftpes", "vsftpd_ftpes"},
                      ServerCase{Kind::VsftpdImplicitTls, "ftps", "vsftpd_ftps"},
                      ServerCase{Kind::ProftpdTls, "ftpes", "proftpd_ftpes"},
                      ServerCase{Kind::PureFtpdTls, "ftpes", "pureftpd_ftpes"}),
    [](const ::testing::TestParamInfo<ServerCase>& info) { return std::string(info.param.name); });

// A desktop's proxy variables are meant for its browser; the program connects directly.
TEST(RealServerProxyTest, ProxyVariablesOfTheEnvironmentAreIgnored)
{
    const std::string missing = RealFtpServer::unavailable(Kind::Vsftpd);
    if (!missing.empty())
        GTEST_SKIP() << missing;
    RealFtpServer server(Kind::Vsftpd);
    const std::string dead = "http://127.0.0.1:" + std::to_string(test::ServerProcess::freePort());
    const test::ScopedEnvironment environment{
        {"ftp_proxy", dead}, {"FTP_PROXY", dead}, {"all_proxy", dead}, {"ALL_PROXY", dead}};
    CurlFtpClient client;
    connectTo(client, server, "ftp");
    TempDir local;
    test::writeFile(local.file("seite.htm"), pageContent(7));
    ASSERT_TRUE(client.putFile(local.file("seite.htm"), "seite.htm", TransferType::Binary))
        << client.lastResponse().text;
    EXPECT_EQ(test::readFile(server.localFolder() + "/seite.htm"), pageContent(7));
}

// vsftpd without TLS answers AUTH TLS with "530 Please login with USER and PASS.", which would
// send the user looking for a wrong password.
TEST(RealServerTlsRefusalTest, FtpesToAServerWithoutTlsSaysThatItOffersNoEncryption)
{
    const std::string missing = RealFtpServer::unavailable(Kind::Vsftpd);
    if (!missing.empty())
        GTEST_SKIP() << missing;
    RealFtpServer server(Kind::Vsftpd);
    CurlFtpClient client;
    ASSERT_FALSE(client.connect(server.address("ftpes"), server.user(), server.password(), true));
    EXPECT_EQ(client.lastResponse().code, CurlFtpClient::transportErrorBase + 64);
    EXPECT_TRUE(
        client.lastResponse().text.starts_with("Der Server bietet keine Verschl\xFCsselung an"))
        << client.lastResponse().text;
}

class RealServerBrokenUploadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string missing = RealFtpServer::unavailable(Kind::VsftpdTls);
        if (!missing.empty())
            GTEST_SKIP() << missing;
        server = std::make_unique<RealFtpServer>(Kind::VsftpdTls);
        test::writeFile(local.file("gross.bin"), std::string(64 * 1024 * 1024, 'x'));
    }

    // Starts the upload of a large file and returns once part of it is on the server.
    std::thread startUpload(CurlFtpClient& client, bool& sent)
    {
        // Slowed down, so that the server is still receiving when the test breaks in.
        client.setProgress([](std::uint64_t, std::uint64_t) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        });
        std::thread upload([&] {
            sent = client.putFile(local.file("gross.bin"), "gross.bin", TransferType::Binary);
        });
        const std::string target = server->localFolder() + "/gross.bin";
        for (int wait = 0; wait < 500; ++wait) {
            std::error_code error;
            if (std::filesystem::file_size(target, error) > 0 && !error)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return upload;
    }

    std::unique_ptr<RealFtpServer> server;
    TempDir local;
};

// A half file on the server would pass for the page: it is removed once the connection is back.
TEST_F(RealServerBrokenUploadTest, UploadCutByARestartLeavesNoPartialFile)
{
    CurlFtpClient client;
    connectTo(client, *server, "ftpes");
    bool sent = true;
    std::thread upload = startUpload(client, sent);
    server->restart();
    upload.join();
    EXPECT_FALSE(sent);
    // The upload may have ended while the server was still down; the next call removes it.
    std::vector<FtpEntry> entries;
    ASSERT_TRUE(client.findFiles("*", entries)) << client.lastResponse().text;
    EXPECT_FALSE(test::exists(server->localFolder() + "/gross.bin"));
}

TEST_F(RealServerBrokenUploadTest, UploadEndedByAFrozenServerLeavesNoFileOnceItAnswersAgain)
{
    CurlFtpClient client;
    CurlFtpClient::Limits limits;
    limits.stallTime = std::chrono::milliseconds(500);
    limits.connectTimeout = std::chrono::milliseconds(500);
    client.setLimits(limits);
    connectTo(client, *server, "ftpes");
    bool sent = true;
    std::thread upload = startUpload(client, sent);
    server->pause();
    upload.join();
    EXPECT_FALSE(sent);
    EXPECT_EQ(client.lastResponse().code, CurlFtpClient::timeoutCode);
    server->resume();
    std::vector<FtpEntry> entries;
    ASSERT_TRUE(client.findFiles("*", entries)) << client.lastResponse().text;
    EXPECT_FALSE(test::exists(server->localFolder() + "/gross.bin"));
}

// A refused STOR leaves the server's file as it was: nothing of it was cut.
TEST_F(RealServerBrokenUploadTest, RefusedUploadKeepsTheFileThatWasThere)
{
    test::writeFile(server->localFolder() + "/alt.htm", "alt");
    chmod((server->localFolder() + "/alt.htm").c_str(), 0444);
    chown((server->localFolder() + "/alt.htm").c_str(), 0, 0);
    CurlFtpClient client;
    connectTo(client, *server, "ftpes");
    test::writeFile(local.file("alt.htm"), "neu");
    EXPECT_FALSE(client.putFile(local.file("alt.htm"), "alt.htm", TransferType::Binary));
    EXPECT_EQ(test::readFile(server->localFolder() + "/alt.htm"), "alt");
}

} // namespace
} // namespace vantiro
