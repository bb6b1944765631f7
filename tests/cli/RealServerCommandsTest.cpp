#include "cli/CliRunner.h"
#include "support/RealFtpServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace vantiro {
namespace {

namespace fs = std::filesystem;
using test::RealFtpServer;
using test::runCli;
using Kind = RealFtpServer::Kind;

std::string pageContent(int number)
{
    return "<html><body>Seite " + std::to_string(number) + "\r\n" +
           std::string(static_cast<std::size_t>(number % 50), 'x') + "</body></html>\r\n";
}

std::size_t fileCount(const std::string& folder)
{
    std::error_code error;
    std::size_t count = 0;
    for (auto it = fs::directory_iterator(folder, error); !error && it != fs::directory_iterator();
         it.increment(error))
        ++count;
    return count;
}

class RealServerCommandsTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        const std::string missing = RealFtpServer::unavailable(Kind::VsftpdTls);
        if (!missing.empty())
            GTEST_SKIP() << missing;
        server = std::make_unique<RealFtpServer>(Kind::VsftpdTls);
        fs::create_directories(home.file("doorpages/images"));
        for (int number = 0; number < pages; ++number)
            test::writeFile(home.file("doorpages/seite_" + std::to_string(number) + ".htm"),
                            pageContent(number));
    }

    std::vector<std::string> uploadArgs(const std::string& parallel) const
    {
        return {"upload",
                "--server",
                server->address("ftpes"),
                "--user",
                server->user(),
                "--fingerprint",
                server->fingerprint(),
                "--remote",
                server->remoteFolder(),
                "--binary",
                "--parallel",
                parallel,
                "--home",
                home.path()};
    }

    void expectEveryPageOnTheServer() const
    {
        for (int number = 0; number < pages; ++number) {
            const std::string name = "seite_" + std::to_string(number) + ".htm";
            ASSERT_EQ(test::readFile(server->localFolder() + "/" + name), pageContent(number))
                << name;
        }
    }

    static constexpr int pages = 201;
    std::unique_ptr<RealFtpServer> server;
    test::TempDir home;
};

// vsftpd in its TLS defaults requires the data connection to resume the TLS session.
TEST_P(RealServerCommandsTest, EveryPageArrivesOverFtpesAtVsftpdWithItsTlsDefaults)
{
    const auto result = runCli(uploadArgs(GetParam()), {"VANTIRO_FTP_PASSWORD=x"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.find("FEHLER"), std::string::npos) << result.out;
    expectEveryPageOnTheServer();
}

// A restart of the server in the middle of the run: the connections log in again and send
// the files that failed again; every page arrives and the run counts as done.
TEST_P(RealServerCommandsTest, ServerRestartedDuringTheRunLosesNoPage)
{
    test::CliResult result;
    std::thread run([&] { result = runCli(uploadArgs(GetParam()), {"VANTIRO_FTP_PASSWORD=x"}); });
    for (int wait = 0; wait < 1000 && fileCount(server->localFolder()) < 30; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    server->restart();
    run.join();
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_NE(result.err.find("Verbindung unterbrochen - neuer Versuch 1 von 5 in "),
              std::string::npos)
        << result.err;
    expectEveryPageOnTheServer();
    EXPECT_EQ(fileCount(server->localFolder()), static_cast<std::size_t>(pages));
}

// Implicit TLS (ftps://) resumes the session on every data connection of every connection too.
TEST(RealServerImplicitTlsTest, EveryPageArrivesOverFtpsOnFourConnections)
{
    const std::string missing = RealFtpServer::unavailable(Kind::VsftpdImplicitTls);
    if (!missing.empty())
        GTEST_SKIP() << missing;
    RealFtpServer server(Kind::VsftpdImplicitTls);
    test::TempDir home;
    fs::create_directories(home.file("doorpages/images"));
    for (int number = 0; number < 201; ++number)
        test::writeFile(home.file("doorpages/seite_" + std::to_string(number) + ".htm"),
                        pageContent(number));
    const auto result =
        runCli({"upload", "--server", server.address("ftps"), "--user", server.user(),
                "--fingerprint", server.fingerprint(), "--remote", server.remoteFolder(),
                "--binary", "--parallel", "4", "--home", home.path()},
               {"VANTIRO_FTP_PASSWORD=x"});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    for (int number = 0; number < 201; ++number) {
        const std::string name = "seite_" + std::to_string(number) + ".htm";
        ASSERT_EQ(test::readFile(server.localFolder() + "/" + name), pageContent(number)) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Connections, RealServerCommandsTest, ::testing::Values("1", "4"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string("parallel_") + info.param;
                         });

} // namespace
} // namespace vantiro
