// A full 1000-page run with image links, timed against "cp -r" of its own output.
//
// Usage: generation_bench [--runs N] [--keep DIR]
// Prints the run's time, the copy's time, their ratio, the run's peak memory and the output
// size; exits 1 when the run takes more than twice the copy or more than 64 MB.

#include "BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace vantiro::bench;

int main(int argc, char** argv)
{
    const RunOptions options = parseRunOptions(argc, argv, 3);
    const int runs = options.runs;
    std::string home = options.keep;
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
