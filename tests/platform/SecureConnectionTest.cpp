#include "platform/CurlFtpClient.h"
#include "platform/HostTrust.h"
#include "platform/SchemeFtpClient.h"
#include "platform/SftpClient.h"
#include "platform/TrustedKeyStore.h"
#include "support/FtpTestServer.h"
#include "support/SftpTestServer.h"
#include "support/TempDir.h"
#include "support/TlsFtpTestServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <utime.h>

namespace vantiro {
namespace {

namespace fs = std::filesystem;
using test::SftpTestServer;
using test::TempDir;
using test::TlsFtpTestServer;

// 2002-09-02 14:05:59 UTC, a Monday.
constexpr time_t oldChangeTime = 1030975559;

// Answers the trust questions from a script (no once it has run out) and keeps them.
class ScriptedDecider final : public TrustDecider {
public:
    std::vector<HostKeyQuestion> questions;
    std::deque<bool> answers;

    bool trustHostKey(const HostKeyQuestion& question) override
    {
        questions.push_back(question);
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

std::string randomBytes(std::size_t size)
{
    std::mt19937 generator(4711);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(generator() & 0xFF);
    return bytes + "line\r\nunix\nmac\r";
}

const FtpEntry* entryNamed(const std::vector<FtpEntry>& entries, const std::string& name)
{
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const FtpEntry& entry) { return entry.name == name; });
    return found == entries.end() ? nullptr : &*found;
}

std::shared_ptr<HostTrust> pinned(const std::string& fingerprint)
{
    HostTrust::Settings settings;
    settings.pinnedFingerprint = fingerprint;
    return std::make_shared<HostTrust>(settings);
}

std::shared_ptr<HostTrust> askingWith(std::shared_ptr<ScriptedDecider> decider,
                                      const std::string& trustedKeysPath = {},
                                      const std::string& knownHostsPath = {})
{
    HostTrust::Settings settings;
    settings.decider = std::move(decider);
    settings.trustedKeysPath = trustedKeysPath;
    settings.rememberAccepted = !trustedKeysPath.empty();
    settings.knownHostsPath = knownHostsPath;
    return std::make_shared<HostTrust>(settings);
}

// Every operation of the uploader once, over whatever connection client has, in a server whose
// folder on disk is root: a folder made and entered, a file sent and read back byte for byte,
// listed with its size and time, renamed, deleted, and the folder removed again.
void runEveryOperation(FtpClient& client, const std::string& root)
{
    TempDir local;
    const std::string content = randomBytes(300 * 1000);
    test::writeFile(local.file("seite.htm"), content);

    ASSERT_TRUE(client.createDirectory("neu")) << client.lastResponse().text;
    ASSERT_TRUE(client.setCurrentDirectory("neu")) << client.lastResponse().text;
    ASSERT_TRUE(client.putFile(local.file("seite.htm"), "seite.htm", TransferType::Binary))
        << client.lastResponse().text;
    EXPECT_EQ(test::readFile(root + "/neu/seite.htm"), content);

    const utimbuf times{oldChangeTime, oldChangeTime};
    ASSERT_EQ(utime((root + "/neu/seite.htm").c_str(), &times), 0);
    std::vector<FtpEntry> entries;
    ASSERT_TRUE(client.findFiles("*.*", entries)) << client.lastResponse().text;
    const FtpEntry* page = entryNamed(entries, "seite.htm");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->size, content.size());
    EXPECT_EQ(page->attributes & FtpEntry::directoryAttribute, 0u);
    EXPECT_EQ(page->lastWrite.year, 2002);
    EXPECT_EQ(page->lastWrite.month, 9);
    EXPECT_EQ(page->lastWrite.day, 2);
    EXPECT_EQ(page->lastWrite.hour, 14);
    EXPECT_EQ(page->lastWrite.minute, 5);

    ASSERT_TRUE(client.getFile("seite.htm", local.file("zurueck.htm"), true, TransferType::Binary))
        << client.lastResponse().text;
    EXPECT_EQ(test::readFile(local.file("zurueck.htm")), content);

