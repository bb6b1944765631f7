// wildcardMatch against a plain matcher of the same rules: letter case ignored (ASCII), "*" any
// run, "?" one character, any other character itself, also "*" and "?" in the name; an empty
// pattern and "*.*" match every name, and a pattern ending in ".*" also matches a name without
// a dot by its part before ".*".
// Input: pattern, "\n", name.
#include "FuzzInput.h"
#include "core/text/Wildcard.h"

#include <vector>

using namespace vantiro;

namespace {

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// matches[p][n]: pattern from p matches name from n.
bool plainMatch(std::string_view pattern, std::string_view name)
{
    std::vector<std::vector<char>> matches(pattern.size() + 1,
                                           std::vector<char>(name.size() + 1, 0));
    matches[pattern.size()][name.size()] = 1;
    for (std::size_t p = pattern.size(); p-- > 0;) {
        for (std::size_t n = name.size() + 1; n-- > 0;) {
            if (pattern[p] == '*')
                matches[p][n] = matches[p + 1][n] || (n < name.size() && matches[p][n + 1]);
            else if (n < name.size() &&
                     (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n])))
                matches[p][n] = matches[p + 1][n + 1];
        }
    }
    return matches[0][0];
}

bool plainWildcardMatch(std::string_view pattern, std::string_view name)
{
    if (pattern.empty() || pattern == "*.*")
        return true;
    if (pattern.size() > 2 && pattern.ends_with(".*") && name.find('.') == std::string_view::npos)
        return plainMatch(pattern.substr(0, pattern.size() - 2), name);
    return plainMatch(pattern, name);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 512)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = input.find('\n');
    if (newline == std::string_view::npos)
        return 0;
    const std::string_view pattern = input.substr(0, newline);
    const std::string_view name = input.substr(newline + 1);
    const bool expected = plainWildcardMatch(pattern, name);
    if (wildcardMatch(pattern, name) != expected)
        fuzz::fail("WildcardMatch",
                   std::string(pattern) + " ~ " + std::string(name) + " -> " +
                       (expected ? "match" : "no match"),
                   expected ? "no match" : "match");
    return 0;
}
