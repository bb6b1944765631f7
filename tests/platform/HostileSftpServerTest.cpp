#include "core/ftp/RemoteListing.h"
#include "platform/DownloadTarget.h"
#include "platform/HostTrust.h"
#include "platform/SftpClient.h"
#include "support/SftpTestServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

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

} // namespace
} // namespace vantiro