    ASSERT_TRUE(client.renameFile("seite.htm", "umbenannt.htm")) << client.lastResponse().text;
    EXPECT_TRUE(test::exists(root + "/neu/umbenannt.htm"));
    EXPECT_FALSE(test::exists(root + "/neu/seite.htm"));
    ASSERT_TRUE(client.deleteFile("umbenannt.htm")) << client.lastResponse().text;
    EXPECT_FALSE(test::exists(root + "/neu/umbenannt.htm"));

    ASSERT_TRUE(client.setCurrentDirectory("..")) << client.lastResponse().text;
    ASSERT_TRUE(client.findFiles("*.*", entries));
    const FtpEntry* folder = entryNamed(entries, "neu");
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->attributes, FtpEntry::directoryAttribute);
    ASSERT_TRUE(client.removeDirectory("neu")) << client.lastResponse().text;
    EXPECT_FALSE(test::exists(root + "/neu"));

    EXPECT_FALSE(client.setCurrentDirectory("/fehlt"));
    EXPECT_NE(client.lastResponse().code, 0u);
}

struct TlsCase {
    TlsFtpTestServer::Mode mode;
    const char* scheme;
};

class TlsSchemeTest : public ::testing::TestWithParam<TlsCase> {};

TEST_P(TlsSchemeTest, EncryptsTheLoginAndEveryOperationWorks)
{
    TlsFtpTestServer server({GetParam().mode, false, "localhost"});
    SchemeFtpClient client(pinned(server.fingerprint()));
    ASSERT_TRUE(
        client.connect(server.address(GetParam().scheme), server.user(), server.password(), true))
        << client.lastResponse().text << server.log();
    const std::vector<std::string> notices = client.takeNotices();
    ASSERT_FALSE(notices.empty());
    EXPECT_EQ(notices.front().rfind("Verbindung verschl\xFCsselt (TLS 1.", 0), 0u)
        << notices.front();
    const std::string commands = server.commands();
    if (GetParam().mode != TlsFtpTestServer::Mode::Implicit) {
        EXPECT_LT(commands.find("AUTH"), commands.find("USER")) << commands;
    }
    EXPECT_NE(commands.find("PROT"), std::string::npos) << commands;

    runEveryOperation(client, server.root());
    client.close();
}

INSTANTIATE_TEST_SUITE_P(Schemes, TlsSchemeTest,
                         ::testing::Values(TlsCase{TlsFtpTestServer::Mode::ExplicitRequired,
                                                   "ftpes://"},
                                           TlsCase{TlsFtpTestServer::Mode::Implicit, "ftps://"},
                                           TlsCase{TlsFtpTestServer::Mode::Explicit, ""}),
                         [](const auto& info) {
                             return std::string(info.param.mode == TlsFtpTestServer::Mode::Implicit
                                                    ? "Implicit"
                                                : *info.param.scheme ? "Explicit"
                                                                     : "Detected");
                         });

TEST(SecureConnectionTest, SelfSignedCertificateIsRefusedBeforeTheLoginIsSent)
{
    TlsFtpTestServer server;
    auto decider = std::make_shared<ScriptedDecider>();
    SchemeFtpClient client(askingWith(decider));

    EXPECT_FALSE(
        client.connect(server.address("ftpes://"), server.user(), server.password(), true));
    EXPECT_FALSE(client.connected());
    EXPECT_EQ(client.lastResponse().code, SftpClient::untrustedKeyCode);
    EXPECT_NE(client.lastResponse().text.find(server.fingerprint()), std::string::npos)
        << client.lastResponse().text;
    ASSERT_EQ(decider->questions.size(), 1u);
    const HostKeyQuestion& question = decider->questions.front();
    EXPECT_EQ(question.kind, HostKeyQuestion::Kind::Tls);
    EXPECT_EQ(question.host, "127.0.0.1");
    EXPECT_EQ(question.port, server.port());
    EXPECT_EQ(question.fingerprint, server.fingerprint());
    EXPECT_EQ(question.reason, "selbst signiertes Zertifikat");
    EXPECT_FALSE(question.changed);
    const std::string commands = server.commands();
    EXPECT_NE(commands.find("AUTH"), std::string::npos);
    EXPECT_EQ(commands.find("USER"), std::string::npos) << commands;
    EXPECT_EQ(commands.find("PASS"), std::string::npos) << commands;

    // The same server with its key accepted by the user: the login goes through.
    decider->answers = {true};
    EXPECT_TRUE(client.connect(server.address("ftpes://"), server.user(), server.password(), true))
        << client.lastResponse().text;
}

