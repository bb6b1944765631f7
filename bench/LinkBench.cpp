// Uploads over a distant link: a 100-page image-link run (201 files) sent through a relay on
// 127.0.0.1 that holds every chunk 20 ms in each direction (40 ms round trips), on the control
// connection and on every data connection. vantiro-cli upload (its default, --parallel 4 and a
// second --sync run of the unchanged folder) against lftp's mirror -R (its default,
// --parallel=4 and a second run) on pure-ftpd and on a LIST-only pyftpdlib, and against
// OpenSSH's sftp (put -r in batch mode) on an asyncssh SFTP server.
//
// Usage: link_bench [--runs N] [--keep DIR]
// Must run as root (pure-ftpd serves a virtual user only then). Prints the median of each side
// and their ratios; exits 1 when a target is missed, 2 when something could not be set up.

#include "BenchServers.h"
#include "BenchSupport.h"

#include "core/generator/TextFile.h"
#include "support/ServerProcess.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace vantiro::bench;
using vantiro::test::ServerProcess;

namespace fs = std::filesystem;

constexpr const char* python = "/usr/bin/python3";
constexpr int delayMilliseconds = 20;

// Seconds of a run, or a negative number when it failed.
double timedRun(const std::vector<std::string>& args, const std::string& log)
{
    const Measurement run = timed(args, ChildFiles{"", log, true, true});
    return run.exitCode == 0 ? run.seconds : -1;
}

// Files the upload left below root, without the tool's lists of sent files.
size_t pagesIn(const std::string& root)
{
    size_t count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        count += entry.is_regular_file() && !entry.path().filename().string().starts_with('.');
    return count;
}

// The delaying relay in front of targetPort; "ftp" mode also relays the passive data ports.
bool startRelay(const std::string& work, const std::string& name, int targetPort,
                const std::string& mode, ServerProcess& process, int& port)
{
    port = ServerProcess::freePort();
    const std::string ready = work + "/" + name + ".ready";
    return process.start({python, VANTIRO_BENCH_DIR "/delay_relay.py", std::to_string(port),
                          std::to_string(targetPort), std::to_string(delayMilliseconds), mode,
                          ready},
                         work + "/" + name + ".log", ready);
}

// One way of uploading, timed run after run.
struct Side {
    std::string name;
    // Empties the server, prepares (a first upload for a second run) and returns the seconds of
    // the timed upload, or a negative number on failure.
    std::function<double()> run;
    std::vector<double> seconds;
};

struct Comparison {
    std::string what;
    size_t ours;
    size_t theirs; // == ours: a figure of our own, with an absolute target
    double ratioTarget;
    double secondsTarget; // 0: none
};

