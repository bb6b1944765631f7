// The FTP window's UP of a page run (201 files) on one connection and on four, through a relay
// on 127.0.0.1 that holds every chunk 20 ms in each direction (40 ms round trips), and directly
// on loopback. The window's logic runs as the window runs it, only without the widgets: each
// blocking call where the window would start its worker thread.
//
// Then the same files through the same relay with vantiro-cli upload's default, the peer the
// window is measured against.
//
// Usage: window_upload_bench [--files N] [--runs N] [--skip-single]
// Prints the median of each way, the ratio of four connections to one, and the window's four
// connections against the tool's default. --skip-single leaves out the slow single connection.

#include "core/ftp/FtpSession.h"
#include "core/ftp/FtpView.h"
#include "platform/CurlFtpClient.h"
#include "support/FtpTestServer.h"
#include "support/ServerProcess.h"
#include "support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace vantiro;
namespace fs = std::filesystem;

constexpr const char* python = "/usr/bin/python3";
constexpr int delayMilliseconds = 20;

// A window without widgets: every file of the folder selected, every question unanswered.
class HeadlessView final : public FtpView {
public:
    HeadlessView(std::string server, std::string user, std::string password, std::string folder,
                 std::vector<std::string> files)
        : server_(std::move(server)), user_(std::move(user)), password_(std::move(password)),
          folder_(std::move(folder)), files_(std::move(files))
    {
    }

    std::string serverText() const override { return server_; }
    std::string userText() const override { return user_; }
    std::string passwordText() const override { return password_; }
    std::string filterText() const override { return "*.*"; }
    bool passiveChecked() const override { return true; }
    void setStatus(const std::string& text) override { status = text; }
    void setSecurity(const std::string&) override {}
    void setLocation(const std::string&) override {}
    void setServerLines(const std::vector<std::string>& lines) override { listed = lines.size(); }
    int currentServerLine() const override { return -1; }
    std::vector<int> selectedServerLines() const override { return {}; }
    void setDetails(const std::string&, const std::string&, const std::string&) override {}
    void setConnectedState() override {}
    void setDisconnectedState() override {}
    void showMessage(const std::string& text) override { messages.push_back(text); }
    std::optional<std::string> askInput(const std::string&, const std::string&,
                                        const std::string&) override
    {
        return std::nullopt;
    }
    void setBusy(bool) override {}
    void processEvents() override {}
    void runCall(const std::function<void()>& call) override { call(); }
    void showProgress(std::size_t, std::size_t) override {}
    void showFileProgress(std::uint64_t, std::uint64_t) override {}
    void showRunProgress(std::size_t, std::size_t, std::uint64_t, std::uint64_t) override {}
    void showRunStatus(const std::string&) override {}
    std::string localFolder() const override { return folder_; }
    std::size_t localFileCount() const override { return files_.size(); }
    std::vector<std::string> selectedLocalFiles() const override { return files_; }
    void refreshLocalFiles() override {}
    std::string viewerFolder() override { return {}; }
    void openViewer(const std::string&, const std::string&) override {}

    std::string status;
    std::size_t listed = 0;
    std::vector<std::string> messages;

private:
    std::string server_;
    std::string user_;
    std::string password_;
    std::string folder_;
    std::vector<std::string> files_;
};

// Seconds of one UP, or a negative number when a file did not arrive.
double timedUpload(const test::FtpTestServer& server, int port, const std::string& folder,
                   const std::vector<std::string>& files, int connections)
{
    for (const auto& entry : fs::directory_iterator(server.root()))
        fs::remove_all(entry.path());
    HeadlessView view("127.0.0.1:" + std::to_string(port), server.user(), server.password(), folder,
                      files);
    FtpSession session(view, [] { return std::make_unique<CurlFtpClient>(); });
    session.setConnections(connections);
    session.load();
    session.connect();
    if (!session.connected()) {
        std::fprintf(stderr, "window_upload_bench: no login: %s\n", view.status.c_str());
        return -1;
    }
    const auto start = std::chrono::steady_clock::now();
    session.upload();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    session.unload();
    std::size_t arrived = 0;
    for (const auto& entry : fs::directory_iterator(server.root()))
        arrived += entry.is_regular_file();
    if (arrived != files.size() || !view.messages.empty()) {
        std::fprintf(stderr, "window_upload_bench: %zu of %zu files arrived\n", arrived,
                     files.size());
        return -1;
    }
    return seconds;
}

