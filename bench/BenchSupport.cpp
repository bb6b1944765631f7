#include "BenchSupport.h"

#include "core/generator/TextFile.h"
#include "core/style/SampleTemplate.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace vantiro::bench {

namespace fs = std::filesystem;

pid_t spawnChild(std::vector<std::string> args, const ChildFiles& files)
{
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!files.input.empty())
        posix_spawn_file_actions_addopen(&actions, 0, files.input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, files.output.c_str(),
                                     O_WRONLY | O_CREAT | (files.append ? O_APPEND : O_TRUNC),
                                     0600);
    if (files.errorsToOutput)
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int waitFor(pid_t pid)
{
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Measurement timed(std::vector<std::string> args, const ChildFiles& files)
{
    Measurement m;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = spawnChild(std::move(args), files);
    if (pid <= 0)
        return m;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return m;
    m.seconds = secondsSince(start);
    m.peakKilobytes = usage.ru_maxrss;
    m.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return m;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double folderMegabytes(const std::string& folder)
{
    std::uintmax_t bytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            bytes += entry.file_size();
    return static_cast<double>(bytes) / 1e6;
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

RunOptions parseRunOptions(int argc, char** argv, int defaultRuns)
{
    // A benchmark run takes minutes; a mistyped option must not start one unnoticed.
    const auto usage = [argv](int status) {
        std::fprintf(status == 0 ? stdout : stderr, "Aufruf: %s [--runs N] [--keep ORDNER]\n",
                     argv[0]);
        std::exit(status);
    };
    RunOptions options;
    options.runs = defaultRuns;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "-h" || option == "--help")
            usage(0);
        if ((option != "--runs" && option != "--keep") || i + 1 >= argc) {
            std::fprintf(stderr, "Unbekannte oder unvollst\xC3\xA4ndige Option: %s\n", argv[i]);
            usage(2);
        }
        const std::string value = argv[++i];
        if (option == "--keep") {
            options.keep = value;
            continue;
        }
        char* end = nullptr;
        const long runs = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || runs < 1 || runs > 1000) {
            std::fprintf(stderr, "--runs erwartet eine Zahl von 1 bis 1000: %s\n", value.c_str());
            usage(2);
        }
        options.runs = static_cast<int>(runs);
    }
    return options;
}

} // namespace vantiro::bench
