#include "cli/CliRunner.h"
#include "support/FtpTestServer.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace vantiro {
namespace {

namespace fs = std::filesystem;
using test::runCli;

const std::string gifBytes("GIF89a\n\r\n\0\xFF;", 12);
const std::string listName = ".htvantiro-sync";

// upload --sync against pyftpdlib, with MLSD and as a server that only knows LIST.
class UploadSyncTest : public ::testing::TestWithParam<bool> {
protected:
    UploadSyncTest() : server(test::FtpTestServer::Options{GetParam(), 0, 0, 0})
    {
        fs::create_directories(home.file("doorpages/images"));
        test::writeFile(home.file("doorpages/a.htm"), "<P>aaaa\r\n");
        test::writeFile(home.file("doorpages/b.htm"), "<P>bbbb\r\n");
        test::writeFile(home.file("doorpages/images/vtr.gif"), gifBytes);
    }
    test::CliResult upload(std::vector<std::string> more) const
    {
        std::vector<std::string> args = {"upload",      "--server", server.address(), "--user",
                                         server.user(), "--home",   home.path()};
        if (std::find(more.begin(), more.end(), "--remote") == more.end())
            args.insert(args.end(), {"--remote", "/www"});
        args.insert(args.end(), more.begin(), more.end());
        return runCli(args, {"VANTIRO_FTP_PASSWORD=" + server.password()});
    }
    size_t loginCount() const
    {
        const std::string log = server.log();
        size_t count = 0;
        for (size_t pos = log.find("logged in"); pos != std::string::npos;
             pos = log.find("logged in", pos + 1))
            ++count;
        return count;
    }
    std::string remote(const std::string& relative) const
    {
        return server.root() + "/www/" + relative;
    }

    test::FtpTestServer server;
    test::TempDir home;
};

TEST_P(UploadSyncTest, SecondRunSendsOnlyWhatChangedEvenAtTheSameSize)
{
    const auto first = upload({"--sync", "--parallel", "1"});
    ASSERT_EQ(first.exitCode, 0) << first.out << first.err << server.log();
    EXPECT_EQ(first.out, "ok     doorpages/a.htm -> /www/a.htm\n"
                         "ok     doorpages/b.htm -> /www/b.htm\n"
                         "ok     doorpages/images/vtr.gif -> /www/images/vtr.gif\n");
    EXPECT_TRUE(test::exists(remote(listName)));
    EXPECT_TRUE(test::exists(remote("images/" + listName)));
    EXPECT_FALSE(test::exists(remote(listName + ".tmp")));

    const size_t logins = loginCount();
    const auto unchanged = upload({"--sync"});
    EXPECT_EQ(unchanged.exitCode, 0) << unchanged.err;
    EXPECT_EQ(unchanged.out, "");
    EXPECT_NE(unchanged.err.find("3 Dateien unver\xC3\xA4ndert, 0 zu senden, 0 zu l\xC3\xB6schen"),
              std::string::npos)
        << unchanged.err;
    EXPECT_EQ(loginCount(), logins + 1) << "nothing to send needs no further connections";

    test::writeFile(home.file("doorpages/b.htm"), "<P>BBBB\r\n");
    test::writeFile(home.file("doorpages/c.htm"), "<P>neu\r\n");
    const auto changed = upload({"--sync", "--parallel", "1"});
    EXPECT_EQ(changed.exitCode, 0) << changed.err;
    EXPECT_EQ(changed.out, "ok     doorpages/b.htm -> /www/b.htm\n"
                           "ok     doorpages/c.htm -> /www/c.htm\n")
        << "the new file and the one changed at the same size";
    EXPECT_EQ(test::readFile(remote("b.htm")), "<P>BBBB\n");

    const auto binary = upload({"--sync", "--binary", "--parallel", "1"});
    EXPECT_EQ(binary.out, "ok     doorpages/a.htm -> /www/a.htm\n"
                          "ok     doorpages/b.htm -> /www/b.htm\n"
                          "ok     doorpages/c.htm -> /www/c.htm\n")
        << "pages sent another way arrive otherwise, so they all go again";
    EXPECT_EQ(test::readFile(remote("b.htm")), "<P>BBBB\r\n");
}

TEST_P(UploadSyncTest, DeleteRemovesOnlyFilesThisToolSentThatAreGoneLocally)
{
    ASSERT_EQ(upload({"--sync"}).exitCode, 0);
    test::writeFile(remote("fremd.htm"), "von Hand");
    fs::remove(home.file("doorpages/b.htm"));
    fs::remove(home.file("doorpages/images/vtr.gif"));

    const auto kept = upload({"--sync"});
    EXPECT_EQ(kept.exitCode, 0) << kept.err;
    EXPECT_TRUE(test::exists(remote("b.htm"))) << "no delete without --delete";

    const auto removed = upload({"--sync", "--delete"});
    EXPECT_EQ(removed.exitCode, 0) << removed.out << removed.err;
    EXPECT_EQ(removed.out, "ok     l\xC3\xB6schen /www/b.htm\n"
                           "ok     l\xC3\xB6schen /www/images/vtr.gif\n");
    EXPECT_FALSE(test::exists(remote("b.htm")));
    EXPECT_FALSE(test::exists(remote("images/vtr.gif")));
    EXPECT_TRUE(test::exists(remote("a.htm")));
    EXPECT_TRUE(test::exists(remote("fremd.htm")));
    EXPECT_EQ(upload({"--sync", "--delete"}).out, "") << "deleted files leave the list";
}

TEST_P(UploadSyncTest, ForgedListDeletesNothingOutsideTheFolderNorAnyDotFile)
{
    fs::create_directories(remote("images"));
    test::writeFile(server.root() + "/oben.htm", "oben");
    test::writeFile(remote(".htaccess"), "Deny from all");
    test::writeFile(remote("images/x.gif"), "x");
    const std::string digest(64, 'a');
    test::writeFile(remote(listName), "vantiro-sync 1 ascii\n" + digest + " ../oben.htm\n" +
                                          digest + " .htaccess\n" + digest + " images/x.gif\n" +
                                          digest + " /oben.htm\n");
    const auto result = upload({"--sync", "--delete"});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.out.find("l\xC3\xB6schen"), std::string::npos) << result.out;
    EXPECT_TRUE(test::exists(server.root() + "/oben.htm"));
    EXPECT_TRUE(test::exists(remote(".htaccess")));
    EXPECT_TRUE(test::exists(remote("images/x.gif")));
    EXPECT_TRUE(test::exists(remote("a.htm")));
}

