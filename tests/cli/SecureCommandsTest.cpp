#include "cli/CliRunner.h"
#include "support/ScopedEnvironment.h"
#include "support/SftpTestServer.h"
#include "support/TempDir.h"
#include "support/TlsFtpTestServer.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>

namespace vantiro {
namespace {

namespace fs = std::filesystem;
using test::runCli;

const std::string gifBytes("GIF89a\n\r\n\0\xFF;", 12);

std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The tool reads ~/.ssh/known_hosts and the keys accepted in the window; both come from a
// fresh home folder here, so nothing of the machine's user counts.
class SecureCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(home.file("doorpages/images"));
        test::writeFile(home.file("doorpages/vorschau.htm"), "<P>\r\nSeite\r\n");
        test::writeFile(home.file("doorpages/images/vtr.gif"), gifBytes);
    }

    test::TempDir home;
    test::ScopedEnvironment environment{{"HOME", home.path()}, {"XDG_CONFIG_HOME", std::nullopt}};
};

TEST_F(SecureCommandsTest, UntrustedCertificateStopsBeforeTheLoginAndNamesItsFingerprintOnce)
{
    test::TlsFtpTestServer server;
    const auto result =
        runCli({"list", "--server", server.address("ftpes://"), "--user", server.user()},
               {"VANTIRO_FTP_PASSWORD=" + server.password()});
    EXPECT_EQ(result.exitCode, 2) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(occurrences(result.err, "--fingerprint " + server.fingerprint()), 1u) << result.err;
    EXPECT_NE(result.err.find("selbst signiertes Zertifikat"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("\nFingerabdruck: " + server.fingerprint() + "\n"), std::string::npos)
        << "one line each, not escaped line breaks: " << result.err;
    EXPECT_NE(
        result.err.find("\nSHA-256 des Zertifikats: " + server.certificateHexFingerprint() + "\n"),
        std::string::npos)
        << "the form browsers and panels show: " << result.err;
    EXPECT_EQ(server.commands().find("USER"), std::string::npos) << server.commands();

    const auto wrong =
        runCli({"list", "--server", server.address("ftpes://"), "--user", server.user(),
                "--fingerprint", "SHA256:AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"},
               {"VANTIRO_FTP_PASSWORD=" + server.password()});
    EXPECT_EQ(wrong.exitCode, 2) << wrong.err;
    EXPECT_EQ(server.commands().find("USER"), std::string::npos);
}

TEST_F(SecureCommandsTest, UploadOverImplicitTlsWithTheCheckedFingerprint)
{
    test::TlsFtpTestServer server({test::TlsFtpTestServer::Mode::Implicit, false, "localhost"});
    const auto result =
        runCli({"upload", "--server", server.address("ftps://"), "--user", server.user(),
                "--fingerprint", server.fingerprint(), "--binary", "--home", home.path()},
               {"VANTIRO_FTP_PASSWORD=" + server.password()});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err << server.log();
    EXPECT_NE(result.err.find("Verbindung verschl\xC3\xBCsselt (TLS 1."), std::string::npos)
        << result.err;
    EXPECT_EQ(test::readFile(server.root() + "/vorschau.htm"), "<P>\r\nSeite\r\n");
    EXPECT_EQ(test::readFile(server.root() + "/images/vtr.gif"), gifBytes);
}

// Several connections, --sync and --delete work alike over every scheme: the list of sent files
// is read, written through a second name and renamed onto the old one, which SFTP servers of
// protocol version 3 refuse unless the old one is removed first.
TEST_F(SecureCommandsTest, UploadOverSftpAndFtpsUsesFourConnectionsAndSendsOnlyWhatChanged)
{
    for (int i = 0; i < 8; ++i)
        test::writeFile(home.file("doorpages/seite" + std::to_string(i) + ".htm"), "<P>\r\n");
    test::SftpTestServer sftp;
    test::TlsFtpTestServer ftps({test::TlsFtpTestServer::Mode::Explicit, false, "localhost"});
    struct Target {
        std::string address, user, password, fingerprint, root;
    };
    for (const Target& target :
         {Target{sftp.address(), sftp.user(), sftp.password(), sftp.fingerprint(), sftp.root()},
          Target{ftps.address("ftpes://"), ftps.user(), ftps.password(), ftps.fingerprint(),
                 ftps.root()}}) {
        const auto upload = [&](std::vector<std::string> more) {
            std::vector<std::string> args = {"upload",           "--server",  target.address,
                                             "--user",           target.user, "--fingerprint",
                                             target.fingerprint, "--home",    home.path()};
            args.insert(args.end(), more.begin(), more.end());
            return runCli(args, {"VANTIRO_FTP_PASSWORD=" + target.password});
        };
        test::writeFile(home.file("doorpages/seite0.htm"), "<P>\r\n");
        test::writeFile(home.file("doorpages/seite7.htm"), "<P>\r\n");
        const auto first = upload({"--sync"});
        ASSERT_EQ(first.exitCode, 0) << target.address << first.out << first.err;
        EXPECT_EQ(occurrences(first.out, "ok     "), 10u) << first.out;
        EXPECT_TRUE(test::exists(target.root + "/.htvantiro-sync"));

        const auto again = upload({"--sync"});
        EXPECT_EQ(again.exitCode, 0) << again.err;
        EXPECT_EQ(again.out, "") << target.address;

        fs::remove(home.file("doorpages/seite7.htm"));
        test::writeFile(home.file("doorpages/seite0.htm"), "<P>neu\r\n");
        const auto changed = upload({"--sync", "--delete"});
        EXPECT_EQ(changed.exitCode, 0) << changed.out << changed.err;
        EXPECT_EQ(changed.out, "ok     doorpages/seite0.htm -> /seite0.htm\n"
                               "ok     l\xC3\xB6schen /seite7.htm\n")
            << target.address;
        EXPECT_FALSE(test::exists(target.root + "/seite7.htm"));
        EXPECT_EQ(upload({"--sync"}).out, "") << "the list was replaced: " << target.address;
    }
    EXPECT_EQ(occurrences(sftp.authLog(), "password " + sftp.user()), 4u + 1u + 1u + 1u)
        << "four sessions for ten files, one for one file or none";
}

TEST_F(SecureCommandsTest, ListOverSftpTrustsAHostKeyFromKnownHosts)
{
    test::SftpTestServer server;
    test::writeFile(server.root() + "/seite.htm", "x");
    fs::create_directories(home.file(".ssh"));
    const std::vector<std::string> args = {"list", "--server", server.address(), "--user",
                                           server.user()};
    const std::vector<std::string> environment = {"VANTIRO_FTP_PASSWORD=" + server.password()};

    const auto unknown = runCli(args, environment);
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find(server.fingerprint()), std::string::npos) << unknown.err;
    EXPECT_EQ(server.authLog(), "");

    test::writeFile(home.file(".ssh/known_hosts"), server.knownHostsLine() + "\n");
    const auto known = runCli(args, environment);
    ASSERT_EQ(known.exitCode, 0) << known.err;
    EXPECT_NE(known.out.find("seite.htm"), std::string::npos) << known.out;
    EXPECT_NE(known.err.find("Verbindung verschl\xC3\xBCsselt (SSH)"), std::string::npos)
        << known.err;
}

