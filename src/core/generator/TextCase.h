#pragma once

#include <string>
#include <string_view>

namespace vantiro {

// Letter case of Windows-1252 text, accented letters included.
std::string lowerCp1252(std::string_view text);
std::string upperCp1252(std::string_view text);

// Replaces every non-overlapping occurrence, left to right, without rescanning what was
// inserted. Returns the number of replacements.
size_t replaceAll(std::string& text, std::string_view found, std::string_view replacement);

} // namespace vantiro