TEST_P(UploadSyncTest, DryRunPrintsWhatWouldGoAndChangesNothing)
{
    const auto fresh = upload({"--sync", "--dry-run", "--remote", "/neu/ordner"});
    EXPECT_EQ(fresh.exitCode, 0) << fresh.err << server.log();
    EXPECT_EQ(fresh.out, "senden doorpages/a.htm -> /neu/ordner/a.htm\n"
                         "senden doorpages/b.htm -> /neu/ordner/b.htm\n"
                         "senden doorpages/images/vtr.gif -> /neu/ordner/images/vtr.gif\n");
    EXPECT_FALSE(test::exists(server.root() + "/neu")) << "not even a folder is made";
    const auto plain = upload({"--dry-run", "--remote", "/neu/ordner"});
    EXPECT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(plain.out, fresh.out) << "without --sync every file would go";
    EXPECT_FALSE(test::exists(server.root() + "/neu"));

    ASSERT_EQ(upload({"--sync"}).exitCode, 0);
    const std::string list = test::readFile(remote(listName));
    test::writeFile(home.file("doorpages/a.htm"), "<P>AAAA\r\n");
    fs::remove(home.file("doorpages/b.htm"));
    const auto dry = upload({"--sync", "--delete", "--dry-run"});
    EXPECT_EQ(dry.exitCode, 0) << dry.err;
    EXPECT_EQ(dry.out, "senden doorpages/a.htm -> /www/a.htm\n"
                       "l\xC3\xB6schen /www/b.htm\n");
    EXPECT_EQ(test::readFile(remote("a.htm")), "<P>aaaa\n");
    EXPECT_TRUE(test::exists(remote("b.htm")));
    EXPECT_EQ(test::readFile(remote(listName)), list);
}

