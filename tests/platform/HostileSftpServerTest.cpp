#include "core/ftp/RemoteListing.h"
#include "platform/DownloadTarget.h"
#include "platform/HostTrust.h"
#include "platform/SftpClient.h"
#include "support/ServerProcess.h"
#include "support/SftpTestServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

namespace vantiro {
namespace {

namespace fs = std::filesystem;
using test::SftpTestServer;
using test::TempDir;
using Clock = std::chrono::steady_clock;

std::shared_ptr<HostTrust> pinned(const std::string& fingerprint)
{
    HostTrust::Settings settings;
    settings.pinnedFingerprint = fingerprint;
    return std::make_shared<HostTrust>(settings);
}

// Answers every connection with an endless stream of blank lines ("blank"), or with a version
// line that never ends and comes a byte at a time ("trickle").
constexpr const char* endlessVersionLine = R"(
import socket, sys, threading, time
port, ready, kind = int(sys.argv[1]), sys.argv[2], sys.argv[3]
listener = socket.socket()
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(('127.0.0.1', port))
listener.listen()
open(ready, 'w').close()
def flood(connection):
    try:
        if kind == 'blank':
            while True:
                connection.sendall(b'\r\n' * 4096)
        connection.sendall(b'SSH-2.0-')
        while True:
            connection.sendall(b'x')
            time.sleep(0.02)
    except OSError:
        pass
while True:
    connection, _ = listener.accept()
    threading.Thread(target=flood, args=(connection,), daemon=True).start()
)";

std::vector<std::string> namesOf(const std::vector<FtpEntry>& entries)
{
    std::vector<std::string> names;
    for (const FtpEntry& entry : entries)
        names.push_back(entry.name);
    return names;
}

// An SFTP server that misbehaves on purpose: what it sends must not cost the memory, the disk,
// the rest of a folder or the deadline of a call.
class HostileSftpServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* folder : {"endlos", "endlos-lang", "seltsam", "schweigen", "flut"})
            fs::create_directory(server.root() + "/" + folder);
        ASSERT_TRUE(client.connect(server.address(), server.user(), server.password(), true))
            << client.lastResponse().text << server.log();
    }

    SftpTestServer server;
    SftpClient client{pinned(server.fingerprint())};
};

TEST_F(HostileSftpServerTest, OddNamesAreSkippedAndTheRestOfTheFolderIsListed)
{
    ASSERT_TRUE(client.setCurrentDirectory("seltsam"));
    std::vector<FtpEntry> entries;
    ASSERT_TRUE(client.findFiles("*", entries)) << client.lastResponse().text;
    // The empty name used to end the listing, the long one to fail it.
    EXPECT_EQ(namesOf(entries),
              (std::vector<std::string>{"a.htm", "\xE2\x80\xAEgpj.htm", "z.htm"}));
}

TEST_F(HostileSftpServerTest, EndlessListingIsCutAtTheEntryLimitWhileItIsRead)
{
    ASSERT_TRUE(client.setCurrentDirectory("endlos"));
    std::vector<FtpEntry> entries;
    ASSERT_TRUE(client.findFiles("*", entries)) << client.lastResponse().text;
    // One more than the listing shows, so that it can say that entries are missing.
    EXPECT_EQ(entries.size(), RemoteListing::maxEntries + 1);
    EXPECT_EQ(entries.front().name, "endlos-000001000.htm");
}

TEST_F(HostileSftpServerTest, EndlessListingOfLongNamesIsCutAtTheByteLimit)
{
    ASSERT_TRUE(client.setCurrentDirectory("endlos-lang"));
    std::vector<FtpEntry> entries;
    ASSERT_TRUE(client.findFiles("*", entries)) << client.lastResponse().text;
    std::size_t bytes = 0;
    for (const FtpEntry& entry : entries)
        bytes += entry.name.size();
    EXPECT_LE(bytes, SftpClient::maxListingBytes);
    EXPECT_GT(bytes, SftpClient::maxListingBytes / 10 * 9);
}

