// A full 1000-page run with image links, timed against "cp -r" of its own output.
//
// Usage: generation_bench [--runs N] [--keep DIR]
// Prints the run's time, the copy's time, their ratio, the run's peak memory and the output
// size; exits 1 when the run takes more than twice the copy or more than 64 MB.

#include "core/generator/TextFile.h"
#include "core/style/SampleTemplate.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Measurement {
    double seconds = 0;
    long peakKilobytes = 0;
    int exitCode = -1;
};

Measurement timed(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    Measurement m;
    const auto start = std::chrono::steady_clock::now();
    // The run's closing message would only interleave with the report.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return m;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.peakKilobytes = usage.ru_maxrss;
    m.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return m;
}

void prepareHome(const std::string& home)
{
    fs::create_directories(home + "/keywordfile");
    static const char* words[] = {"Auto",  "Reifen", "Felge",  "Motor",  "Bremse",
                                  "Teile", "Tuning", "Garage", "Diesel", "Kombi"};
    std::string keywords;
    for (int i = 0; i < 1000; ++i)
        keywords += std::string(words[i % 10]) + " " + words[(i / 10) % 10] + " " +
                    std::to_string(i) + "\r\n";
    vantiro::TextFile::writeReplacing(home + "/keywordfile/keywords.vrk", keywords);
    std::string body = vantiro::sampleBody();
    vantiro::fillSampleMarkers(body, "Autoteile online", "http://www.example.com/");
    vantiro::TextFile::writeReplacing(home + "/body.txt", body);
    // A transparent GIF of 1 by 1 pixel.
    static const unsigned char pixel[] = {
        0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00,
        0x00, 0xFF, 0xFF, 0xFF, 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00,
        0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
    vantiro::TextFile::writeReplacing(
        home + "/vtr.gif", std::string(reinterpret_cast<const char*>(pixel), sizeof pixel));
}

double folderMegabytes(const std::string& folder)
{
    std::uintmax_t bytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            bytes += entry.file_size();
    return static_cast<double>(bytes) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 3;
    std::string home;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::string(argv[i]) == "--keep")
            home = argv[i + 1];
    }
    const bool keep = !home.empty();
    if (!keep)
        home = (fs::temp_directory_path() / ("vantiro-bench-" + std::to_string(getpid()))).string();
    prepareHome(home);

    std::vector<double> runTimes, copyTimes, ratios;
    long peakKilobytes = 0;
    for (int run = 0; run < runs; ++run) {
        fs::remove_all(home + "/doorpages");
        fs::remove_all(home + "/copy");
        const Measurement generation =
            timed({VANTIRO_CLI_PATH, "generate", "--home", home, "--keywords",
                   home + "/keywordfile/keywords.vrk", "--body", home + "/body.txt", "--pages",
                   "1000", "--seed", std::to_string(run + 1)});
        if (generation.exitCode != 0) {
            std::fprintf(stderr, "the generation run failed with exit code %d\n",
                         generation.exitCode);
            return 2;
        }
        const Measurement copy = timed({"cp", "-r", home + "/doorpages", home + "/copy"});
        runTimes.push_back(generation.seconds);
        copyTimes.push_back(copy.seconds);
        ratios.push_back(generation.seconds / copy.seconds);
        peakKilobytes = std::max(peakKilobytes, generation.peakKilobytes);
    }

    const double megabytes = folderMegabytes(home + "/doorpages");
    const double ratio = median(ratios);
    const double peakMegabytes = static_cast<double>(peakKilobytes) / 1024.0;
    std::printf(
        "pages: 1000 with image links, output %.1f MB in %zu files\n", megabytes,
        static_cast<size_t>(std::distance(fs::recursive_directory_iterator(home + "/doorpages"),
                                          fs::recursive_directory_iterator())));
    std::printf("generation run: %.3f s (median of %d)\n", median(runTimes), runs);
    std::printf("cp -r of its output: %.3f s (median of %d)\n", median(copyTimes), runs);
    std::printf("ratio run / copy: %.2f (target at most 2.00)\n", ratio);
    std::printf("peak memory of the run: %.1f MB (target under 64 MB)\n", peakMegabytes);
    if (!keep)
        fs::remove_all(home);
    return ratio <= 2.0 && peakMegabytes < 64.0 ? 0 : 1;
}
