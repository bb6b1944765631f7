#include "platform/CurlFtpClient.h"
#include "platform/DownloadTarget.h"
#include "platform/ScriptedFtpServer.h"
#include "support/FtpTestServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utime.h>

namespace vantiro {
namespace {

namespace fs = std::filesystem;

// 2002-09-02 14:05:59 UTC, a Monday.
constexpr time_t oldChangeTime = 1030975559;

void setChangeTime(const std::string& path, time_t time)
{
    const utimbuf times{time, time};
    ASSERT_EQ(utime(path.c_str(), &times), 0) << path;
}

std::vector<FtpEntry> sortedByName(std::vector<FtpEntry> entries)
{
    std::sort(entries.begin(), entries.end(),
              [](const FtpEntry& a, const FtpEntry& b) { return a.name < b.name; });
    return entries;
}

std::vector<std::string> namesOf(const std::vector<FtpEntry>& entries)
{
    std::vector<std::string> names;
    for (const FtpEntry& entry : sortedByName(entries))
        names.push_back(entry.name);
    return names;
}

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string allByteValues()
{
    std::string bytes = "line\r\nunix\nmac\r";
    for (int value = 0; value < 256; ++value)
        bytes += static_cast<char>(value);
    return bytes;
}

class CurlFtpClientTest : public ::testing::Test {
protected:
    void connect(test::FtpTestServer& to)
    {
        ASSERT_TRUE(client.connect(to.address(), to.user(), to.password(), true))
            << client.lastResponse().code << ' ' << client.lastResponse().text << '\n'
            << to.log();
    }
    std::string remote(const std::string& relative) const { return server.root() + "/" + relative; }
    std::string response() const
    {
        return std::to_string(client.lastResponse().code) + ' ' + client.lastResponse().text;
    }

