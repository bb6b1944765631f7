#include "cli/CliRunner.h"
#include "support/FtpTestServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

namespace vantiro {
namespace {

namespace fs = std::filesystem;
using test::runCli;

const std::string gifBytes("GIF89a\n\r\n\0\xFF;", 12);

class FtpCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(home.file("doorpages/images"));
        test::writeFile(home.file("doorpages/vorschau.htm"), "<P>\r\nSeite\r\n");
        test::writeFile(home.file("doorpages/_keyliste.htm"), "<A>\r\n");
        test::writeFile(home.file("doorpages/.versteckt"), "x");
        test::writeFile(home.file("doorpages/images/vtr.gif"), gifBytes);
    }
    std::vector<std::string> withLogin(const std::string& verb, std::vector<std::string> more) const
    {
        std::vector<std::string> args = {verb, "--server", server.address(), "--user",
                                         server.user()};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
    std::vector<std::string> password() const
    {
        return {"VANTIRO_FTP_PASSWORD=" + server.password()};
    }
    std::string remote(const std::string& relative) const { return server.root() + "/" + relative; }

    test::FtpTestServer server;
    test::TempDir home;
};

TEST_F(FtpCommandsTest, UploadSendsPagesAndImagesIntoNewRemoteFolders)
{
    const auto result = runCli(
        withLogin("upload", {"--remote", "/www/neu", "--parallel", "1", "--home", home.path()}),
        password());
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err << server.log();
    EXPECT_EQ(result.out, "ok     doorpages/_keyliste.htm -> /www/neu/_keyliste.htm\n"
                          "ok     doorpages/vorschau.htm -> /www/neu/vorschau.htm\n"
                          "ok     doorpages/images/vtr.gif -> /www/neu/images/vtr.gif\n");
    EXPECT_EQ(test::readFile(remote("www/neu/vorschau.htm")), "<P>\nSeite\n")
        << "pages go as ASCII, which this server stores with LF";
    EXPECT_EQ(test::readFile(remote("www/neu/images/vtr.gif")), gifBytes)
        << "images always go as binary";
    EXPECT_FALSE(test::exists(remote("www/neu/.versteckt")));
    EXPECT_EQ(result.out.find(server.password()), std::string::npos);
}

TEST_F(FtpCommandsTest, UploadWithBinaryKeepsPagesByteForByteInTheTopFolder)
{
    fs::create_directory(remote("images"));
    const auto result =
        runCli(withLogin("upload", {"--binary", "--home", home.path()}), password());
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(test::readFile(remote("vorschau.htm")), "<P>\r\nSeite\r\n");
    EXPECT_EQ(test::readFile(remote("images/vtr.gif")), gifBytes);
}

TEST_F(FtpCommandsTest, UploadReportsEveryFileThatDidNotArriveAndExitsOne)
{
    fs::create_directories(remote("www/vorschau.htm"));
    test::writeFile(remote("www/images"), "a file where the folder should be");
    const auto result =
        runCli(withLogin("upload", {"--remote", "www", "--home", home.path()}), password());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("ok     doorpages/_keyliste.htm -> /www/_keyliste.htm\n"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("FEHLER doorpages/vorschau.htm -> /www/vorschau.htm: 5"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("FEHLER doorpages/images/vtr.gif -> /www/images/vtr.gif: 5"),
              std::string::npos)
        << result.out;
    EXPECT_TRUE(test::exists(remote("www/_keyliste.htm")));

    test::writeFile(remote("blocked"), "x");
    const auto blocked = runCli(
        withLogin("upload", {"--remote", "/blocked/sub", "--home", home.path()}), password());
    EXPECT_EQ(blocked.exitCode, 2) << "nothing could be sent";
    EXPECT_NE(blocked.err.find("/blocked/sub"), std::string::npos) << blocked.err;
    EXPECT_EQ(blocked.err.find("/blocked/sub", blocked.err.find("/blocked/sub") + 1),
              std::string::npos)
        << "one message: " << blocked.err;
    EXPECT_EQ(blocked.out.find("FEHLER"), std::string::npos) << blocked.out;
}

TEST_F(FtpCommandsTest, ListTakesTheHomeOptionThatUploadTakes)
{
    test::writeFile(remote("seite.htm"), "x");
    const auto result = runCli(withLogin("list", {"--home", home.path()}), password());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("seite.htm"), std::string::npos) << result.out;
}

TEST_F(FtpCommandsTest, RefusedLoginExitsTwoWithTheServerReplyAndNoPassword)
{
    const auto upload = runCli(withLogin("upload", {"--home", home.path()}),
                               {"VANTIRO_FTP_PASSWORD=Falsches-Passwort"});
    EXPECT_EQ(upload.exitCode, 2);
    EXPECT_NE(upload.err.find("530"), std::string::npos) << upload.err;
    EXPECT_EQ(upload.err.find("Falsches-Passwort"), std::string::npos);
    EXPECT_EQ(upload.out, "");

    const auto list = runCli(withLogin("list", {}), {"VANTIRO_FTP_PASSWORD=Falsches-Passwort"});
    EXPECT_EQ(list.exitCode, 2);
    EXPECT_NE(list.err.find("530"), std::string::npos) << list.err;
}

TEST_F(FtpCommandsTest, PasswordIsNeverTakenFromTheCommandLine)
{
    const auto result = runCli(withLogin("list", {"--password", server.password()}), password());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("VANTIRO_FTP_PASSWORD"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");

    const auto noServer = runCli({"list", "--user", server.user()}, password());
    EXPECT_EQ(noServer.exitCode, 2);
    EXPECT_NE(noServer.err.find("--server"), std::string::npos) << noServer.err;

    if (std::getenv("VANTIRO_FTP_PASSWORD"))
        GTEST_SKIP() << "the test's own environment sets the password";
    const auto unset = runCli(withLogin("list", {}));
    EXPECT_EQ(unset.exitCode, 2);
    EXPECT_NE(unset.err.find("VANTIRO_FTP_PASSWORD"), std::string::npos) << unset.err;
}

TEST_F(FtpCommandsTest, ListPrintsTheWindowLinesInOrder)
{
    test::writeFile(remote("Index.htm"), "");
    test::writeFile(remote("a1.htm"), "");
    test::writeFile(remote("B.htm"), "");
    fs::create_directory(remote("images"));

    const auto all = runCli(withLogin("list", {}), password());
    ASSERT_EQ(all.exitCode, 0) << all.err;
    EXPECT_EQ(all.out, ".\n..\nIMAGES\na1.htm\nb.htm\nindex.htm\n");

    const auto pages = runCli(withLogin("list", {"--filter", " I*.HTM "}), password());
    ASSERT_EQ(pages.exitCode, 0) << pages.err;
    EXPECT_EQ(pages.out, ".\n..\nindex.htm\n");

    const auto empty = runCli(withLogin("list", {"--remote", "/images/"}), password());
    ASSERT_EQ(empty.exitCode, 0) << empty.err;
    EXPECT_EQ(empty.out, ".\n..\n");

    const auto missing = runCli(withLogin("list", {"--remote", "/fehlt"}), password());
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("550"), std::string::npos) << missing.err;
    EXPECT_EQ(missing.out, "");
}

TEST_F(FtpCommandsTest, ListAndUploadPrintControlCharactersOfNamesAndRepliesEscaped)
{
    test::writeFile(remote("\x1b]0;titel\x07.htm"), "");
    test::writeFile(remote("a\\b.htm"), "");

    const auto all = runCli(withLogin("list", {}), password());
    ASSERT_EQ(all.exitCode, 0) << all.err;
    EXPECT_EQ(all.out, ".\n..\n\\033]0;titel\\a.htm\na\\\\b.htm\n");

    std::vector<std::string> badServer = withLogin("list", {});
    badServer[2] = "127.0.0.1\x1b[2J";
    const auto refused = runCli(badServer, password());
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err.find('\x1b'), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("127.0.0.1\\033[2J"), std::string::npos) << refused.err;

