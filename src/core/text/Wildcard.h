#pragma once

#include <string_view>

namespace vantiro {

// Windows wildcard rules, letter case ignored: "*" any run, "?" one character, "*.*" and an
// empty pattern match every name (also one without a dot).
bool wildcardMatch(std::string_view pattern, std::string_view name);

} // namespace vantiro
