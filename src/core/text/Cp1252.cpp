#include "core/text/Cp1252.h"

#include "core/text/Utf8.h"

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

// How many bytes a lead byte announces, so that a broken sequence is skipped with the
// continuation bytes that belong to it and never swallows the character after it.
std::size_t announcedLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

} // namespace

std::string Cp1252::fromUtf8(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t character = 0;
        std::size_t used = Utf8::decode(utf8, i, character);
        if (used == 0) {
            const std::size_t length = announcedLength(static_cast<unsigned char>(utf8[i]));
            used = 1;
            while (used < length && i + used < utf8.size() &&
                   (static_cast<unsigned char>(utf8[i + used]) & 0xC0) == 0x80)
                ++used;
            character = 0xFFFF; // no byte of its own: '?'
        }
        out += byteOf(character);
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
        Utf8::append(out, characterOf(static_cast<unsigned char>(c)));
    return out;
}

} // namespace vantiro