    test::FtpTestServer server;
    test::TempDir local;
    CurlFtpClient client;
};

TEST_F(CurlFtpClientTest, RefusedLoginReportsTheServerReplyWithoutThePassword)
{
    EXPECT_FALSE(client.connect(server.address(), server.user(), "Falsches-Passwort", true));
    EXPECT_EQ(client.lastResponse().code, 530u);
    EXPECT_EQ(client.lastResponse().text.substr(0, 4), "530 ");
    EXPECT_EQ(client.lastResponse().text.find("Falsches-Passwort"), std::string::npos);
    EXPECT_FALSE(client.connected());
    EXPECT_FALSE(client.setCurrentDirectory("/"));
    EXPECT_EQ(client.lastResponse().code, 12007u);

    EXPECT_FALSE(client.connect("127.0.0.1:99999", server.user(), server.password(), true));
    EXPECT_EQ(client.lastResponse().code, 12003u);
    EXPECT_FALSE(client.connect("", server.user(), server.password(), true));
    EXPECT_EQ(client.lastResponse().code, 12003u);
}

TEST_F(CurlFtpClientTest, LoginOnHostColonPortStartsAtTopFolderAndCloseDisconnects)
{
    connect(server);
    EXPECT_EQ(client.lastResponse().code, 0u);
    EXPECT_TRUE(client.connected());
    EXPECT_EQ(client.currentDirectory(), "/");

    test::FtpTestServer other;
    test::writeFile(other.root() + "/only-here.htm", "x");
    connect(other);
    std::vector<FtpEntry> entries;
    ASSERT_TRUE(client.findFiles("*.*", entries)) << response();
    EXPECT_EQ(namesOf(entries), std::vector<std::string>{"only-here.htm"})
        << "the port after the colon chose the server";

    client.close();
    EXPECT_FALSE(client.connected());
    EXPECT_FALSE(client.findFiles("*.*", entries));
    EXPECT_TRUE(entries.empty());
}

TEST_F(CurlFtpClientTest, MlsdListingGivesAttributesSizesTimesAndHonoursThePattern)
{
    test::writeFile(remote("Index.htm"), "12345");
    setChangeTime(remote("Index.htm"), oldChangeTime);
    test::writeFile(remote("a1.htm"), "");
    test::writeFile(remote("README"), "no dot");
    fs::create_directory(remote("images"));
    connect(server);

    std::vector<FtpEntry> entries;
    ASSERT_TRUE(client.findFiles("*.*", entries)) << response();
    EXPECT_EQ(client.lastResponse().code, 0u);
    const auto sorted = sortedByName(entries);
    ASSERT_EQ(namesOf(entries),
              (std::vector<std::string>{"Index.htm", "README", "a1.htm", "images"}));
    EXPECT_EQ(sorted[0].attributes, 128u);
    EXPECT_EQ(sorted[0].size, 5u);
    EXPECT_EQ(sorted[0].lastWrite.year, 2002);
    EXPECT_EQ(sorted[0].lastWrite.month, 9);
    EXPECT_EQ(sorted[0].lastWrite.day, 2);
    EXPECT_EQ(sorted[0].lastWrite.dayOfWeek, 1);
    EXPECT_EQ(sorted[0].lastWrite.hour, 14) << "MLSD times are UTC and stay so";
    EXPECT_EQ(sorted[0].lastWrite.minute, 5);
    EXPECT_EQ(sorted[0].lastWrite.second, 59);
    EXPECT_EQ(sorted[3].attributes, 16u);

    ASSERT_TRUE(client.findFiles("*.HTM", entries));
    EXPECT_EQ(namesOf(entries), (std::vector<std::string>{"Index.htm", "a1.htm"}));
    ASSERT_TRUE(client.findFiles("?1.*", entries));
    EXPECT_EQ(namesOf(entries), std::vector<std::string>{"a1.htm"});
    ASSERT_TRUE(client.findFiles("", entries));
    EXPECT_EQ(entries.size(), 4u);
    ASSERT_TRUE(client.findFiles("*.gif", entries));
    EXPECT_TRUE(entries.empty());
}

TEST_F(CurlFtpClientTest, ServerWithoutMlsdIsReadWithListIncludingReadOnlyFiles)
{
    test::FtpTestServer listOnly(test::FtpTestServer::Options{.mlsd = false});
    const std::string root = listOnly.root();
    test::writeFile(root + "/Index.htm", "12345");
    setChangeTime(root + "/Index.htm", oldChangeTime);
    test::writeFile(root + "/locked.htm", "abc");
    chmod((root + "/locked.htm").c_str(), 0444);
    test::writeFile(root + "/my page.htm", "");
    fs::create_directory(root + "/images");
    connect(listOnly);

    std::vector<FtpEntry> entries;
    ASSERT_TRUE(client.findFiles("*.*", entries)) << response() << '\n' << listOnly.log();
    const auto sorted = sortedByName(entries);
    ASSERT_EQ(namesOf(entries),
              (std::vector<std::string>{"Index.htm", "images", "locked.htm", "my page.htm"}));
    EXPECT_EQ(sorted[0].attributes, 128u);
    EXPECT_EQ(sorted[0].size, 5u);
    EXPECT_EQ(sorted[0].lastWrite.year, 2002);
    EXPECT_EQ(sorted[0].lastWrite.month, 9);
    EXPECT_EQ(sorted[0].lastWrite.day, 2);
    EXPECT_EQ(sorted[0].lastWrite.hour, 0) << "an old LIST date shows a year and no time";
    EXPECT_EQ(sorted[1].attributes, 16u);
    EXPECT_EQ(sorted[2].attributes, 129u);

    ASSERT_TRUE(client.setCurrentDirectory("/images/"));
    ASSERT_TRUE(client.findFiles("*.*", entries)) << "the fallback stays in use";
    EXPECT_TRUE(entries.empty());
}

TEST_F(CurlFtpClientTest, CurrentFolderChangesOnlyWhenTheServerAcceptsIt)
{
    fs::create_directories(remote("sub/deeper"));
    test::writeFile(remote("sub/deeper/inside.htm"), "x");
    connect(server);

    ASSERT_TRUE(client.setCurrentDirectory("/sub/")) << response();
    EXPECT_EQ(client.currentDirectory(), "/sub");
    std::vector<FtpEntry> entries;
    ASSERT_TRUE(client.findFiles("*.*", entries));
    EXPECT_EQ(namesOf(entries), std::vector<std::string>{"deeper"});

    ASSERT_TRUE(client.setCurrentDirectory("deeper"));
    EXPECT_EQ(client.currentDirectory(), "/sub/deeper");
    ASSERT_TRUE(client.findFiles("*.*", entries));
    EXPECT_EQ(namesOf(entries), std::vector<std::string>{"inside.htm"});

    ASSERT_TRUE(client.setCurrentDirectory("/sub/deeper/.."));
    EXPECT_EQ(client.currentDirectory(), "/sub");

    EXPECT_FALSE(client.setCurrentDirectory("/missing/"));
    EXPECT_EQ(client.lastResponse().code, 550u);
    EXPECT_EQ(client.currentDirectory(), "/sub");
    EXPECT_FALSE(client.setCurrentDirectory("/sub/deeper/inside.htm"));
    EXPECT_EQ(client.currentDirectory(), "/sub");
    EXPECT_TRUE(client.connected()) << "a refused command keeps the connection";
    ASSERT_TRUE(client.findFiles("*.*", entries));
    EXPECT_EQ(namesOf(entries), std::vector<std::string>{"deeper"});
}

TEST_F(CurlFtpClientTest, BinaryTransfersKeepEveryByte)
{
    const std::string bytes = allByteValues();
    test::writeFile(local.file("up.bin"), bytes);
    connect(server);

    ASSERT_TRUE(client.putFile(local.file("up.bin"), "Up.BIN", TransferType::Binary)) << response();
    EXPECT_EQ(client.lastResponse().code, 0u);
    EXPECT_EQ(test::readFile(remote("Up.BIN")), bytes) << "the remote name keeps its letter case";

    ASSERT_TRUE(client.getFile("Up.BIN", local.file("down.bin"), true, TransferType::Binary))
        << response();
    EXPECT_EQ(test::readFile(local.file("down.bin")), bytes);
}

TEST_F(CurlFtpClientTest, AsciiTransfersConvertLineEnds)
{
    test::writeFile(remote("server.txt"), "a\nb\r\nc\rd\n");
    test::writeFile(local.file("page.htm"), "<P>\r\nzwei\nend");
    connect(server);

    ASSERT_TRUE(client.getFile("server.txt", local.file("ascii.txt"), true, TransferType::Ascii))
        << response();
    EXPECT_EQ(test::readFile(local.file("ascii.txt")), "a\nb\nc\rd\n")
        << "CR LF from the network becomes LF, a lone CR stays";
    ASSERT_TRUE(client.getFile("server.txt", local.file("binary.txt"), true, TransferType::Binary));
    EXPECT_EQ(test::readFile(local.file("binary.txt")), "a\nb\r\nc\rd\n");

    ASSERT_TRUE(client.putFile(local.file("page.htm"), "page.htm", TransferType::Ascii))
        << response();
    EXPECT_EQ(test::readFile(remote("page.htm")), "<P>\nzwei\nend")
        << "every line went as CR LF, which this server stores as LF; no doubled CR";

    ASSERT_TRUE(client.putFile(local.file("page.htm"), "binary.htm", TransferType::Binary));
    EXPECT_EQ(test::readFile(remote("binary.htm")), "<P>\r\nzwei\nend");

    // Runs of one type and listings in between: each transfer still goes in its own type.
    const std::vector<TransferType> order = {TransferType::Binary, TransferType::Binary,
                                             TransferType::Ascii,  TransferType::Ascii,
                                             TransferType::Binary, TransferType::Ascii};
    for (size_t i = 0; i < order.size(); ++i) {
        std::vector<FtpEntry> entries;
        if (i % 3 == 2) {
            ASSERT_TRUE(client.findFiles("*.*", entries));
        }
        const std::string name = "run" + std::to_string(i) + ".htm";
        ASSERT_TRUE(client.putFile(local.file("page.htm"), name, order[i])) << response();
        EXPECT_EQ(test::readFile(remote(name)),
                  order[i] == TransferType::Ascii ? "<P>\nzwei\nend" : "<P>\r\nzwei\nend")
            << i;
        ASSERT_TRUE(client.getFile("server.txt", local.file(name), true, order[i]));
        EXPECT_EQ(test::readFile(local.file(name)),
                  order[i] == TransferType::Ascii ? "a\nb\nc\rd\n" : "a\nb\r\nc\rd\n")
            << i;
    }
}

TEST_F(CurlFtpClientTest, DownloadNeverReplacesAnExistingFileNorLeavesAPartialOne)
{
    test::writeFile(remote("page.htm"), "theirs");
    test::writeFile(local.file("page.htm"), "mine");
    connect(server);

    EXPECT_FALSE(client.getFile("page.htm", local.file("page.htm"), true, TransferType::Binary));
    EXPECT_EQ(client.lastResponse().code, 12023u);
    EXPECT_EQ(test::readFile(local.file("page.htm")), "mine");

    EXPECT_FALSE(
        client.getFile("missing.htm", local.file("missing.htm"), true, TransferType::Binary));
    EXPECT_EQ(client.lastResponse().code, 550u);
    EXPECT_EQ(filesIn(local.path()), std::vector<std::string>{"page.htm"})
        << "neither the refused nor the failed download left a file";

    EXPECT_FALSE(
        client.getFile("page.htm", local.file("no-folder/page.htm"), false, TransferType::Binary));
    EXPECT_EQ(client.lastResponse().code, 12023u);

    ASSERT_TRUE(client.getFile("page.htm", local.file("page.htm"), false, TransferType::Binary));
    EXPECT_EQ(test::readFile(local.file("page.htm")), "theirs");
    EXPECT_EQ(filesIn(local.path()), std::vector<std::string>{"page.htm"});
}

TEST_F(CurlFtpClientTest, DownloadThatWouldFillTheDiskStopsWithItsReasonAndLeavesNoFile)
{
    test::writeFile(remote("big.bin"), std::string(200000, 'x'));
    connect(server);
    // A disk of 20 GB with 150 MB free: a hundredth is 200 MB, so nothing more may be written.
    const auto restore = DownloadTarget::setSpaceProbe([](const std::string&) {
        return DownloadTarget::Space{20'000'000'000ULL, 150'000'000ULL};
    });
    const bool fetched =
        client.getFile("big.bin", local.file("big.bin"), false, TransferType::Binary);
    DownloadTarget::setSpaceProbe(restore);
    EXPECT_FALSE(fetched);
    EXPECT_NE(client.lastResponse().text.find("Speicherplatz"), std::string::npos) << response();
    EXPECT_TRUE(filesIn(local.path()).empty());
}

TEST_F(CurlFtpClientTest, UploadFailuresReportLocalAndRemoteCauses)
{
    connect(server);
    EXPECT_FALSE(client.putFile(local.file("missing.htm"), "missing.htm", TransferType::Binary));
    EXPECT_EQ(client.lastResponse().code, 12026u);
    EXPECT_FALSE(client.putFile(local.path(), "folder", TransferType::Binary));
    EXPECT_EQ(client.lastResponse().code, 12026u);
    // A pipe without a writer would hold the upload for ever.
    ASSERT_EQ(::mkfifo(local.file("pipe.htm").c_str(), 0600), 0);
    EXPECT_FALSE(client.putFile(local.file("pipe.htm"), "pipe.htm", TransferType::Binary));
    EXPECT_EQ(client.lastResponse().code, 12026u);

    test::writeFile(local.file("page.htm"), "x");
    EXPECT_FALSE(
        client.putFile(local.file("page.htm"), "no-folder/page.htm", TransferType::Binary));
    EXPECT_GE(client.lastResponse().code, 500u);
    EXPECT_LE(client.lastResponse().code, 599u);
    EXPECT_TRUE(client.connected());
    EXPECT_EQ(filesIn(server.root()), std::vector<std::string>{});
}

TEST_F(CurlFtpClientTest, FolderAndFileOperationsChangeTheServerAndReportRefusals)
{
    test::writeFile(remote("old.htm"), "x");
    connect(server);

    ASSERT_TRUE(client.createDirectory("neu")) << response();
    EXPECT_TRUE(fs::is_directory(remote("neu")));
    EXPECT_FALSE(client.createDirectory("neu"));
    EXPECT_EQ(client.lastResponse().code, 550u);

    ASSERT_TRUE(client.renameFile("old.htm", "new.htm")) << response();
    EXPECT_EQ(filesIn(server.root()), (std::vector<std::string>{"neu", "new.htm"}));
    EXPECT_FALSE(client.renameFile("old.htm", "other.htm"));
    EXPECT_EQ(client.lastResponse().code, 550u);

    ASSERT_TRUE(client.setCurrentDirectory("/neu/"));
    ASSERT_TRUE(client.renameFile("/new.htm", "moved.htm")) << "an absolute name is taken as is";
    EXPECT_TRUE(test::exists(remote("neu/moved.htm")));
    ASSERT_TRUE(client.deleteFile("moved.htm")) << response();
    EXPECT_FALSE(client.deleteFile("moved.htm"));
    EXPECT_EQ(client.lastResponse().code, 550u);

    ASSERT_TRUE(client.setCurrentDirectory(".."));
    ASSERT_TRUE(client.removeDirectory("neu")) << response();
    EXPECT_EQ(filesIn(server.root()), std::vector<std::string>{});
    EXPECT_FALSE(client.removeDirectory("neu"));
    EXPECT_EQ(client.lastResponse().code, 550u);
    EXPECT_TRUE(client.connected());
}

TEST_F(CurlFtpClientTest, NamesWithBlanksHashPercentAndUmlautsTravelUnchanged)
{
    const std::string folder = "Ordner #1 mit 100%";
    const std::string name = "M\xC3\xBCller & S\xC3\xB6hne ?.htm";
    test::writeFile(local.file("source.htm"), "inhalt");
    connect(server);

    ASSERT_TRUE(client.createDirectory(folder)) << response();
    ASSERT_TRUE(client.setCurrentDirectory("/" + folder + "/")) << response();
    ASSERT_TRUE(client.putFile(local.file("source.htm"), name, TransferType::Binary)) << response();
    EXPECT_EQ(test::readFile(remote(folder + "/" + name)), "inhalt");

    std::vector<FtpEntry> entries;
    ASSERT_TRUE(client.findFiles("*.*", entries));
    EXPECT_EQ(namesOf(entries), std::vector<std::string>{name});
    ASSERT_TRUE(client.getFile(name, local.file("back.htm"), true, TransferType::Binary))
        << response();
    EXPECT_EQ(test::readFile(local.file("back.htm")), "inhalt");
    ASSERT_TRUE(client.renameFile(name, name + " #2")) << response();
    ASSERT_TRUE(client.deleteFile(name + " #2")) << response();
    EXPECT_EQ(filesIn(remote(folder)), std::vector<std::string>{});
}

TEST_F(CurlFtpClientTest, NameWithAControlByteIsRefusedAloneAndTheConnectionGoesOn)
{
    test::writeFile(remote("victim.htm"), "x");
    test::writeFile(local.file("page.htm"), "inhalt");
    connect(server);
    EXPECT_FALSE(client.deleteFile("x\r\nDELE /victim.htm"));
    EXPECT_EQ(client.lastResponse().code, 12003u);
    EXPECT_FALSE(client.renameFile("victim.htm", "a\nb"));
    EXPECT_FALSE(client.setCurrentDirectory(std::string("/\0", 2)));
    for (const std::string name : {"tab\there.htm", "esc\x1B.htm", "del\x7F.htm"}) {
        EXPECT_FALSE(client.putFile(local.file("page.htm"), name, TransferType::Binary)) << name;
        EXPECT_EQ(client.lastResponse().code, CurlFtpClient::unsendableNameCode) << name;
        EXPECT_EQ(client.lastResponse().text,
                  "Der Name enth\xE4lt ein Steuerzeichen und kann nicht gesendet werden");
        ASSERT_TRUE(client.putFile(local.file("page.htm"), "next.htm", TransferType::Binary))
            << "the file after it still goes: " << response();
    }
    EXPECT_EQ(filesIn(server.root()), (std::vector<std::string>{"next.htm", "victim.htm"}));
    EXPECT_TRUE(client.connected());
    EXPECT_TRUE(client.takeNotices().empty()) << "no new login was needed";
}

TEST_F(CurlFtpClientTest, ListingsKeepACarriageReturnInsideANameOnBothListingKinds)
{
    test::FtpTestServer listOnly(test::FtpTestServer::Options{.mlsd = false});
    for (test::FtpTestServer* to : {&server, &listOnly}) {
        test::writeFile(to->root() + "/cr\rinside.htm", "x");
        test::writeFile(to->root() + "/plain.htm", "y");
        CurlFtpClient reader;
        ASSERT_TRUE(reader.connect(to->address(), to->user(), to->password(), true));
        std::vector<FtpEntry> entries;
        ASSERT_TRUE(reader.findFiles("*.*", entries)) << reader.lastResponse().text;
        EXPECT_EQ(namesOf(entries), (std::vector<std::string>{"cr\rinside.htm", "plain.htm"}));
        // No command can carry a CR, so that name alone is refused.
        EXPECT_FALSE(
            reader.getFile("cr\rinside.htm", local.file("copy.htm"), false, TransferType::Binary));
        EXPECT_EQ(reader.lastResponse().code, CurlFtpClient::unsendableNameCode);
        ASSERT_TRUE(
            reader.getFile("plain.htm", local.file("copy.htm"), false, TransferType::Binary));
        EXPECT_EQ(test::readFile(local.file("copy.htm")), "y");
    }
}

TEST_F(CurlFtpClientTest, ProgressCountsEveryByteAndCancelLeavesNoPartialFileOnEitherSide)
{
    const std::string big(24 * 1024 * 1024, 'v');
    test::writeFile(local.file("big.bin"), big);
    connect(server);

    std::vector<std::pair<std::uint64_t, std::uint64_t>> steps;
    client.setProgress(
        [&](std::uint64_t done, std::uint64_t total) { steps.emplace_back(done, total); });
    ASSERT_TRUE(client.putFile(local.file("big.bin"), "whole.bin", TransferType::Binary));
    ASSERT_FALSE(steps.empty());
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
    EXPECT_EQ(steps.back(), std::make_pair(std::uint64_t{big.size()}, std::uint64_t{big.size()}));

    client.setProgress([&](std::uint64_t done, std::uint64_t) {
        if (done > 1024 * 1024)
            client.cancel();
    });
    EXPECT_FALSE(client.putFile(local.file("big.bin"), "half.bin", TransferType::Binary));
    EXPECT_EQ(client.lastResponse().code, FtpClient::cancelledCode);
    EXPECT_FALSE(test::exists(remote("half.bin"))) << "the partial upload is deleted";
    EXPECT_FALSE(client.getFile("whole.bin", local.file("back.bin"), true, TransferType::Binary));
    EXPECT_EQ(client.lastResponse().code, FtpClient::cancelledCode);
    EXPECT_EQ(filesIn(local.path()), std::vector<std::string>{"big.bin"});

    client.setProgress(nullptr);
    client.cancel();
    EXPECT_FALSE(client.setCurrentDirectory("/")) << "a cancel while idle stops the next call";
    EXPECT_EQ(client.lastResponse().code, FtpClient::cancelledCode);
    ASSERT_TRUE(client.getFile("whole.bin", local.file("back.bin"), true, TransferType::Binary))
        << "and only that one: " << response();
    EXPECT_EQ(test::readFile(local.file("back.bin")), big);
}

TEST(CurlFtpClientConnectTest, CancelStopsAConnectThatWaitsForTheGreeting)
{
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string server = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));