TEST(SecureConnectionTest, CertifiedServerIsTrustedWithoutAQuestionOnlyUnderItsOwnName)
{
    TlsFtpTestServer server({TlsFtpTestServer::Mode::ExplicitRequired, true, "localhost"});
    auto decider = std::make_shared<ScriptedDecider>();
    HostTrust::Settings settings;
    settings.decider = decider;
    settings.extraCertificatesPath = server.caCertificate();
    SchemeFtpClient client(std::make_shared<HostTrust>(settings));

    ASSERT_TRUE(client.connect("ftpes://localhost:" + std::to_string(server.port()), server.user(),
                               server.password(), true))
        << client.lastResponse().text;
    EXPECT_TRUE(decider->questions.empty());
    client.close();

    TlsFtpTestServer other({TlsFtpTestServer::Mode::ExplicitRequired, true, "anderer.example"});
    settings.extraCertificatesPath = other.caCertificate();
    SchemeFtpClient misnamed(std::make_shared<HostTrust>(settings));
    EXPECT_FALSE(misnamed.connect("ftpes://localhost:" + std::to_string(other.port()), other.user(),
                                  other.password(), true));
    ASSERT_EQ(decider->questions.size(), 1u);
    EXPECT_EQ(decider->questions.front().reason,
              "Zertifikat f\xFCr einen anderen Namen ausgestellt");
    EXPECT_EQ(other.commands().find("USER"), std::string::npos);
}

TEST(SecureConnectionTest, FingerprintPinsTheCertificateEvenAgainstTheSystemStore)
{
    TlsFtpTestServer server({TlsFtpTestServer::Mode::ExplicitRequired, true, "localhost"});
    const std::string address = "ftpes://localhost:" + std::to_string(server.port());
    const auto pinnedTo = [&](const std::string& fingerprint) {
        HostTrust::Settings settings;
        settings.extraCertificatesPath = server.caCertificate();
        settings.pinnedFingerprint = fingerprint;
        return std::make_shared<HostTrust>(settings);
    };
    // The public key's base64 as OpenSSH prints it, and the certificate's hex pairs.
    for (const std::string& own : {server.fingerprint(), server.certificateHexFingerprint()}) {
        SchemeFtpClient client(pinnedTo(own));
        EXPECT_TRUE(client.connect(address, server.user(), server.password(), true))
            << own << ": " << client.lastResponse().text;
    }

    const std::string commandsBefore = server.commands();
    const std::string elsewhere = "SHA256:AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA";
    SchemeFtpClient client(pinnedTo(elsewhere));
    EXPECT_FALSE(client.connect(address, server.user(), server.password(), true));
    EXPECT_EQ(client.lastResponse().code, TransferFailure::untrustedKey)
        << client.lastResponse().text;
    EXPECT_EQ(server.commands().substr(commandsBefore.size()).find("USER"), std::string::npos);
}

