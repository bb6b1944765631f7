#pragma once

#include <string>
#include <vector>

namespace vantiro::test {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built vantiro-cli with the arguments (no shell involved) and collects its output.
CliResult runCli(const std::vector<std::string>& args,
                 const std::vector<std::string>& environment = {});

} // namespace vantiro::test