// Runs every side once per round, so that a slow moment of the machine hits all of them.
bool measure(const std::string& server, std::vector<Side>& sides,
             const std::vector<Comparison>& comparisons, int runs, bool& met)
{
    for (int run = 0; run < runs; ++run)
        for (Side& side : sides) {
            const double seconds = side.run();
            if (seconds < 0) {
                std::fprintf(stderr, "%s: %s failed in run %d\n", server.c_str(), side.name.c_str(),
                             run + 1);
                return false;
            }
            side.seconds.push_back(seconds);
        }
    for (const Comparison& c : comparisons) {
        const double ours = median(sides[c.ours].seconds);
        std::printf("%-24s %-28s %7.2f s", server.c_str(), sides[c.ours].name.c_str(), ours);
        bool ok = true;
        if (c.theirs != c.ours) {
            const double theirs = median(sides[c.theirs].seconds);
            const double ratio = ours / theirs;
            std::printf(" | %-30s %7.2f s | ratio %.2f (target at most %.2f)",
                        sides[c.theirs].name.c_str(), theirs, ratio, c.ratioTarget);
            ok = ratio <= c.ratioTarget;
        }
        if (c.secondsTarget > 0) {
            std::printf(" | target under %.1f s", c.secondsTarget);
            ok = ok && ours < c.secondsTarget;
        }
        std::printf("%s\n", ok ? "" : "  MISSED");
        met = met && ok;
    }
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const RunOptions options = parseRunOptions(argc, argv, 3);
    std::string work = options.keep;
    if (geteuid() != 0) {
        std::fprintf(stderr, "link_bench runs as root: pure-ftpd serves its user only so\n");
        return 2;
    }
    const bool keep = !work.empty();
    if (!keep)
        work = (fs::temp_directory_path() / ("vantiro-link-bench-" + std::to_string(getpid())))
                   .string();
    fs::create_directories(work);
    const std::string log = work + "/runs.log";
    const std::string home = work + "/home";
    const std::string pages = home + "/doorpages";
    prepareHome(home);
    if (timedRun({VANTIRO_CLI_PATH, "generate", "--home", home, "--keywords",
                  home + "/keywordfile/keywords.vrk", "--body", home + "/body.txt", "--pages",
                  "100", "--seed", "1"},
                 log) < 0) {
        std::fprintf(stderr, "the generation run failed (see %s)\n", log.c_str());
        return 2;
    }
    const size_t expected = pagesIn(pages);
    std::printf("upload of a 100-page image-link run: %zu files, %.2f MB, through a relay that "
                "holds every chunk %d ms each way; median of %d runs\n",
                expected, folderMegabytes(pages), delayMilliseconds, options.runs);
    std::fflush(stdout);
    setenv("VANTIRO_FTP_PASSWORD", benchPassword.c_str(), 1);

    // A fresh upload into an emptied server; its seconds, or -1 when files are missing.
    const auto fresh = [&](const std::string& root, std::vector<std::string> command) {
        return [&, root, command] {
            emptyFolder(root);
            const double seconds = timedRun(command, log);
            return pagesIn(root) == expected ? seconds : -1;
        };
    };
    // The second of two uploads of the unchanged folder.
    const auto second = [&](const std::string& root, std::vector<std::string> first,
                            std::vector<std::string> again) {
        return [&, root, first, again] {
            emptyFolder(root);
            if (timedRun(first, log) < 0)
                return -1.0;
            const double seconds = timedRun(again, log);
            return pagesIn(root) == expected ? seconds : -1;
        };
    };

    int result = 0;
    bool met = true;
    FtpServer pure, listOnly;
    if (!startPureFtpd(work, pure) || !startListOnly(work, listOnly)) {
        std::fprintf(stderr, "the FTP servers do not start (see %s)\n", work.c_str());
        result = 2;
    }
    for (FtpServer* server : {&pure, &listOnly}) {
        if (result != 0)
            break;
        ServerProcess relay;
        int relayPort = 0;
        if (!startRelay(work, "relay-" + std::to_string(server->port), server->port, "ftp", relay,
                        relayPort)) {
            result = 2;
            break;
        }
        const std::string address = "127.0.0.1:" + std::to_string(relayPort);
        // Plain FTP on both sides: lftp is told not to try TLS either.
        const std::string ownAddress = "ftp://" + address;
        const auto ours = [&](std::vector<std::string> more) {
            std::vector<std::string> command = {VANTIRO_CLI_PATH, "upload", "--server",
                                                ownAddress,       "--user", benchUser,
                                                "--home",         home,     "--binary"};
            command.insert(command.end(), more.begin(), more.end());
            return command;
        };
        const auto lftp = [&](const std::string& more) {
            return std::vector<std::string>{
                "lftp", "-c",
                "set ftp:ssl-allow no; set net:max-retries 1; set ftp:passive-mode on; open -u " +
                    benchUser + "," + benchPassword + " ftp://" + address + "; mirror -R " +
                    "--no-perms " + more + " " + pages + " /"};
        };
        std::vector<Side> sides = {
            {"vantiro-cli (default)", fresh(server->root, ours({})), {}},
            {"lftp mirror -R", fresh(server->root, lftp("")), {}},
            {"vantiro-cli --parallel 4", fresh(server->root, ours({"--parallel", "4"})), {}},
            {"lftp mirror -R --parallel=4", fresh(server->root, lftp("--parallel=4")), {}},
            {"vantiro-cli --sync, again",
             second(server->root, ours({"--sync"}), ours({"--sync"})),
             {}},
            {"lftp mirror -R, again", second(server->root, lftp("--parallel=4"), lftp("")), {}},
        };
        if (!measure(server->name, sides,
                     {{"default", 0, 1, 0.5, 0}, {"four", 2, 3, 1.0, 0}, {"again", 4, 5, 1.0, 2.0}},
                     options.runs, met))
            result = 2;
        relay.stop();
    }
    pure.process.stop();
    listOnly.process.stop();

    // SFTP: asyncssh takes vantiro-cli's password and OpenSSH's key.
    const std::string sftpRoot = work + "/sftp-root";
    const std::string sftpFolder = work + "/sftp";
    fs::create_directories(sftpRoot);
    fs::create_directories(sftpFolder);
    ServerProcess sftpServer, sftpRelay;
    const int sftpPort = ServerProcess::freePort();
    int sftpRelayPort = 0;
    if (result == 0 &&
        (waitFor(spawn(
             {"ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", sftpFolder + "/key"})) != 0 ||
         !sftpServer.start({python, VANTIRO_BENCH_DIR "/sftp_server.py", std::to_string(sftpPort),
                            sftpRoot, benchUser, benchPassword, sftpFolder + "/key.pub",
                            sftpFolder},
                           sftpFolder + "/server.log", sftpFolder + "/ready") ||
         !startRelay(work, "relay-sftp", sftpPort, "tcp", sftpRelay, sftpRelayPort))) {
        std::fprintf(stderr, "the SFTP server does not start (see %s)\n", sftpFolder.c_str());
        result = 2;
    }
    if (result == 0) {
        std::ifstream fingerprintFile(sftpFolder + "/fingerprint");
        std::string fingerprint;
        std::getline(fingerprintFile, fingerprint);
        const std::string address = "sftp://127.0.0.1:" + std::to_string(sftpRelayPort);
        const auto ours = [&](std::vector<std::string> more) {
            std::vector<std::string> command = {
                VANTIRO_CLI_PATH, "upload", "--server", address,         "--user",   benchUser,
                "--home",         home,     "--binary", "--fingerprint", fingerprint};
            command.insert(command.end(), more.begin(), more.end());
            return command;
        };
        vantiro::TextFile::writeReplacing(sftpFolder + "/batch", "put -r " + pages + " /\n");
        const std::vector<std::string> openssh = {"sftp",
                                                  "-b",
                                                  sftpFolder + "/batch",
                                                  "-P",
                                                  std::to_string(sftpRelayPort),
                                                  "-i",
                                                  sftpFolder + "/key",
                                                  "-o",
                                                  "StrictHostKeyChecking=no",
                                                  "-o",
                                                  "UserKnownHostsFile=/dev/null",
                                                  "-o",
                                                  "BatchMode=yes",
                                                  benchUser + "@127.0.0.1"};
        std::vector<Side> sides = {
            {"vantiro-cli (default)", fresh(sftpRoot, ours({})), {}},
            {"OpenSSH sftp put -r", fresh(sftpRoot, openssh), {}},
            {"vantiro-cli --parallel 4", fresh(sftpRoot, ours({"--parallel", "4"})), {}},
            {"vantiro-cli --sync, again", second(sftpRoot, ours({"--sync"}), ours({"--sync"})), {}},
        };
        if (!measure("asyncssh (SFTP)", sides,
                     {{"default", 0, 1, 0.5, 0}, {"four", 2, 2, 0, 0}, {"again", 3, 3, 0, 2.0}},
                     options.runs, met))
            result = 2;
    }
    sftpRelay.stop();
    sftpServer.stop();
    if (!keep)
        fs::remove_all(work);
    return result != 0 ? result : met ? 0 : 1;
}
