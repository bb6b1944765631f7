#include "core/generator/NumberText.h"

#include <charconv>
#include <clocale>
#include <string>

namespace vantiro {

std::optional<double> parseNumber(std::string_view text, char decimalSeparator)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return std::nullopt;
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);

    // Rewritten with "." so that from_chars, which ignores the locale, reads it exactly.
    std::string canonical;
    if (text.front() == '+' || text.front() == '-') {
        if (text.front() == '-')
            canonical += '-';
        text.remove_prefix(1);
    }
    bool digits = false;
    bool separator = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            digits = true;
            canonical += c;
        } else if (c == decimalSeparator && !separator) {
            separator = true;
            canonical += '.';
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    double value = 0;
    const auto [end, error] =
        std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
    if (error != std::errc() || end != canonical.data() + canonical.size())
        return std::nullopt;
    return value;
}

char localeDecimalSeparator()
{
    const std::lconv* conventions = std::localeconv();
    return conventions && conventions->decimal_point && conventions->decimal_point[0]
               ? conventions->decimal_point[0]
               : '.';
}

} // namespace vantiro