TEST_F(HostileSftpServerTest, DownloadWithoutEndStopsBeforeTheDiskFillsAndLeavesNoFile)
{
    test::writeFile(server.root() + "/endlos.bin", "0123456789");
    TempDir local;
    // A disk of 20 GB with 150 MB free: a hundredth is 200 MB, so nothing more may be written.
    std::uint64_t written = 0;
    const auto restore = DownloadTarget::setSpaceProbe([&](const std::string& folder) {
        EXPECT_EQ(folder, local.path());
        return DownloadTarget::Space{20'000'000'000ULL, 150'000'000ULL};
    });
    EXPECT_FALSE(
        client.getFile("endlos.bin", local.file("endlos.bin"), false, TransferType::Binary));
    EXPECT_EQ(client.lastResponse().code, TransferFailure::localWrite);
    EXPECT_NE(client.lastResponse().text.find("Speicherplatz"), std::string::npos)
        << client.lastResponse().text;
    EXPECT_TRUE(fs::is_empty(local.path())) << "no partial file";

    // With room to spare, the download goes on until the room is used up.
    DownloadTarget::setSpaceProbe([&](const std::string&) {
        return DownloadTarget::Space{1'000'000'000ULL, 120'000'000ULL - written};
    });
    client.setProgress([&](std::uint64_t done, std::uint64_t) { written = done; });
    EXPECT_FALSE(
        client.getFile("endlos.bin", local.file("endlos.bin"), false, TransferType::Binary));
    EXPECT_GT(written, 10'000'000u);
    EXPECT_LE(written, 20'000'000u + 1'000'000u);
    EXPECT_TRUE(fs::is_empty(local.path()));
    DownloadTarget::setSpaceProbe(restore);
}

TEST_F(HostileSftpServerTest, FloodOfIgnorePacketsEndsTheCallAtItsDeadline)
{
    client.setTimeout(std::chrono::seconds(1));
    const auto started = Clock::now();
    EXPECT_FALSE(client.setCurrentDirectory("flut"));
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(3));
    EXPECT_EQ(client.lastResponse().code, TransferFailure::timeout) << client.lastResponse().text;

    // The connection is given up; the next call logs in again.
    std::vector<FtpEntry> entries;
    EXPECT_TRUE(client.findFiles("*", entries)) << client.lastResponse().text;
}

TEST_F(HostileSftpServerTest, CancelEndsACallTheServerNeverAnswersAtOnce)
{
    ASSERT_TRUE(client.setCurrentDirectory("schweigen"));
    std::vector<FtpEntry> entries;
    std::thread disconnect([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        client.cancel();
    });
    const auto started = Clock::now();
    EXPECT_FALSE(client.findFiles("*", entries));
    const auto took = Clock::now() - started;
    disconnect.join();
    EXPECT_LT(took, std::chrono::milliseconds(1300));
    EXPECT_EQ(client.lastResponse().code, FtpClient::cancelledCode) << client.lastResponse().text;
}

// A connect that DISCONNECT ends: within a second, and with nothing sent after it.
class CancelledConnectTest : public ::testing::Test {
protected:
    SftpTestServer server;
};

TEST_F(CancelledConnectTest, ServerThatDoesNotAnswerIsLeftWithinASecond)
{
    SftpClient client(pinned(server.fingerprint()));
    server.pause();
    std::thread disconnect([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        client.cancel();
    });
    const auto started = Clock::now();
    EXPECT_FALSE(client.connect(server.address(), server.user(), server.password(), true));
    const auto took = Clock::now() - started;
    disconnect.join();
    server.resume();
    EXPECT_LT(took, std::chrono::milliseconds(1300));
    EXPECT_EQ(client.lastResponse().code, FtpClient::cancelledCode) << client.lastResponse().text;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(server.authLog(), "");
}

// Cancels while the key is asked about, as DISCONNECT does while the question box is open, and
// then says yes.
class CancellingDecider final : public TrustDecider {
public:
    FtpClient* client = nullptr;
    bool trustHostKey(const HostKeyQuestion&) override
    {
        client->cancel();
        return true;
    }
};

TEST_F(CancelledConnectTest, CancelDuringTheKeyQuestionSendsNoPassword)
{
    auto decider = std::make_shared<CancellingDecider>();
    HostTrust::Settings settings;
    settings.decider = decider;
    SftpClient client(std::make_shared<HostTrust>(settings));
    decider->client = &client;
    EXPECT_FALSE(client.connect(server.address(), server.user(), server.password(), true));
    EXPECT_EQ(client.lastResponse().code, FtpClient::cancelledCode) << client.lastResponse().text;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(server.authLog().find("password"), std::string::npos) << server.authLog();
}

// A server whose version line never ends: the connect ends at its deadline.
TEST(EndlessVersionLineTest, ConnectEndsAtItsDeadline)
{
    for (const char* kind : {"blank", "trickle"}) {
        TempDir folder;
        test::ServerProcess process;
        const std::string ready = folder.file("ready");
        const int port = process.startOnFreePort(
            [&](const std::string& port) -> std::vector<std::string> {
                return {"/usr/bin/python3", "-c", endlessVersionLine, port, ready, kind};
            },
            folder.file("server.log"), [&](int) { return test::exists(ready); });
        HostTrust::Settings settings;
        SftpClient client(std::make_shared<HostTrust>(settings));
        client.setTimeout(std::chrono::seconds(1));
        const auto started = Clock::now();
        EXPECT_FALSE(client.connect("sftp://127.0.0.1:" + std::to_string(port), "u", "p", true));
        EXPECT_LT(Clock::now() - started, std::chrono::seconds(3)) << kind;
        EXPECT_NE(client.lastResponse().code, 0u);
    }
}

} // namespace
} // namespace vantiro
