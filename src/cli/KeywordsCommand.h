#pragma once

#include <string>
#include <vector>

namespace vantiro {

// vantiro-cli keywords: writes a keyword file from a comma-separated text, as the keyword
// dialog's OK does, and prints its path. Exit codes: 0 written, 1 not writable, 2 refused.
int runKeywordsCommand(const std::vector<std::string>& args);

} // namespace vantiro
