#pragma once

#include <string>
#include <vector>

namespace vantiro {

// vantiro-cli upload: sends every file of doorpages into the remote folder (default "/") and
// the files of doorpages/images into its "images" folder, creating missing folders, one line per
// file on stdout, over four connections unless --parallel says otherwise. With --sync only the
// files that changed since the tool last sent them there go (UploadSync). Exit codes: 0 every
// file arrived, 1 otherwise, 2 the login failed.
int runUploadCommand(const std::vector<std::string>& args);

} // namespace vantiro
