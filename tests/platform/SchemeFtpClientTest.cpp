#include "platform/SchemeFtpClient.h"
#include "platform/HostTrust.h"

#include <gtest/gtest.h>

#include <utility>

namespace vantiro {
namespace {

// Says which kind it is through its response, and how it was set up.
class FakeClient final : public FtpClient {
public:
    FakeClient(std::string kind, int& made) : kind_(std::move(kind)) { ++made; }

    bool connect(const std::string& server, const std::string&, const std::string&, bool) override
    {
        if (std::exchange(cancelled_, false))
            return false;
        server_ = server;
        connected_ = true;
        return true;
    }
    void close() override { connected_ = false; }
    bool connected() const override { return connected_; }
    bool setCurrentDirectory(const std::string&) override { return true; }
    bool findFiles(const std::string&, std::vector<FtpEntry>&) override { return true; }
    bool getFile(const std::string&, const std::string&, bool, TransferType) override
    {
        return true;
    }
    bool putFile(const std::string&, const std::string&, TransferType) override
    {
        if (std::exchange(cancelled_, false))
            return false;
        if (progress_)
            progress_(1, 2);
        return true;
    }
    bool deleteFile(const std::string&) override { return true; }
    bool removeDirectory(const std::string&) override { return true; }
    bool createDirectory(const std::string&) override { return true; }
    bool renameFile(const std::string&, const std::string&) override { return true; }
    FtpResponse lastResponse() const override { return {0, kind_ + " " + server_}; }
    void setProgress(TransferProgress progress) override { progress_ = std::move(progress); }
    std::vector<std::string> takeNotices() override { return {kind_ + " note"}; }
    void cancel() override { cancelled_ = true; }

private:
    std::string kind_;
    std::string server_;
    bool connected_ = false;
    bool cancelled_ = false;
    TransferProgress progress_;
};

TEST(SchemeFtpClientTest, SchemePicksTheClientAndAChangeOfSchemeReplacesIt)
{
    int ftpMade = 0;
    int sftpMade = 0;
    std::shared_ptr<HostTrust> seen;
    SchemeFtpClient client(
        std::make_shared<HostTrust>(),
        [&](const std::shared_ptr<HostTrust>& trust) {
            seen = trust;
            return std::make_unique<FakeClient>("ftp", ftpMade);
        },
        [&](const std::shared_ptr<HostTrust>&) {
            return std::make_unique<FakeClient>("sftp", sftpMade);
        });
    std::vector<FtpEntry> entries;
    EXPECT_FALSE(client.connected());
    EXPECT_FALSE(client.findFiles("*", entries)) << "nothing works before the first connect";

    int progressCalls = 0;
    client.setProgress([&](std::uint64_t, std::uint64_t) { ++progressCalls; });
    ASSERT_TRUE(client.connect("ftpes://host", "u", "p", true));
    EXPECT_EQ(client.lastResponse().text, "ftp ftpes://host");
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(client.takeNotices(), std::vector<std::string>{"ftp note"});

    ASSERT_TRUE(client.connect("host:21", "u", "p", true));
    EXPECT_EQ(ftpMade, 1) << "the same kind keeps its client";

    ASSERT_TRUE(client.connect("SFTP://host", "u", "p", true));
    EXPECT_EQ(sftpMade, 1);
    EXPECT_EQ(client.lastResponse().text, "sftp SFTP://host");
    EXPECT_TRUE(client.putFile("a", "b", TransferType::Binary));
    EXPECT_EQ(progressCalls, 1) << "progress set before the connect reaches the new client";
    client.close();
    EXPECT_FALSE(client.connected());
}

TEST(SchemeFtpClientTest, ACancelGoesToTheCallItCameBeforeAndNoFurther)
{
    int made = 0;
    SchemeFtpClient client(
        std::make_shared<HostTrust>(),
        [&](const std::shared_ptr<HostTrust>&) {
            return std::make_unique<FakeClient>("ftp", made);
        },
        [&](const std::shared_ptr<HostTrust>&) {
            return std::make_unique<FakeClient>("sftp", made);
        });
    client.cancel();
    EXPECT_FALSE(client.connect("host", "u", "p", true)) << "pressed before the first connect";
    ASSERT_TRUE(client.connect("host", "u", "p", true));

    client.cancel();
    EXPECT_FALSE(client.putFile("a", "b", TransferType::Binary));
    EXPECT_TRUE(client.connect("sftp://host", "u", "p", true))
        << "a cancel the old client has taken does not reach the next one";
}

} // namespace
} // namespace vantiro
