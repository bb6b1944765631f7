#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vantiro::bench {

// Where a child's standard streams go; stderr stays the bench's own unless merged.
struct ChildFiles {
    // Empty: the bench's own stdin.
    std::string input;
    std::string output = "/dev/null";
    // Append to output instead of starting it afresh, for logs that several children share.
    bool append = false;
    bool errorsToOutput = false;
};

struct Measurement {
    double seconds = 0;
    long peakKilobytes = 0;
    // -1 when the child could not be started or did not end normally.
    int exitCode = -1;
};

// Starts args[0], looked up on PATH; -1 when it cannot be started.
pid_t spawnChild(std::vector<std::string> args, const ChildFiles& files = {});
// The child's exit code, or -1.
int waitFor(pid_t pid);
// Runs a child to its end: wall time, its peak memory and exit code.
Measurement timed(std::vector<std::string> args, const ChildFiles& files = {});

double secondsSince(std::chrono::steady_clock::time_point start);
double median(std::vector<double> values);
// Total size of the regular files below folder, in MB (10^6 bytes).
double folderMegabytes(const std::string& folder);

// The input of a 1000-page run below home: "keywordfile/keywords.vrk", "body.txt" (the sample
// body) and "vtr.gif".
void prepareHome(const std::string& home);

// --runs N and --keep DIR, as the generation and transfer benches take them.
struct RunOptions {
    int runs = 0;
    // Empty: a temporary folder, removed at the end.
    std::string keep;
};
RunOptions parseRunOptions(int argc, char** argv, int defaultRuns);

} // namespace vantiro::bench
