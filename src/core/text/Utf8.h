#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantiro {

// The one UTF-8 reader and writer of the program.
class Utf8 final {
public:
    // Decodes the sequence at pos into out and returns its length; 0 when it is broken, cut
    // off, overlong, a surrogate or beyond U+10FFFF.
    static std::size_t decode(std::string_view bytes, std::size_t pos, char32_t& out);
    // True when every byte belongs to a well-formed sequence.
    static bool isValid(std::string_view bytes);
    static void append(std::string& out, char32_t character);
};

} // namespace vantiro
