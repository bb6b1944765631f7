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
