#pragma once

#include <string>
#include <string_view>

namespace vantiro {

// Letter case of Windows-1252 text, accented letters included.
std::string LowerCp1252(std::string_view text);
std::string UpperCp1252(std::string_view text);

// Replaces every non-overlapping occurrence, left to right, without rescanning what was
// inserted. Returns the number of replacements.
size_t ReplaceAll(std::string& text, std::string_view found, std::string_view replacement);

} // namespace vantiro
