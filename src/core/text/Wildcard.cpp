#include "core/text/Wildcard.h"

#include <cstddef>

namespace vantiro {
namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool matchFrom(std::string_view pattern, std::string_view name)
{
    size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        // A star in the pattern is always a wildcard, also where the name holds a "*" itself.
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

bool wildcardMatch(std::string_view pattern, std::string_view name)
{
    // "*.*" is the classic "every file" pattern and also matches names without a dot.
    if (pattern.empty() || pattern == "*.*")
        return true;
    if (pattern.size() > 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos)
        return matchFrom(pattern.substr(0, pattern.size() - 2), name);
    return matchFrom(pattern, name);
}

} // namespace vantiro
