#include "cli/TerminalText.h"

#include "core/ftp/RemoteName.h"
#include "core/text/Cp1252.h"

namespace vantiro {
namespace {

char letterEscape(unsigned char c)
{
    switch (c) {
    case '\a':
        return 'a';
    case '\b':
        return 'b';
    case '\t':
        return 't';
    case '\n':
        return 'n';
    case '\v':
        return 'v';
    case '\f':
        return 'f';
    case '\r':
        return 'r';
    default:
        return 0;
    }
}

void appendOctal(std::string& out, unsigned char c)
{
    out += '\\';
    out += static_cast<char>('0' + (c >> 6));
    out += static_cast<char>('0' + ((c >> 3) & 7));
    out += static_cast<char>('0' + (c & 7));
}

// The length of the UTF-8 sequence at text[i] when it is a bidirectional or invisible format
// control: U+061C, U+200E and U+200F, U+202A to U+202E and U+2066 to U+2069. Such a character in
// a name can turn the rest of a line around ("gpj.exe" shown as "exe.jpg"), so it is escaped like
// a control character.
std::size_t bidiControlLength(const std::string& text, std::size_t i)
{
    const auto at = [&](std::size_t k) {
        return k < text.size() ? static_cast<unsigned char>(text[k]) : 0;
    };
    if (at(i) == 0xD8 && at(i + 1) == 0x9C)
        return 2;
    if (at(i) != 0xE2)
        return 0;
    const unsigned char second = at(i + 1);
    const unsigned char third = at(i + 2);
    if (second == 0x80 && (third == 0x8E || third == 0x8F || (third >= 0xAA && third <= 0xAE)))
        return 3;
    if (second == 0x81 && third >= 0xA6 && third <= 0xA9)
        return 3;
    return 0;
}

} // namespace

std::string TerminalText::escape(std::string_view bytes)
{
    const std::string utf8 = isUtf8(bytes) ? std::string(bytes) : Cp1252::toUtf8(bytes);
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
        if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || c == 0x7F) {
            if (const char letter = letterEscape(c)) {
                out += '\\';
                out += letter;
            } else {
                appendOctal(out, c);
            }
        } else if (const std::size_t length = bidiControlLength(utf8, i)) {
            for (std::size_t k = 0; k < length; ++k)
                appendOctal(out, static_cast<unsigned char>(utf8[i + k]));
            i += length - 1;
        } else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
            // U+0080 to U+009F: some terminals take U+009B as the start of a control sequence.
            appendOctal(out, c);
            appendOctal(out, next);
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace vantiro