TEST(SecureConnectionTest, AcceptedCertificateIsRememberedAndAChangedOneAsksAgainWithAWarning)
{
    TempDir config;
    const std::string keys = config.file("vantiro/trusted_keys");
    TlsFtpTestServer server;
    auto decider = std::make_shared<ScriptedDecider>();
    decider->answers = {true};
    {
        SchemeFtpClient client(askingWith(decider, keys));
        ASSERT_TRUE(
            client.connect(server.address("ftpes://"), server.user(), server.password(), true))
            << client.lastResponse().text;
    }
    EXPECT_NE(test::readFile(keys).find(server.fingerprint()), std::string::npos);

    // A new run: remembered, so no question.
    auto later = std::make_shared<ScriptedDecider>();
    {
        SchemeFtpClient client(askingWith(later, keys));
        EXPECT_TRUE(
            client.connect(server.address("ftpes://"), server.user(), server.password(), true))
            << client.lastResponse().text;
        EXPECT_TRUE(later->questions.empty());
    }

    // The server comes back with another key on the same port.
    const std::string oldFingerprint = server.fingerprint();
    TrustedKeyStore(keys).remember(HostKeyQuestion::Kind::Tls, "127.0.0.1", server.port(),
                                   "SHA256:AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA");
    SchemeFtpClient client(askingWith(later, keys));
    EXPECT_FALSE(
        client.connect(server.address("ftpes://"), server.user(), server.password(), true));
    ASSERT_EQ(later->questions.size(), 1u);
    EXPECT_TRUE(later->questions.front().changed);
    EXPECT_EQ(later->questions.front().previousFingerprint,
              "SHA256:AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA");
    EXPECT_NE(client.lastResponse().text.find("ge\xE4ndert"), std::string::npos);
}

TEST(SecureConnectionTest, RequiredTlsNeverFallsBackToPlainButABareHostDoes)
{
    test::FtpTestServer plain;
    SchemeFtpClient client(nullptr);
    EXPECT_FALSE(
        client.connect("ftpes://" + plain.address(), plain.user(), plain.password(), true));
    EXPECT_EQ(plain.log().find("logged in"), std::string::npos) << plain.log();

    ASSERT_TRUE(client.connect(plain.address(), plain.user(), plain.password(), true))
        << client.lastResponse().text;
    const std::vector<std::string> notices = client.takeNotices();
    ASSERT_FALSE(notices.empty());
    EXPECT_EQ(notices.front(), "Verbindung unverschl\xFCsselt");
    EXPECT_TRUE(client.takeNotices().empty());
}

class SftpTest : public ::testing::Test {
protected:
    SftpTestServer server;
    TempDir home;
};

TEST_F(SftpTest, EncryptsTheLoginAndEveryOperationWorks)
{
    SchemeFtpClient client(pinned(server.fingerprint()));
    ASSERT_TRUE(client.connect(server.address(), server.user(), server.password(), true))
        << client.lastResponse().text << server.log();
    const std::vector<std::string> notices = client.takeNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices.front(), "Verbindung verschl\xFCsselt (SSH)");

    runEveryOperation(client, server.root());
}

TEST_F(SftpTest, LargeUploadArrivesWholeThoughTheServerTakesItInPieces)
{
    // Several megabytes go out in writes of a megabyte, which the server acknowledges piece by
    // piece; every byte must arrive once and in order, and the progress reach the end.
    std::string content(5 * 1024 * 1024 + 12345, '\0');
    std::uint32_t state = 12345;
    for (char& byte : content) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    test::TempDir local;
    test::writeFile(local.file("gross.bin"), content);
    SftpClient client(pinned(server.fingerprint()));
    ASSERT_TRUE(client.connect(server.address(), server.user(), server.password(), true))
        << client.lastResponse().text;
    std::uint64_t lastDone = 0;
    client.setProgress([&](std::uint64_t done, std::uint64_t) { lastDone = done; });
    ASSERT_TRUE(client.putFile(local.file("gross.bin"), "gross.bin", TransferType::Binary))
        << client.lastResponse().text;
    EXPECT_EQ(lastDone, content.size());
    EXPECT_TRUE(test::readFile(server.root() + "/gross.bin") == content);
}

