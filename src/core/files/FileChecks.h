#pragma once

#include <string>

namespace vantiro {

// True when a folder exists at the path (a link to a folder counts).
bool folderExists(const std::string& path);

// True when an ordinary, visible file is found at the path. Folders and hidden files (names
// beginning with ".") count as absent. Wildcards "*" and "?" in the last path element are
// honoured with the rules of wildcardMatch. A search that fails answers false.
bool fileExists(const std::string& path);

// Creates one folder level; true when it exists afterwards.
bool createFolder(const std::string& path);

} // namespace vantiro