    // Whether the server takes such a name is its business; what is printed must be escaped.
    test::writeFile(home.file("doorpages/\x1b[2J\xC2\x9B.htm"), "x");
    const auto upload = runCli(withLogin("upload", {"--home", home.path()}), password());
    for (const std::string& stream : {upload.out, upload.err}) {
        EXPECT_EQ(stream.find('\x1b'), std::string::npos) << stream;
        EXPECT_EQ(stream.find("\xC2\x9B"), std::string::npos) << stream;
    }
    EXPECT_NE(upload.out.find("doorpages/\\033[2J\\302\\233.htm"), std::string::npos) << upload.out;
}

TEST_F(FtpCommandsTest, ParallelUploadSendsEveryFileOnceIntoFoldersMadeBeforeIt)
{
    std::set<std::string> expected = {"ok     doorpages/_keyliste.htm -> /www/neu/_keyliste.htm",
                                      "ok     doorpages/vorschau.htm -> /www/neu/vorschau.htm",
                                      "ok     doorpages/images/vtr.gif -> /www/neu/images/vtr.gif"};
    for (int i = 0; i < 40; ++i) {
        const std::string page = "seite" + std::to_string(i) + ".htm";
        const std::string image = "bild" + std::to_string(i) + ".gif";
        test::writeFile(home.file("doorpages/" + page), "<P>" + page + "\r\n");
        test::writeFile(home.file("doorpages/images/" + image), gifBytes);
        expected.insert("ok     doorpages/" + page + " -> /www/neu/" + page);
        expected.insert("ok     doorpages/images/" + image + " -> /www/neu/images/" + image);
    }
    const auto result = runCli(
        withLogin("upload", {"--remote", "/www/neu", "--parallel", "4", "--home", home.path()}),
        password());
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err << server.log();

    std::multiset<std::string> lines;
    std::istringstream out(result.out);
    for (std::string line; std::getline(out, line);)
        lines.insert(line);
    EXPECT_EQ(lines, std::multiset<std::string>(expected.begin(), expected.end()));
    EXPECT_EQ(test::readFile(remote("www/neu/seite7.htm")), "<P>seite7.htm\n");
    EXPECT_EQ(test::readFile(remote("www/neu/images/bild39.gif")), gifBytes);
    EXPECT_EQ(result.err, "vantiro-cli upload: Verbindung unverschl\xC3\xBCsselt\n")
        << "the connection is described once, not once per connection";
}

