#pragma once

#include <string>
#include <vector>

namespace vantiro {

// vantiro-cli generate: one generation run with the window's start values and the options.
// Exit codes: 0 done, 1 finished but files could not be written, 2 refused or stopped.
int runGenerateCommand(const std::vector<std::string>& args);

} // namespace vantiro