// Seconds of vantiro-cli upload's default run of the same files, or a negative number.
double timedToolUpload(const test::FtpTestServer& server, int port, const std::string& home)
{
    for (const auto& entry : fs::directory_iterator(server.root()))
        fs::remove_all(entry.path());
    const std::string command = "VANTIRO_FTP_PASSWORD='" + server.password() + "' " +
                                VANTIRO_CLI_PATH +
                                " upload --server 127.0.0.1:" + std::to_string(port) + " --user '" +
                                server.user() + "' --home '" + home + "' >/dev/null 2>&1";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (status != 0) {
        std::fprintf(stderr, "window_upload_bench: vantiro-cli upload failed (%d)\n", status);
        return -1;
    }
    return seconds;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    int fileCount = 201;
    int runs = 3;
    bool single = true;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--skip-single")
            single = false;
        else if (option == "--files" && i + 1 < argc)
            fileCount = std::atoi(argv[++i]);
        else if (option == "--runs" && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else
            fileCount = 0;
    }
    if (fileCount < 1 || runs < 1) {
        std::fprintf(stderr, "Usage: window_upload_bench [--files N] [--runs N] [--skip-single]\n");
        return 2;
    }
    test::TempDir work;
    const std::string folder = work.file("doorpages");
    fs::create_directories(folder);
    std::vector<std::string> files;
    for (int i = 0; i < fileCount; ++i) {
        const std::string name = "seite" + std::to_string(i) + ".htm";
        std::ofstream(folder + "/" + name)
            << "<html><body>" << std::string(2000 + 37 * i, 'x') << "</body></html>\r\n";
        files.push_back(name);
    }
    test::FtpTestServer server;
    test::ServerProcess relay;
    const int relayPort = test::ServerProcess::freePort();
    const std::string ready = work.file("relay.ready");
    if (!relay.start({python, VANTIRO_BENCH_DIR "/delay_relay.py", std::to_string(relayPort),
                      std::to_string(server.port()), std::to_string(delayMilliseconds), "ftp",
                      ready},
                     work.file("relay.log"), ready)) {
        std::fprintf(stderr, "window_upload_bench: the relay did not start\n");
        return 2;
    }

    std::printf("UP of %d files from the window's logic to pyftpdlib, median of %d\n", fileCount,
                runs);
    for (const auto& [name, port] :
         {std::pair{"loopback", server.port()}, std::pair{"40 ms link", relayPort}}) {
        double byConnections[2] = {0, 0};
        for (int way = single ? 0 : 1; way < 2; ++way) {
            const int connections = way == 0 ? 1 : 4;
            std::vector<double> seconds;
            for (int run = 0; run < runs; ++run) {
                const double taken = timedUpload(server, port, folder, files, connections);
                if (taken < 0)
                    return 1;
                seconds.push_back(taken);
            }
            byConnections[way] = median(seconds);
            std::printf("  %-10s %d connection%s: %6.2f s\n", name, connections,
                        connections == 1 ? " " : "s", byConnections[way]);
        }
        if (single)
            std::printf("  %-10s four to one: %.2f\n", name, byConnections[1] / byConnections[0]);
        if (port != relayPort)
            continue;
        std::vector<double> seconds;
        for (int run = 0; run < runs; ++run) {
            const double taken = timedToolUpload(server, port, work.path());
            if (taken < 0)
                return 1;
            seconds.push_back(taken);
        }
        const double tool = median(seconds);
        std::printf("  %-10s vantiro-cli upload (default): %6.2f s\n", name, tool);
        std::printf("  %-10s window's four connections to the tool's default: %.2f (target: at "
                    "most 1.2)\n",
                    name, byConnections[1] / tool);
    }
    return 0;
}