size_t loginsIn(const std::string& log)
{
    size_t count = 0;
    for (size_t pos = log.find("logged in"); pos != std::string::npos;
         pos = log.find("logged in", pos + 1))
        ++count;
    return count;
}

void addFiles(const test::TempDir& home, int count)
{
    for (int i = 0; i < count; ++i) {
        test::writeFile(home.file("doorpages/seite" + std::to_string(i) + ".htm"), "<P>\r\n");
        test::writeFile(home.file("doorpages/images/bild" + std::to_string(i) + ".gif"), gifBytes);
    }
}

TEST_F(FtpCommandsTest, UploadUsesFourConnectionsUnlessToldButNeverMoreThanFiles)
{
    auto run = [&](std::vector<std::string> more) {
        more.insert(more.end(), {"--home", home.path()});
        const auto result = runCli(withLogin("upload", more), password());
        EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
        return loginsIn(server.log());
    };
    EXPECT_EQ(run({}), 3u) << "three files, so three connections of the default four";
    EXPECT_EQ(run({"--parallel", "8"}), 3u + 3u);
    addFiles(home, 10);
    EXPECT_EQ(run({}), 3u + 3u + 4u);
    EXPECT_EQ(run({"--parallel", "1"}), 3u + 3u + 4u + 1u);
}