TEST_F(SecureCommandsTest, SftpFingerprintInHexPairsIsTakenAndPinsOnlyThatKey)
{
    test::SftpTestServer server;
    test::writeFile(server.root() + "/seite.htm", "x");
    const std::vector<std::string> environment = {"VANTIRO_FTP_PASSWORD=" + server.password()};
    std::string lower = server.hexFingerprint();
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto pinned = runCli(
        {"list", "--server", server.address(), "--user", server.user(), "--fingerprint", lower},
        environment);
    ASSERT_EQ(pinned.exitCode, 0) << pinned.err;
    EXPECT_NE(pinned.out.find("seite.htm"), std::string::npos) << pinned.out;

    // known_hosts vouches for the key, but the command names another one.
    fs::create_directories(home.file(".ssh"));
    test::writeFile(home.file(".ssh/known_hosts"), server.knownHostsLine() + "\n");
    const std::string auth = server.authLog();
    const auto other =
        runCli({"list", "--server", server.address(), "--user", server.user(), "--fingerprint",
                "SHA256:AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"},
               environment);
    EXPECT_EQ(other.exitCode, 2) << other.err;
    EXPECT_NE(other.err.find("SHA-256 (Hex): " + server.hexFingerprint()), std::string::npos)
        << other.err;
    EXPECT_EQ(server.authLog(), auth) << "no login after the refused key";
}

TEST_F(SecureCommandsTest, ListOverSftpSkipsOddNamesAndEscapesBidiControls)
{
    test::SftpTestServer server;
    fs::create_directory(server.root() + "/seltsam");
    const auto result = runCli({"list", "--server", server.address(), "--user", server.user(),
                                "--fingerprint", server.fingerprint(), "--remote", "/seltsam"},
                               {"VANTIRO_FTP_PASSWORD=" + server.password()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("\na.htm\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\n\\342\\200\\256gpj.htm\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\nz.htm\n"), std::string::npos) << "the rest of the folder";
}

TEST_F(SecureCommandsTest, MalformedFingerprintIsRefusedBeforeConnecting)
{
    const auto result = runCli(
        {"list", "--server", "sftp://127.0.0.1:1", "--user", "u", "--fingerprint", "ab:cd:ef"},
        {"VANTIRO_FTP_PASSWORD=x"});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.err.find("--fingerprint"), std::string::npos) << result.err;
}

} // namespace
} // namespace vantiro