TEST_F(SftpTest, ListsOnlyMatchingNamesAndMarksReadOnlyFiles)
{
    test::writeFile(server.root() + "/a.htm", "a");
    test::writeFile(server.root() + "/b.gif", "bb");
    chmod((server.root() + "/b.gif").c_str(), 0444);
    SchemeFtpClient client(pinned(server.fingerprint()));
    ASSERT_TRUE(client.connect(server.address(), server.user(), server.password(), true));
    std::vector<FtpEntry> entries;
    ASSERT_TRUE(client.findFiles("*.gif", entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries.front().name, "b.gif");
    EXPECT_EQ(entries.front().size, 2u);
    EXPECT_EQ(entries.front().attributes, FtpEntry::normalAttribute | FtpEntry::readOnlyAttribute);
}

TEST_F(SftpTest, UnknownHostKeyIsRefusedBeforeAuthentication)
{
    auto decider = std::make_shared<ScriptedDecider>();
    SchemeFtpClient client(askingWith(decider, {}, home.file("known_hosts")));
    EXPECT_FALSE(client.connect(server.address(), server.user(), server.password(), true));
    EXPECT_EQ(client.lastResponse().code, SftpClient::untrustedKeyCode);
    EXPECT_NE(client.lastResponse().text.find(server.fingerprint()), std::string::npos)
        << client.lastResponse().text;
    ASSERT_EQ(decider->questions.size(), 1u);
    EXPECT_EQ(decider->questions.front().kind, HostKeyQuestion::Kind::Ssh);
    EXPECT_EQ(decider->questions.front().fingerprint, server.fingerprint());
    EXPECT_FALSE(decider->questions.front().changed);
    EXPECT_EQ(server.authLog(), "");
}

TEST_F(SftpTest, HostKeyFromKnownHostsIsTrustedAndAChangedOneIsRefused)
{
    const std::string knownHosts = home.file("known_hosts");
    test::writeFile(knownHosts, "# comment\nunrelated.example ssh-unknown AAAA\n" +
                                    server.knownHostsLine() + "\n");
    auto decider = std::make_shared<ScriptedDecider>();
    {
        SchemeFtpClient client(askingWith(decider, {}, knownHosts));
        EXPECT_TRUE(client.connect(server.address(), server.user(), server.password(), true))
            << client.lastResponse().text;
        EXPECT_TRUE(decider->questions.empty());
    }

    // Another server with another key now answers on a port that known_hosts has a key for.
    SftpTestServer impostor;
    std::string line = server.knownHostsLine();
    line.replace(0, line.find(' '), "[127.0.0.1]:" + std::to_string(impostor.port()));
    test::writeFile(knownHosts, line + "\n");
    SchemeFtpClient client(askingWith(decider, {}, knownHosts));
    EXPECT_FALSE(client.connect(impostor.address(), impostor.user(), impostor.password(), true));
    ASSERT_EQ(decider->questions.size(), 1u);
    EXPECT_TRUE(decider->questions.front().changed);
    EXPECT_EQ(decider->questions.front().fingerprint, impostor.fingerprint());
    EXPECT_EQ(impostor.authLog(), "");
}

TEST_F(SftpTest, WrongPasswordIsARefusedLogin)
{
    SchemeFtpClient client(pinned(server.fingerprint()));
    EXPECT_FALSE(client.connect(server.address(), server.user(), "falsch", true));
    EXPECT_EQ(client.lastResponse().code, 530u);
    EXPECT_FALSE(client.connected());
    EXPECT_NE(server.authLog().find("password"), std::string::npos);
}

TEST_F(SftpTest, CancelledTransferFailsAndTheConnectionGoesOn)
{
    TempDir local;
    test::writeFile(local.file("gross.bin"), randomBytes(2 * 1000 * 1000));
    SchemeFtpClient client(pinned(server.fingerprint()));
    ASSERT_TRUE(client.connect(server.address(), server.user(), server.password(), true));
    std::uint64_t reported = 0;
    client.setProgress([&](std::uint64_t done, std::uint64_t total) {
        reported = done;
        EXPECT_EQ(total, 2u * 1000 * 1000 + 15);
        client.cancel();
    });
    EXPECT_FALSE(client.putFile(local.file("gross.bin"), "gross.bin", TransferType::Binary));
    EXPECT_EQ(client.lastResponse().code, FtpClient::cancelledCode);
    EXPECT_GT(reported, 0u);
    EXPECT_LT(reported, 2u * 1000 * 1000);
    EXPECT_FALSE(test::exists(server.root() + "/gross.bin")) << "no partial file";

    client.setProgress(nullptr);
    std::vector<FtpEntry> entries;
    EXPECT_TRUE(client.findFiles("*.*", entries)) << client.lastResponse().text;
    EXPECT_TRUE(client.connected());
}

TEST_F(SftpTest, UploadCutOffByTheServerIsRemovedOnceTheConnectionIsBack)
{
    TempDir local;
    test::writeFile(local.file("gross.bin"), randomBytes(2 * 1000 * 1000));
    test::writeFile(server.root() + "/gross.bin", "the page as it was");
    SchemeFtpClient client(pinned(server.fingerprint()));
    ASSERT_TRUE(client.connect(server.address(), server.user(), server.password(), true));
    bool dropped = false;
    client.setProgress([&](std::uint64_t done, std::uint64_t) {
        if (!dropped && done > 500 * 1000) {
            dropped = true;
            server.dropConnections();
        }
    });
    EXPECT_FALSE(client.putFile(local.file("gross.bin"), "gross.bin", TransferType::Binary));
    EXPECT_NE(client.lastResponse().code, 0u);
    client.setProgress(nullptr);

    // The next call logs in again and removes the partial file first.
    std::vector<FtpEntry> entries;
    ASSERT_TRUE(client.findFiles("*.*", entries)) << client.lastResponse().text;
    EXPECT_EQ(entries.size(), 0u);
    EXPECT_FALSE(test::exists(server.root() + "/gross.bin"));
}

TEST_F(SftpTest, ConnectionTheServerDroppedIsOpenedAgainInTheSameFolder)
{
    std::filesystem::create_directory(server.root() + "/sub");
    test::writeFile(server.root() + "/sub/inside.htm", "x");
    SchemeFtpClient client(pinned(server.fingerprint()));
    ASSERT_TRUE(client.connect(server.address(), server.user(), server.password(), true));
    ASSERT_TRUE(client.setCurrentDirectory("sub"));
    client.takeNotices();

    server.dropConnections();
    std::vector<FtpEntry> entries;
    ASSERT_TRUE(client.findFiles("*.*", entries)) << client.lastResponse().text;
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries.front().name, "inside.htm");
    EXPECT_EQ(client.takeNotices(), std::vector<std::string>{"Verbindung wiederhergestellt"});
    const std::string auth = server.authLog();
    EXPECT_EQ(std::count(auth.begin(), auth.end(), '\n'), 4) << auth;

    // Closed by the user, it stays closed.
    client.close();
    EXPECT_FALSE(client.findFiles("*.*", entries));
    EXPECT_EQ(client.lastResponse().code, 12007u);
}

