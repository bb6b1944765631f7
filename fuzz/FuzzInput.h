#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace vantiro::fuzz {

// The fields of one input, separated by the byte 0x1F (unit separator), so that seeds can be
// written and read as text. Missing fields are empty.
inline std::vector<std::string> fields(const std::uint8_t* data, std::size_t size,
                                       std::size_t count)
{
    std::vector<std::string> parts(count);
    std::size_t field = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\x1F' && field + 1 < count)
            ++field;
        else
            parts[field] += c;
    }
    return parts;
}

// Splits at a separator byte; an empty text gives no pieces.
inline std::vector<std::string> split(std::string_view text, char separator)
{
    std::vector<std::string> pieces;
    if (text.empty())
        return pieces;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = text.find(separator, start);
        pieces.emplace_back(text.substr(start, at - start));
        if (at == std::string_view::npos)
            return pieces;
        start = at + 1;
    }
}

inline std::string printable(std::string_view text)
{
    std::string shown;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            shown += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            shown += escaped;
        }
    }
    return shown;
}

// A wrong result is reported like a crash, so that libFuzzer keeps the input.
[[noreturn]] inline void fail(const char* what, std::string_view expected, std::string_view actual)
{
    std::fprintf(stderr, "\n%s\n  expected: %s\n  actual:   %s\n", what,
                 printable(expected).c_str(), printable(actual).c_str());
    std::abort();
}

inline void check(bool condition, const char* what, std::string_view detail = {})
{
    if (!condition)
        fail(what, "true", detail);
}

} // namespace vantiro::fuzz
