#pragma once

#include <string>
#include <string_view>

namespace vantiro {

// Conversion between UTF-8 (the window, the terminal) and Windows-1252 (every file the program
// writes and the core's texts). A fixed table, so it needs nothing from the system and cannot
// fail at run time.
class Cp1252 final {
public:
    // A character outside the code page, or a broken UTF-8 sequence, becomes "?".
    static std::string fromUtf8(std::string_view utf8);

    // The five bytes the code page leaves undefined map to the control characters of the same
    // number, as on Windows, so every byte survives a round trip.
    static std::string toUtf8(std::string_view cp1252);

    // The Unicode character of one byte, by the same table as toUtf8.
    static char32_t toUnicode(unsigned char byte);
};

} // namespace vantiro
