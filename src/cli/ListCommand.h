#pragma once

#include <string>
#include <vector>

namespace vantiro {

// vantiro-cli list: prints, one per line and in order, the lines the uploader window shows for
// a remote folder (default "/") and search pattern (default "*.*"). Exit codes: 0 listed,
// 1 the folder could not be read, 2 the login failed.
int runListCommand(const std::vector<std::string>& args);

} // namespace vantiro
