#pragma once

#include <string>
#include <string_view>

namespace vantiro {

// True when a folder exists at the path (a link to a folder counts).
bool FolderExists(const std::string& path);

// True when an ordinary, visible file is found at the path. Folders and hidden files (names
// beginning with ".") count as absent. Wildcards "*" and "?" in the last path element are
// honoured with the rules of WildcardMatch. A search that fails answers false.
bool FileExists(const std::string& path);

// Creates one folder level; true when it exists afterwards.
bool CreateFolder(const std::string& path);

// Trims blanks, turns inner blanks into "_" and keeps only ".", digits, "_" and ASCII letters.
std::string SanitizeFileName(std::string_view name);

// Windows wildcard rules, letter case ignored: "*" any run, "?" one character, "*.*" and an
// empty pattern match every name (also one without a dot).
bool WildcardMatch(std::string_view pattern, std::string_view name);

// Removes blanks (0x20, nothing else) at both ends.
std::string_view Trim(std::string_view text);

} // namespace vantiro
