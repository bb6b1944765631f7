// A remote folder of 120,000 entries on pyftpdlib (127.0.0.1), listed three ways in one run:
// curl fetching the raw MLSD listing (the floor: what the server and the wire take), vantiro-cli
// list, and the FTP window from CONNECT until the sorted listing is shown.
//
// Usage: listing_bench [--entries N]
// Prints time and peak memory of each; exits 1 when the tool or the window takes 2 s or more
// beyond the floor, or 300 MB or more.

#include "BenchSupport.h"

#include "platform/CurlFtpClient.h"
#include "qt/ftp/FtpWindow.h"
#include "support/FakeMessageBoxes.h"
#include "support/FtpTestServer.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace vantiro::bench;

std::size_t lineCount(const std::string& path)
{
    std::ifstream in(path);
    std::size_t count = 0;
    for (std::string line; std::getline(in, line);)
        ++count;
    return count;
}

// The window's part, run in a child process of its own so that its peak memory is its own.
int listInWindow(int argc, char** argv, const std::string& server, const std::string& user,
                 const std::string& password)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    vantiro::test::TempDir program;
    vantiro::test::FakeMessageBoxes boxes;
    vantiro::FtpWindow window(
        boxes, [] { return std::make_unique<vantiro::CurlFtpClient>(); },
        QString::fromStdString(program.path()));
    window.prepareOpening();
    window.show();
    window.ui().serverEdit->setText(QString::fromStdString(server));
    window.ui().userEdit->setText(QString::fromStdString(user));
    window.ui().passwordEdit->setText(QString::fromStdString(password));
    const auto start = std::chrono::steady_clock::now();
    window.ui().connectButton->click();
    QCoreApplication::processEvents();
    std::printf("%d %.3f\n", window.ui().remoteList->count(), secondsSince(start));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "--window") == 0)
        return listInWindow(argc, argv, argv[2], argv[3], argv[4]);
    std::size_t entries = 120000;
    if (argc == 3 && std::strcmp(argv[1], "--entries") == 0) {
        char* end = nullptr;
        entries = std::strtoul(argv[2], &end, 10);
        if (*argv[2] == '\0' || *end != '\0' || entries == 0) {
            std::fprintf(stderr, "--entries erwartet eine Zahl ab 1: %s\n", argv[2]);
            return 2;
        }
    } else if (argc != 1) {
        const bool help =
            argc == 2 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0);
        std::fprintf(help ? stdout : stderr, "Aufruf: %s [--entries N]\n", argv[0]);
        return help ? 0 : 2;
    }

    vantiro::test::FtpTestServer server;
    std::fprintf(stderr, "writing %zu files...\n", entries);
    for (std::size_t k = 0; k < entries; ++k) {
        // Many names that differ only in letter case, as the sort's equal keys.
        std::string name = "seite-" + std::to_string(k / 3) + ".htm";
        if (k % 3 == 1)
            name[0] = 'S';
        if (k % 3 == 2)
            name = "SEITE-" + std::to_string(k / 3) + ".HTM";
        std::ofstream(server.root() + "/" + name).flush();
    }
    vantiro::test::TempDir scratch;
    const std::string out = scratch.file("out.txt");
    setenv("VANTIRO_FTP_PASSWORD", server.password().c_str(), 1);

    const std::string url = "ftp://127.0.0.1:" + std::to_string(server.port()) + "/";
    const Measurement floor =
        timed({"curl", "-s", "-u", server.user() + ":" + server.password(), "-X", "MLSD", url},
              {"", out});
    const std::size_t floorLines = lineCount(out);
    const Measurement tool =
        timed({VANTIRO_CLI_PATH, "list", "--server", server.address(), "--user", server.user()},
              {"", out});
    const std::size_t toolLines = lineCount(out);
    const Measurement window =
        timed({argv[0], "--window", server.address(), server.user(), server.password()}, {"", out});
    std::size_t windowLines = 0;
    double windowSeconds = 0;
    if (std::FILE* f = std::fopen(out.c_str(), "r")) {
        if (std::fscanf(f, "%zu %lf", &windowLines, &windowSeconds) != 2)
            windowLines = 0;
        std::fclose(f);
    }

    std::printf("%-34s %10s %12s %10s\n", "", "seconds", "peak MB", "lines");
    std::printf("%-34s %10.2f %12.1f %10zu\n", "curl MLSD (floor)", floor.seconds,
                floor.peakKilobytes / 1024.0, floorLines);
    std::printf("%-34s %10.2f %12.1f %10zu\n", "vantiro-cli list", tool.seconds,
                tool.peakKilobytes / 1024.0, toolLines);
    std::printf("%-34s %10.2f %12.1f %10zu\n", "window, CONNECT to shown list", windowSeconds,
                window.peakKilobytes / 1024.0, windowLines);
    std::printf("%-34s %10.2f\n", "window process as a whole", window.seconds);

    const bool ok = tool.exitCode == 0 && window.exitCode == 0 && toolLines == entries + 2 &&
                    windowLines == entries + 2 && tool.seconds - floor.seconds < 2.0 &&
                    windowSeconds - floor.seconds < 2.0 && tool.peakKilobytes < 300 * 1024 &&
                    window.peakKilobytes < 300 * 1024;
    std::printf("%s\n", ok ? "within the limits" : "OUTSIDE THE LIMITS");
    return ok ? 0 : 1;
}