    CurlFtpClient client;
    std::thread canceller([&client] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        client.cancel();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(client.connect(server, "user", "secret", true));
    const auto waited = std::chrono::steady_clock::now() - start;
    canceller.join();
    EXPECT_EQ(client.lastResponse().code, FtpClient::cancelledCode);
    EXPECT_LT(waited, std::chrono::seconds(5));
    EXPECT_FALSE(client.connected());
    close(listener);
}

TEST(CurlFtpClientRepliesTest, OnlyFinalPositiveRepliesCountAndMultiLineRepliesStayWhole)
{
    test::ScriptedFtpServer server(false);
    CurlFtpClient client;
    ASSERT_TRUE(client.connect(server.address(), "user", "a", true)) << client.lastResponse().text;

    EXPECT_FALSE(client.setCurrentDirectory("/lone")) << "a preliminary reply is no success";
    EXPECT_EQ(client.lastResponse().code, 150u);
    EXPECT_EQ(client.lastResponse().text, "150 Wait for it");
    EXPECT_EQ(client.currentDirectory(), "/");

    EXPECT_TRUE(client.createDirectory("/inner")) << client.lastResponse().text;
    EXPECT_EQ(client.lastResponse().text, "257-First line\n550 inner line\n257 Done");

    EXPECT_FALSE(client.deleteFile("/inner"));
    EXPECT_EQ(client.lastResponse().code, 550u);
    EXPECT_EQ(client.lastResponse().text, "550-Cannot delete\n250 inner line\n550 End")
        << "a one-letter password leaves the words around it alone";

    ASSERT_TRUE(client.createDirectory("neu")) << "commands and replies pair up again";
    const std::string sent = server.commands();
    EXPECT_NE(sent.find("MKD /neu\n"), std::string::npos) << sent;
    EXPECT_EQ(sent.find("MKD /neu\n"), sent.rfind("MKD /neu\n")) << "sent once: " << sent;
}

TEST(CurlFtpClientRepliesTest, ReplyThatTricklesEndsAsATimeoutOfItsOwn)
{
    test::ScriptedFtpServer server(false);
    CurlFtpClient client;
    CurlFtpClient::Limits limits;
    limits.stallBytes = 64;
    limits.stallTime = std::chrono::milliseconds(1000);
    client.setLimits(limits);
    ASSERT_TRUE(client.connect(server.address(), "user", "secret", true));

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(client.setCurrentDirectory("/trickle"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(client.lastResponse().code, CurlFtpClient::timeoutCode);
    EXPECT_EQ(client.lastResponse().text, "Zeit\xFC"
                                          "berschreitung: Der Server antwortet zu langsam");
    EXPECT_EQ(client.currentDirectory(), "/");
}

TEST(CurlFtpClientRepliesTest, ReplyThatNeverEndsIsCutOffAndTheConnectionGivenUp)
{
    test::ScriptedFtpServer server(false);
    CurlFtpClient client;
    ASSERT_TRUE(client.connect(server.address(), "user", "secret", true));

    // libcurl gives up on a reply past 300 KB, long before its response timeout; the client
    // must take that as the end of the connection, not wait or keep what came.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(client.setCurrentDirectory("/endless"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(client.lastResponse().code, 12056u) << client.lastResponse().text.substr(0, 200);
    EXPECT_EQ(client.lastResponse().text, "Verbindung zum Server unterbrochen");
    EXPECT_FALSE(client.connected());
    EXPECT_EQ(client.currentDirectory(), "/");
}

TEST(CurlFtpClientRepliesTest, CloseDoesNotWaitLongForAServerThatStoppedAnswering)
{
    test::ScriptedFtpServer server(false);
    CurlFtpClient client;
    ASSERT_TRUE(client.connect(server.address(), "user", "secret", true));
    ASSERT_TRUE(client.createDirectory("hang"));
    EXPECT_TRUE(client.connected());
    const auto start = std::chrono::steady_clock::now();
    client.close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_FALSE(client.connected());
}

TEST(CurlFtpClientNamesTest, TypedNamesGoOutInUtf8OnlyWhenTheServerAgreedAndListedNamesAsTheyCame)
{
    const std::string typed = "M\xFCller";               // Windows-1252, as typed
    const std::string listed = "Gr\xC3\xBC\xC3\x9F.htm"; // UTF-8, as a server listed it
    const std::string listedOld = "Gr\xFC\xDF.htm";      // Windows-1252, as listed
    test::ScriptedFtpServer utf8Server(true);
    CurlFtpClient utf8;
    ASSERT_TRUE(utf8.connect(utf8Server.address(), "user", "secret", true));
    EXPECT_TRUE(utf8.utf8Names());
    ASSERT_TRUE(utf8.createDirectory(typed));
    ASSERT_TRUE(utf8.renameFile(listed, listed));
    ASSERT_TRUE(utf8.setCurrentDirectory("/" + listed + "/" + typed));
    const std::string sent = utf8Server.commands();
    EXPECT_NE(sent.find("OPTS UTF8 ON\n"), std::string::npos) << sent;
    EXPECT_NE(sent.find("MKD /M\xC3\xBCller\n"), std::string::npos) << sent;
    EXPECT_NE(sent.find("RNTO /" + listed + "\n"), std::string::npos) << sent;
    EXPECT_NE(sent.find("CWD /" + listed + "/M\xC3\xBCller\n"), std::string::npos)
        << "each folder of a path on its own: " << sent;

    test::ScriptedFtpServer plainServer(false);
    CurlFtpClient plain;
    ASSERT_TRUE(plain.connect(plainServer.address(), "user", "secret", true));
    EXPECT_FALSE(plain.utf8Names());
    ASSERT_TRUE(plain.createDirectory(typed));
    ASSERT_TRUE(plain.renameFile(listedOld, listedOld));
    const std::string plainSent = plainServer.commands();
    EXPECT_EQ(plainSent.find("OPTS"), std::string::npos) << plainSent;
    EXPECT_NE(plainSent.find("MKD /" + typed + "\n"), std::string::npos) << plainSent;
    EXPECT_NE(plainSent.find("RNFR /" + listedOld + "\nRNTO /" + listedOld + "\n"),
              std::string::npos)
        << "a Windows-1252 name left unchanged renames nothing: " << plainSent;
    EXPECT_EQ(plainSent.find("secret"), std::string::npos);
}

// Names of local files and names typed in the window are UTF-8; a server that did not announce
// UTF8 gets them in Windows-1252, unless that code page cannot hold them.
TEST(CurlFtpClientNamesTest, Utf8NamesGoOutInWindows1252ToServersWithoutUtf8)
{
    test::ScriptedFtpServer plainServer(false);
    CurlFtpClient plain;
    ASSERT_TRUE(plain.connect(plainServer.address(), "user", "secret", true));
    ASSERT_FALSE(plain.utf8Names());
    ASSERT_TRUE(plain.createDirectory("Gr\xC3\xBC\xC3\x9F"));
    ASSERT_TRUE(plain.deleteFile("\xC5\x81\xC3\xB3"
                                 "d\xC5\xBA.htm"));
    const std::string sent = plainServer.commands();
    EXPECT_NE(sent.find("MKD /Gr\xFC\xDF\n"), std::string::npos) << sent;
    EXPECT_NE(sent.find("DELE /\xC5\x81\xC3\xB3"
                        "d\xC5\xBA.htm\n"),
              std::string::npos)
        << "no Windows-1252 for it, and never a '?' in its place: " << sent;
}

// pyftpdlib announces UTF8 in FEAT and refuses OPTS UTF8 ON with 501, reading UTF-8 all along.
TEST(CurlFtpClientNamesTest, ServerThatAnnouncesUtf8ButRefusesOptsStillGetsUtf8)
{
    test::FtpTestServer server;
    CurlFtpClient client;
    ASSERT_TRUE(client.connect(server.address(), server.user(), server.password(), true))
        << client.lastResponse().text;
    EXPECT_TRUE(client.utf8Names());
    ASSERT_TRUE(client.createDirectory("M\xFCller")) << client.lastResponse().text;
    EXPECT_TRUE(test::exists(server.root() + "/M\xC3\xBCller")) << server.log();
}

size_t loginsIn(const std::string& log)
{
    size_t logins = 0;
    for (size_t pos = log.find("logged in"); pos != std::string::npos;
         pos = log.find("logged in", pos + 1))
        ++logins;
    return logins;
}

TEST_F(CurlFtpClientTest, StoppedServerIsNoticedAndLaterCallsFailAsLostConnection)
{
    connect(server);
    std::vector<FtpEntry> entries;
    ASSERT_TRUE(client.findFiles("*.*", entries));

    server.stop();
    EXPECT_FALSE(client.connected());
    EXPECT_FALSE(client.findFiles("*.*", entries));
    EXPECT_EQ(client.lastResponse().code, 12056u);
    EXPECT_EQ(client.lastResponse().text, "Verbindung zum Server unterbrochen");
    EXPECT_FALSE(client.setCurrentDirectory("/"));
    EXPECT_FALSE(client.putFile(local.path(), "x", TransferType::Binary));
    EXPECT_EQ(client.lastResponse().code, 12056u);
    EXPECT_TRUE(client.takeNotices().empty());
}

TEST_F(CurlFtpClientTest, ConnectionTheServerClosedWhenIdleIsLoggedInAgainInTheSameFolder)
{
    test::FtpTestServer impatient(test::FtpTestServer::Options{.idleTimeoutSeconds = 1});
    fs::create_directory(impatient.root() + "/sub");
    test::writeFile(impatient.root() + "/sub/inside.htm", "x");
    connect(impatient);
    ASSERT_TRUE(client.setCurrentDirectory("/sub"));
    // The server's one-second idle limit, and however long a busy machine adds to it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (client.connected() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));

    ASSERT_FALSE(client.connected());
    std::vector<FtpEntry> entries;
    ASSERT_TRUE(client.findFiles("*.*", entries)) << response() << impatient.log();
    EXPECT_EQ(namesOf(entries), std::vector<std::string>{"inside.htm"});
    EXPECT_EQ(client.currentDirectory(), "/sub");
    EXPECT_EQ(client.takeNotices(), std::vector<std::string>{"Verbindung wiederhergestellt"});
    EXPECT_TRUE(client.takeNotices().empty()) << "each note is handed out once";
    EXPECT_EQ(loginsIn(impatient.log()), 2u) << impatient.log();
}

TEST_F(CurlFtpClientTest, IdleConnectionOutlivesLibcurlsReuseAgeUnlessAShortOneIsSet)
{
    for (const bool shortAge : {false, true}) {
        CurlFtpClient idle;
        if (shortAge) {
            CurlFtpClient::Limits limits;
            limits.connectionAge = std::chrono::seconds(1);
            idle.setLimits(limits);
        }
        ASSERT_TRUE(idle.connect(server.address(), server.user(), server.password(), true));
        ASSERT_TRUE(idle.setCurrentDirectory("/"));
        std::this_thread::sleep_for(std::chrono::milliseconds(2100));
        std::vector<FtpEntry> entries;
        ASSERT_TRUE(idle.findFiles("*.*", entries)) << idle.lastResponse().text;
        // With an age shorter than the pause, libcurl gives the connection up and the client
        // logs in again itself; with the client's own age nothing happens.
        EXPECT_EQ(idle.takeNotices().size(), shortAge ? 1u : 0u) << shortAge;
    }
}

TEST_F(CurlFtpClientTest, KeepAliveHoldsAnIdleConnectionPastTheServerTimeout)
{
    test::FtpTestServer impatient(test::FtpTestServer::Options{.idleTimeoutSeconds = 1});
    CurlFtpClient::Limits limits;
    limits.keepAliveAfter = std::chrono::milliseconds(300);
    client.setLimits(limits);
    connect(impatient);

    // A real idle gap of three server timeouts, with only the window's keep-alive ticks.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(3000);
    while (std::chrono::steady_clock::now() < end) {
        client.keepAlive();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(client.connected());
    std::vector<FtpEntry> entries;
    ASSERT_TRUE(client.findFiles("*.*", entries)) << response();
    EXPECT_TRUE(client.takeNotices().empty());
    EXPECT_EQ(loginsIn(impatient.log()), 1u) << impatient.log();
}

TEST_F(CurlFtpClientTest, KeepAliveGivesUpASilentServerQuietlyWithinItsOwnTime)
{
    test::FtpTestServer silent;
    CurlFtpClient::Limits limits;
    limits.keepAliveAfter = std::chrono::milliseconds(0);
    limits.keepAliveReplyTime = std::chrono::milliseconds(500);
    client.setLimits(limits);
    connect(silent);
    const FtpResponse before = client.lastResponse();

    silent.pause();
    const auto start = std::chrono::steady_clock::now();
    client.keepAlive();
    const auto took = std::chrono::steady_clock::now() - start;
    silent.resume();

    EXPECT_LT(took, std::chrono::seconds(5)) << "not the minute of the stall limit";
    EXPECT_EQ(client.lastResponse().code, before.code) << "nothing to report";
    EXPECT_FALSE(client.connected()) << "a connection waiting for a reply is of no further use";
    std::vector<FtpEntry> entries;
    EXPECT_TRUE(client.findFiles("*.*", entries)) << response();
}

} // namespace
} // namespace vantiro