TEST_F(SftpTest, ServerThatStopsAnsweringEndsTheCallWithATimeout)
{
    SftpClient client(pinned(server.fingerprint()));
    // A timeout under a second used to end the login now and then after a few milliseconds.
    // Each step of the login has the whole timeout, so a loaded machine still logs in.
    client.setTimeout(std::chrono::milliseconds(900));
    ASSERT_TRUE(client.connect(server.address(), server.user(), server.password(), true))
        << client.lastResponse().text;
    server.pause();
    std::vector<FtpEntry> entries;
    EXPECT_FALSE(client.findFiles("*.*", entries));
    EXPECT_EQ(client.lastResponse().code, CurlFtpClient::timeoutCode) << client.lastResponse().text;
    EXPECT_EQ(client.lastResponse().text, "Zeit\xFC"
                                          "berschreitung: Der Server antwortet zu langsam")
        << "as over FTP";
    server.resume();
}

TEST_F(SftpTest, TimeoutSetOnAnOpenConnectionTakesEffect)
{
    SftpClient client(pinned(server.fingerprint()));
    ASSERT_TRUE(client.connect(server.address(), server.user(), server.password(), true))
        << client.lastResponse().text;
    client.setTimeout(std::chrono::milliseconds(500));
    server.pause();
    std::vector<FtpEntry> entries;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(client.findFiles("*.*", entries));
    // Well below the minute the connection started with.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
    server.resume();
}

} // namespace
} // namespace vantiro