TEST_P(UploadSyncTest, RunAfterAnInterruptedOneSendsOnlyWhatIsMissingOrChanged)
{
    ASSERT_EQ(upload({"--sync"}).exitCode, 0);
    // As an interrupted first run leaves it: b.htm never arrived, so the list lacks it.
    const std::string list = test::readFile(remote(listName));
    test::writeFile(remote(listName),
                    list.substr(0, list.find('\n') + 1) + list.substr(list.find('\n') + 1, 65 + 6));
    const auto again = upload({"--sync"});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(again.out, "ok     doorpages/b.htm -> /www/b.htm\n");
}

TEST_P(UploadSyncTest, UnreadableOrOversizedListStopsBeforeSendingAndGarbageCountsAsNone)
{
    fs::create_directories(remote(""));
    test::writeFile(remote(listName), "<html>kein Format</html>\n");
    const auto garbage = upload({"--sync"});
    EXPECT_EQ(garbage.exitCode, 0) << garbage.err;
    EXPECT_NE(garbage.out.find("ok     doorpages/a.htm"), std::string::npos);
    EXPECT_EQ(test::readFile(remote(listName)).rfind("vantiro-sync 1 ascii\n", 0), 0u);

    fs::remove(remote("a.htm"));
    test::writeFile(remote(listName), std::string(16 * 1024 * 1024 + 10, 'x'));
    const auto huge = upload({"--sync"});
    EXPECT_EQ(huge.exitCode, 2);
    EXPECT_NE(huge.err.find("nicht lesbar: gr\xC3\xB6\xC3\x9F"
                            "er als 16 MB"),
              std::string::npos)
        << huge.err;
    EXPECT_FALSE(test::exists(remote("a.htm")));

    const auto alone = upload({"--delete"});
    EXPECT_EQ(alone.exitCode, 2);
    EXPECT_NE(alone.err.find("--delete geht nur zusammen mit --sync"), std::string::npos)
        << alone.err;
}

// Runs the tool and sends it SIGINT once its stdout has some lines; its exit code.
int interruptedRun(std::vector<std::string> args, const std::string& outPath)
{
    args.insert(args.begin(), VANTIRO_CLI_PATH);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, VANTIRO_CLI_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string out = test::readFile(outPath);
        if (std::count(out.begin(), out.end(), '\n') >= 5)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(pid, SIGINT);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::set<std::string> linesOf(const std::string& text)
{
    std::set<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.insert(line);
    return lines;
}

TEST(UploadSyncInterruptTest, CtrlCFinishesTheFilesUnderWayAndTheNextRunSendsTheRest)
{
    test::FtpTestServer server;
    test::TempDir home;
    fs::create_directories(home.file("doorpages/images"));
    std::set<std::string> all;
    for (int i = 0; i < 400; ++i) {
        const std::string name = "seite" + std::to_string(1000 + i) + ".htm";
        test::writeFile(home.file("doorpages/" + name), "<P>" + name + "\r\n");
        all.insert("ok     doorpages/" + name + " -> /" + name);
    }
    const test::ScopedEnvironment password({{"VANTIRO_FTP_PASSWORD", server.password()}});
    const std::vector<std::string> args = {"upload",      "--server", server.address(), "--user",
                                           server.user(), "--home",   home.path(),      "--sync",
                                           "--parallel",  "1"};
    test::TempDir capture;
    const int exitCode = interruptedRun(args, capture.file("out"));
    const std::set<std::string> first = linesOf(test::readFile(capture.file("out")));
    ASSERT_LT(first.size(), all.size()) << "the signal came after the last file";
    EXPECT_EQ(exitCode, 1);
    for (const std::string& line : first)
        EXPECT_TRUE(all.contains(line)) << line;

    const auto rest = runCli(args);
    EXPECT_EQ(rest.exitCode, 0) << rest.err;
    std::set<std::string> both = linesOf(rest.out);
    for (const std::string& line : first)
        EXPECT_TRUE(both.insert(line).second) << "sent twice: " << line;
    EXPECT_EQ(both, all);
}

INSTANTIATE_TEST_SUITE_P(Servers, UploadSyncTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Mlsd" : "ListOnly"; });

} // namespace
} // namespace vantiro
