#pragma once

#include <string>
#include <string_view>

namespace vantiro {

// Removes blanks (0x20, nothing else) at both ends.
std::string_view trim(std::string_view text);

// Trims blanks, turns inner blanks into "_" and keeps only ".", digits, "_" and ASCII letters.
std::string sanitizeFileName(std::string_view name);

} // namespace vantiro
