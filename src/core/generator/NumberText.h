#pragma once

#include <optional>
#include <string_view>

namespace vantiro {

// Reads a text as a decimal number: blanks at both ends, an optional sign, digits with at most
// one decimal separator. std::nullopt when the text is no such number.
std::optional<double> parseNumber(std::string_view text, char decimalSeparator);

// The decimal separator of the current C locale.
char localeDecimalSeparator();

} // namespace vantiro