// pyftpdlib refuses a connection beyond its limit with a 421 at once; pure-ftpd and proftpd let
// it in and refuse its login with a 530.
TEST(UploadConnectionLimitTest, ConnectionsTheServerRefusesAreDroppedAndEveryFileStillArrives)
{
    for (const bool refuseLogin : {false, true}) {
        test::FtpTestServer::Options options;
        (refuseLogin ? options.loginLimit : options.connectionLimit) = 2;
        test::FtpTestServer limited(options);
        test::TempDir home;
        fs::create_directories(home.file("doorpages/images"));
        addFiles(home, 15);
        const auto result = runCli({"upload", "--server", limited.address(), "--user",
                                    limited.user(), "--home", home.path(), "--parallel", "6"},
                                   {"VANTIRO_FTP_PASSWORD=" + limited.password()});
        ASSERT_EQ(result.exitCode, 0) << result.out << result.err << limited.log();
        EXPECT_EQ(result.out.find("FEHLER"), std::string::npos) << result.out;
        EXPECT_TRUE(test::exists(limited.root() + "/seite14.htm"));
        EXPECT_EQ(test::readFile(limited.root() + "/images/bild0.gif"), gifBytes);
        // The note gives the server's own refusal, also for the 421 that libcurl takes for a
        // timeout.
        const std::string note = refuseLogin
                                     ? "Der Server hat 4 von 6 Verbindungen abgelehnt (530 "
                                     : "Der Server hat 4 von 6 Verbindungen abgelehnt (421 ";
        const size_t at = result.err.find(note);
        EXPECT_NE(at, std::string::npos) << result.err;
        EXPECT_EQ(result.err.find("abgelehnt", at + note.size()), std::string::npos)
            << "one note for all refused connections: " << result.err;
        EXPECT_NE(result.err.find("es geht mit 2 Verbindungen weiter"), std::string::npos)
            << result.err;
    }
}

TEST_F(FtpCommandsTest, ParallelOutsideOneToEightIsAUsageErrorAndSendsNothing)
{
    for (const std::string count : {"0", "9", "vier", "-1", "4.5", ""}) {
        const auto result =
            runCli(withLogin("upload", {"--parallel", count, "--home", home.path()}), password());
        EXPECT_EQ(result.exitCode, 2) << count;
        EXPECT_NE(result.err.find("--parallel erwartet eine ganze Zahl von 1 bis 8"),
                  std::string::npos)
            << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_TRUE(fs::is_empty(server.root()));
}

TEST_F(FtpCommandsTest, UploadWithNothingToSendSaysSoAndExitsTwo)
{
    fs::remove_all(home.file("doorpages"));
    fs::create_directories(home.file("doorpages/images"));
    test::writeFile(home.file("doorpages/.versteckt"), "x");
    const auto result = runCli(withLogin("upload", {"--home", home.path()}), password());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("Nichts zu senden"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(server.log().find("logged in"), std::string::npos) << "no login for nothing";
}

TEST_F(FtpCommandsTest, PageWithAControlByteInItsNameFailsAloneAndTheOthersGo)
{
    test::writeFile(home.file("doorpages/mit\ttab.htm"), "x");
    const auto result = runCli(withLogin("upload", {"--home", home.path()}), password());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("FEHLER doorpages/mit\\ttab.htm -> /mit\\ttab.htm: 12003 "),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("ok     doorpages/vorschau.htm -> /vorschau.htm\n"),
              std::string::npos);
    EXPECT_NE(result.out.find("ok     doorpages/images/vtr.gif -> /images/vtr.gif\n"),
              std::string::npos);
    EXPECT_TRUE(test::exists(remote("_keyliste.htm")));
}

} // namespace
} // namespace vantiro
