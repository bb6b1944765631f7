#include "core/text/Cp1252.h"

#include <array>
#include <cstdint>

namespace vantiro {
namespace {

// The characters of bytes 0x80 to 0x9F; the five bytes the code page leaves undefined keep
// the control character of their own number.
constexpr std::array<char32_t, 32> upperControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t characterOf(unsigned char byte)
{
    return byte >= 0x80 && byte <= 0x9F ? upperControls[byte - 0x80] : byte;
}

// The byte for a character, or '?' when the code page has none.
char byteOf(char32_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return static_cast<char>(character);
    for (std::size_t i = 0; i < upperControls.size(); ++i) {
        if (upperControls[i] == character)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

bool isContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

std::size_t sequenceLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

// Decodes the sequence at the start of `in`. Returns the character, or U+FFFF for a broken,
// overlong or surrogate sequence; `used` is how many bytes belong to it, so that a broken
// sequence never swallows the character after it.
char32_t decode(std::string_view in, std::size_t& used)
{
    const auto lead = static_cast<unsigned char>(in[0]);
    const std::size_t length = sequenceLength(lead);
    used = 1;
    while (used < length && used < in.size() &&
           isContinuation(static_cast<unsigned char>(in[used])))
        ++used;
    constexpr char32_t broken = 0xFFFF;
    if (lead < 0x80)
        return lead;
    if (isContinuation(lead) || used < length || lead > 0xF4)
        return broken;
    char32_t character = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i)
        character = (character << 6) | (static_cast<unsigned char>(in[i]) & 0x3F);
    static constexpr std::array<char32_t, 5> smallest = {0, 0, 0x80, 0x800, 0x10000};
    if (character < smallest[length] || character > 0x10FFFF ||
        (character >= 0xD800 && character <= 0xDFFF))
        return broken;
    return character;
}

void appendUtf8(std::string& out, char32_t character)
{
    if (character < 0x80) {
        out += static_cast<char>(character);
    } else if (character < 0x800) {
        out += static_cast<char>(0xC0 | (character >> 6));
        out += static_cast<char>(0x80 | (character & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (character >> 12));
        out += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (character & 0x3F));
    }
}

} // namespace

std::string Cp1252::fromUtf8(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t used = 1;
        out += byteOf(decode(utf8.substr(i), used));
        i += used;
    }
    return out;
}

char32_t Cp1252::toUnicode(unsigned char byte)
{
    return characterOf(byte);
}

std::string Cp1252::toUtf8(std::string_view cp1252)
{
    std::string out;
    out.reserve(cp1252.size() * 2);
    for (const char c : cp1252)
        appendUtf8(out, characterOf(static_cast<unsigned char>(c)));
    return out;
}

} // namespace vantiro
