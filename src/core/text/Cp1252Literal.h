#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace vantiro {

// German texts that the program keeps in Windows-1252 are written in the source as they read,
// "Übertragungsfehler"_cp1252, and converted while compiling. A character the code page lacks,
// or broken UTF-8, stops the build instead of turning into "?" at run time.
class Cp1252Literal final {
public:
    // The byte of the character whose UTF-8 starts at pos, advancing pos past it; -1 when the
    // sequence is broken or the code page has no such character.
    static constexpr int nextByte(std::string_view utf8, std::size_t& pos)
    {
        char32_t character = 0;
        if (!decode(utf8, pos, character))
            return -1;
        return byteOf(character);
    }

    // How many bytes the Windows-1252 form of utf8 has, without a terminating NUL.
    static consteval std::size_t convertedSize(std::string_view utf8)
    {
        std::size_t size = 0;
        for (std::size_t pos = 0; pos < utf8.size(); ++size) {
            if (nextByte(utf8, pos) < 0)
                characterOutsideWindows1252();
        }
        return size;
    }

    // The Windows-1252 bytes of utf8 with a terminating NUL; size is convertedSize(utf8) + 1.
    template <std::size_t size>
    static consteval std::array<char, size> convert(std::string_view utf8)
    {
        std::array<char, size> bytes{};
        std::size_t out = 0;
        for (std::size_t pos = 0; pos < utf8.size();)
            bytes[out++] = static_cast<char>(nextByte(utf8, pos));
        return bytes;
    }

    // The literal as the compiler saw it, so that it can be a template argument.
    template <std::size_t size> struct Utf8Text final {
        consteval Utf8Text(const char (&literal)[size])
        {
            for (std::size_t i = 0; i < size; ++i)
                text[i] = literal[i];
        }
        constexpr std::string_view view() const { return std::string_view(text, size - 1); }
        char text[size]{};
    };

    // One converted literal, stored once for the whole program.
    template <Utf8Text literal> struct Constant final {
        static constexpr std::array<char, convertedSize(literal.view()) + 1> bytes =
            convert<convertedSize(literal.view()) + 1>(literal.view());
    };

private:
    // Not constexpr on purpose: reaching it while compiling makes the literal ill-formed, and
    // its name is what the compiler's message shows.
    static void characterOutsideWindows1252();

    // The characters of bytes 0x80 to 0x9F; the five bytes the code page leaves undefined keep
    // the control character of their own number, as Cp1252::toUnicode does.
    static constexpr std::array<char32_t, 32> upperControls = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

    static constexpr int byteOf(char32_t character)
    {
        if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
            return static_cast<int>(character);
        for (std::size_t i = 0; i < upperControls.size(); ++i) {
            if (upperControls[i] == character)
                return static_cast<int>(0x80 + i);
        }
        return -1;
    }

    // Strict UTF-8: no overlong forms, no surrogates, nothing beyond U+10FFFF.
    static constexpr bool decode(std::string_view utf8, std::size_t& pos, char32_t& character)
    {
        const auto lead = static_cast<unsigned char>(utf8[pos]);
        std::size_t length = 1;
        char32_t minimum = 0;
        if (lead < 0x80) {
            character = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            minimum = 0x80;
            character = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            minimum = 0x800;
            character = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            minimum = 0x10000;
            character = lead & 0x07;
        } else {
            return false;
        }
        if (utf8.size() - pos < length)
            return false;
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(utf8[pos + i]);
            if ((next & 0xC0) != 0x80)
                return false;
            character = (character << 6) | (next & 0x3F);
        }
        if (character < minimum || character > 0x10FFFF ||
            (character >= 0xD800 && character <= 0xDFFF))
            return false;
        pos += length;
        return true;
    }
};

// "Übertragungsfehler"_cp1252 is a pointer to the NUL-terminated Windows-1252 bytes, usable
// wherever the plain literal was.
template <Cp1252Literal::Utf8Text literal> consteval const char* operator""_cp1252()
{
    return Cp1252Literal::Constant<literal>::bytes.data();
}

} // namespace vantiro
