#include "platform/AsciiLineEnds.h"
#include "platform/DownloadTarget.h"
#include "platform/FtpRemotePath.h"
#include "platform/FtpReplyLog.h"
#include "platform/FtpServerAddress.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace vantiro {
namespace {

std::string converted(AsciiLineEnds::Direction direction, std::initializer_list<const char*> pieces)
{
    AsciiLineEnds lineEnds(direction);
    std::string out;
    for (const char* piece : pieces)
        lineEnds.convert(piece, out);
    lineEnds.finish(out);
    return out;
}

size_t filesIn(const std::string& folder)
{
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

TEST(FtpServerAddressTest, HostAloneUsesPort21AndHostColonPortThatPort)
{
    const auto plain = FtpServerAddress::parse("ftp.example.com");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->host, "ftp.example.com");
    EXPECT_EQ(plain->port, 21);
    EXPECT_EQ(plain->authority(), "ftp.example.com:21");

    const auto withPort = FtpServerAddress::parse(" 127.0.0.1:2121 ");
    ASSERT_TRUE(withPort);
    EXPECT_EQ(withPort->host, "127.0.0.1");
    EXPECT_EQ(withPort->port, 2121);

    const auto ipv6 = FtpServerAddress::parse("[::1]:990");
    ASSERT_TRUE(ipv6);
    EXPECT_EQ(ipv6->host, "::1");
    EXPECT_EQ(ipv6->port, 990);
    EXPECT_EQ(ipv6->authority(), "[::1]:990");
    EXPECT_EQ(FtpServerAddress::parse("fe80::1")->port, 21);

    for (const char* bad : {"", "   ", "host:", "host:0", "host:65536", "host:21x", ":21",
                            "user@host", "host/path", "host name", "[::1", "[::1]x", "[]:21"})
        EXPECT_FALSE(FtpServerAddress::parse(bad)) << bad;
}

TEST(FtpRemotePathTest, ResolveWorksOutDotsWithoutLeavingTheTop)
{
    EXPECT_EQ(FtpRemotePath::resolve("/", "/a/b/"), "/a/b");
    EXPECT_EQ(FtpRemotePath::resolve("/a/b", ".."), "/a");
    EXPECT_EQ(FtpRemotePath::resolve("/a", "/a/b/.."), "/a");
    EXPECT_EQ(FtpRemotePath::resolve("/a", "c/./d"), "/a/c/d");
    EXPECT_EQ(FtpRemotePath::resolve("/", "/../.."), "/");
    EXPECT_EQ(FtpRemotePath::resolve("/a", ""), "/a");
    EXPECT_EQ(FtpRemotePath::join("/", "x.htm"), "/x.htm");
    EXPECT_EQ(FtpRemotePath::join("/a", ".."), "/a/..") << "a bare name stays as given";
    EXPECT_EQ(FtpRemotePath::join("/a", "/b"), "/b");
}

TEST(FtpRemotePathTest, UrlPathEncodesEverySegmentOnItsOwn)
{
    EXPECT_EQ(FtpRemotePath::urlPath("/", true), "%2F");
    EXPECT_EQ(FtpRemotePath::urlPath("/www/images", true), "%2Fwww/images/");
    EXPECT_EQ(FtpRemotePath::urlPath("/my pages/50%#1?.htm", false),
              "%2Fmy%20pages/50%25%231%3F.htm");
    EXPECT_EQ(FtpRemotePath::urlPath("/M\xC3\xBCller/\xFC.htm", false), "%2FM%C3%BCller/%FC.htm");
    EXPECT_EQ(FtpRemotePath::percentEncode("a/b;c=d~e-f_g.h"), "a%2Fb%3Bc%3Dd~e-f_g.h");
}

TEST(FtpReplyLogTest, KeepsLastCompleteReplyAndMasksThePassword)
{
    FtpReplyLog log;
    log.setSecret("geheim");
    log.received("220 Welcome\r\n");
    EXPECT_EQ(log.lastCode(), 220);
    log.received("230-Hello geheim-user\r\n230-second line\r\n");
    EXPECT_EQ(log.lastCode(), 220) << "a multi-line reply counts once it is complete";
    log.received("   230 inside text\r\n230 Logged");
    EXPECT_EQ(log.lastCode(), 220);
    log.received(" in\r\n");
    EXPECT_EQ(log.lastCode(), 230);
    EXPECT_EQ(log.lastText(),
              "230-Hello ***-user\n230-second line\n   230 inside text\n230 Logged in");

    log.clearLast();
    EXPECT_EQ(log.lastCode(), 0);
    EXPECT_EQ(log.lastText(), "");
    log.received("550 No such file\n");
    EXPECT_EQ(log.lastCode(), 550);
    EXPECT_EQ(log.lastText(), "550 No such file");

    FtpReplyLog starLog;
    starLog.setSecret("*");
    starLog.received("530 * and **\r\n");
    EXPECT_EQ(starLog.lastText(), "530 *** and ******");
}

TEST(FtpReplyLogTest, ShortPasswordIsMaskedOnlyAsAWordOfItsOwn)
{
    FtpReplyLog log;
    log.setSecret("a");
    log.received("550 cannot open a file\r\n");
    EXPECT_EQ(log.lastText(), "550 cannot open *** file");
    log.setSecret("Geheim-4711");
    log.received("230 Password Geheim-4711 accepted, Geheim-4711x is not it\r\n");
    EXPECT_EQ(log.lastText(), "230 Password *** accepted, Geheim-4711x is not it");
}

TEST(FtpReplyLogTest, MultiLineReplyEndsOnlyAtItsOwnCodeAndKeepsEveryReply)
{
    FtpReplyLog log;
    log.received("250-First line\r\n550 inner line\r\n");
    EXPECT_TRUE(log.replyUnfinished());
    EXPECT_EQ(log.lastCode(), 0);
    EXPECT_EQ(log.unfinishedText(), "250-First line\n550 inner line");
    log.received("250 Done\r\n200 Next\r\n");
    EXPECT_FALSE(log.replyUnfinished());
    ASSERT_EQ(log.replies().size(), 2u);
    EXPECT_EQ(log.replies()[0].code, 250);
    EXPECT_EQ(log.replies()[0].text, "250-First line\n550 inner line\n250 Done");
    EXPECT_EQ(log.lastCode(), 200);

    log.received("220-Half a greeting\r\n220 and half a li");
    log.reset();
    log.received("220 Fresh connection\r\n");
    EXPECT_EQ(log.replies().size(), 1u) << "nothing of the old connection is left";
    EXPECT_EQ(log.lastText(), "220 Fresh connection");
}

TEST(AsciiLineEndsTest, UploadEndsEveryLineInCrLfWithoutDoublingCr)
{
    using D = AsciiLineEnds::Direction;
    EXPECT_EQ(converted(D::ToNetwork, {"a\nb\r\nc"}), "a\r\nb\r\nc");
    EXPECT_EQ(converted(D::ToNetwork, {"a\r", "\nb\n", "\n"}), "a\r\nb\r\n\r\n");
    EXPECT_EQ(converted(D::ToNetwork, {"lone\rcr"}), "lone\rcr");
}

TEST(AsciiLineEndsTest, DownloadTurnsCrLfIntoLfAcrossPieces)
{
    using D = AsciiLineEnds::Direction;
    EXPECT_EQ(converted(D::FromNetwork, {"a\r\nb\r\n"}), "a\nb\n");
    EXPECT_EQ(converted(D::FromNetwork, {"a\r", "\nb\r", "", "\n"}), "a\nb\n");
    EXPECT_EQ(converted(D::FromNetwork, {"x\r\r\ny\rz\r"}), "x\r\ny\rz\r");
    EXPECT_EQ(converted(D::FromNetwork, {"x\r", "y"}), "x\ry");
}

TEST(DownloadTargetTest, FileAppearsOnlyWhenCommittedAndFailureLeavesNothing)
{
    test::TempDir dir;
    const std::string path = dir.file("page.htm");
    {
        DownloadTarget target(path);
        ASSERT_TRUE(target.open());
        ASSERT_TRUE(target.write("half", 4));
        EXPECT_FALSE(test::exists(path));
    }
    EXPECT_EQ(filesIn(dir.path()), 0u) << "an abandoned download leaves no file behind";

    DownloadTarget target(path);
    ASSERT_TRUE(target.open());
    ASSERT_TRUE(target.write("whole", 5));
    ASSERT_TRUE(target.commit(true));
    EXPECT_EQ(test::readFile(path), "whole");
    EXPECT_EQ(filesIn(dir.path()), 1u);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::owner_read,
              std::filesystem::perms::owner_read);
}

TEST(DownloadTargetTest, FailIfExistsLeavesAnExistingFileUnchanged)
{
    test::TempDir dir;
    const std::string path = dir.file("page.htm");
    test::writeFile(path, "mine");
    DownloadTarget keep(path);
    ASSERT_TRUE(keep.open());
    ASSERT_TRUE(keep.write("theirs", 6));
    EXPECT_FALSE(keep.commit(true));
    EXPECT_EQ(keep.error(), EEXIST);
    EXPECT_EQ(test::readFile(path), "mine");

    DownloadTarget replace(path);
    ASSERT_TRUE(replace.open());
    ASSERT_TRUE(replace.write("theirs", 6));
    EXPECT_TRUE(replace.commit(false));
    EXPECT_EQ(test::readFile(path), "theirs");
}

} // namespace
} // namespace vantiro
