// A 1000-page image-link run uploaded with "vantiro-cli upload --binary", timed against lftp's
// "mirror -R" of the same folder to the same server, on two real FTP servers on 127.0.0.1 that
// this program starts itself: pure-ftpd, which lists with MLSD, and pyftpdlib with MLSD taken
// out, which lists with LIST only. First one connection each, then four.
//
// Usage: transfer_bench [--runs N] [--keep DIR]
// Must run as root (pure-ftpd serves a virtual user only then). Prints the median and the
// slowest run of each side and their ratios; exits 1 when a median or a slowest run of
// vantiro-cli takes more than 1.2 times lftp's with one connection, or more than lftp's with
// four, 2 when something could not be set up.

#include "BenchServers.h"
#include "BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace vantiro::bench;

// Seconds of a run, or a negative number when it failed.
double timedRun(std::vector<std::string> args)
{
    const Measurement run = timed(std::move(args), ChildFiles{"", "/dev/null", true, true});
    return run.exitCode == 0 ? run.seconds : -1;
}

namespace fs = std::filesystem;

double slowest(const std::vector<double>& values)
{
    return *std::max_element(values.begin(), values.end());
}

// Times both sides in turn, run after run, so that a slow moment of the machine hits both.
// False when a run failed or the files did not all arrive.
bool compare(const FtpServer& server, const std::string& home, int connections, int runs,
             double target, bool& met)
{
    const std::string pages = home + "/doorpages";
    const size_t expected = filesIn(pages);
    const std::string address = "127.0.0.1:" + std::to_string(server.port);
    setenv("VANTIRO_FTP_PASSWORD", benchPassword.c_str(), 1);
    std::vector<double> ours, theirs;
    const std::string mirror =
        "mirror -R --no-perms --parallel=" + std::to_string(connections) + " " + pages + " /";
    const std::vector<std::string> ownCommand = {VANTIRO_CLI_PATH,
                                                 "upload",
                                                 "--server",
                                                 address,
                                                 "--user",
                                                 benchUser,
                                                 "--home",
                                                 home,
                                                 "--binary",
                                                 "--parallel",
                                                 std::to_string(connections)};
    const std::vector<std::string> lftpCommand = {
        "lftp", "-c",
        "set ftp:ssl-allow no; set net:max-retries 1; set ftp:passive-mode on; open -u " +
            benchUser + "," + benchPassword + " ftp://" + address + "; " + mirror};
    // One upload into an empty server folder; its seconds, or a negative number on failure.
    auto upload = [&](const std::vector<std::string>& command, const char* who, int run) {
        emptyFolder(server.root);
        const double seconds = timedRun(command);
        if (seconds < 0 || filesIn(server.root) != expected) {
            std::fprintf(stderr, "%s to %s failed in run %d\n", who, server.name.c_str(), run + 1);
            return -1.0;
        }
        return seconds;
    };
    for (int run = 0; run < runs; ++run) {
        // Each side goes first in every other run, so that neither always meets the server
        // right after the folder was emptied.
        const bool ownFirst = run % 2 == 0;
        const double first = ownFirst ? upload(ownCommand, "vantiro-cli upload", run)
                                      : upload(lftpCommand, "lftp mirror -R", run);
        const double second = first < 0  ? -1
                              : ownFirst ? upload(lftpCommand, "lftp mirror -R", run)
                                         : upload(ownCommand, "vantiro-cli upload", run);
        if (first < 0 || second < 0)
            return false;
        ours.push_back(ownFirst ? first : second);
        theirs.push_back(ownFirst ? second : first);
    }
    const double medianRatio = median(ours) / median(theirs);
    const double slowestRatio = slowest(ours) / slowest(theirs);
    std::printf("%-22s %d connection%s: vantiro-cli median %6.2f s, slowest %6.2f s | "
                "lftp median %6.2f s, slowest %6.2f s | ratio median %.2f, slowest %.2f "
                "(target at most %.2f)\n",
                server.name.c_str(), connections, connections == 1 ? " " : "s", median(ours),
                slowest(ours), median(theirs), slowest(theirs), medianRatio, slowestRatio, target);
    std::fflush(stdout);
    met = met && medianRatio <= target && slowestRatio <= target;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const RunOptions options = parseRunOptions(argc, argv, 5);
    const int runs = options.runs;
    std::string work = options.keep;
    if (geteuid() != 0) {
        std::fprintf(stderr, "transfer_bench runs as root: pure-ftpd serves its user only so\n");
        return 2;
    }
    const bool keep = !work.empty();
    if (!keep)
        work = (fs::temp_directory_path() / ("vantiro-transfer-bench-" + std::to_string(getpid())))
                   .string();
    const std::string home = work + "/home";
    prepareHome(home);
    if (timedRun({VANTIRO_CLI_PATH, "generate", "--home", home, "--keywords",
                  home + "/keywordfile/keywords.vrk", "--body", home + "/body.txt", "--pages",
                  "1000", "--seed", "1"}) < 0) {
        std::fprintf(stderr, "the generation run failed\n");
        return 2;
    }
    std::printf("upload of a 1000-page image-link run: %zu files, %.1f MB; %d runs each\n",
                filesIn(home + "/doorpages"), folderMegabytes(home + "/doorpages"), runs);

    FtpServer pure, listOnly;
    int result = 0;
    bool met = true;
    if (!startPureFtpd(work, pure) || !startListOnly(work, listOnly)) {
        std::fprintf(stderr, "the FTP servers do not start (see %s)\n", work.c_str());
        result = 2;
    } else {
        for (const FtpServer* server : {&pure, &listOnly})
            if (!compare(*server, home, 1, runs, 1.2, met) ||
                !compare(*server, home, 4, runs, 1.0, met))
                result = 2;
    }
    pure.process.stop();
    listOnly.process.stop();
    if (!keep)
        fs::remove_all(work);
    return result != 0 ? result : met ? 0 : 1;
}
