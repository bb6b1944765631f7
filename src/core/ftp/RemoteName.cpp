#include "core/ftp/RemoteName.h"

#include "core/text/Cp1252.h"
#include "core/text/Utf8.h"

#include <algorithm>

namespace vantiro {

std::u32string nameText(std::string_view name)
{
    // One pass for the usual valid UTF-8; the first broken sequence makes it a Windows-1252 name.
    std::u32string result;
    result.reserve(name.size());
    for (std::size_t pos = 0; pos < name.size();) {
        char32_t c = 0;
        const std::size_t length = Utf8::decode(name, pos, c);
        if (length == 0) {
            result.clear();
            for (const char byte : name)
                result += Cp1252::toUnicode(static_cast<unsigned char>(byte));
            return result;
        }
        result += c;
        pos += length;
    }
    return result;
}

namespace {

// The letters of Windows-1252 (ASCII, Latin-1, Š Œ Ž Ÿ) and the rest of Latin Extended-A,
// where upper and lower case alternate. Other scripts keep their case; ß and µ have no upper
// case letter of their own in the code page and stay as they are.
bool isLatinExtendedPair(char32_t c)
{
    // İ and ı (U+0130, U+0131) are not a pair: their partners are the ASCII i and I.
    return (c >= 0x0100 && c <= 0x0137 && c != 0x0130 && c != 0x0131) ||
           (c >= 0x014A && c <= 0x0177);
}

bool isLatinExtendedShiftedPair(char32_t c)
{
    return (c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E);
}

char32_t toLower(char32_t c)
{
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 0x20;
    if (c == 0x0178)
        return 0x00FF;
    if (isLatinExtendedPair(c))
        return c | 1;
    if (isLatinExtendedShiftedPair(c) && (c & 1) == 1)
        return c + 1;
    return c;
}

char32_t toUpper(char32_t c)
{
    if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return c - 0x20;
    if (c == 0x00FF)
        return 0x0178;
    if (isLatinExtendedPair(c))
        return c & ~char32_t{1};
    if (isLatinExtendedShiftedPair(c) && (c & 1) == 0)
        return c - 1;
    return c;
}

template <typename CodePointMap>
std::string mapCase(std::string_view name, CodePointMap codePointMap)
{
    std::string result;
    result.reserve(name.size() + name.size() / 2);
    for (const char32_t c : nameText(name))
        Utf8::append(result, codePointMap(c));
    return result;
}

// The rest of the longer key against the blanks that pad the shorter one.
int compareWithBlanks(std::u32string_view rest)
{
    for (const char32_t c : rest) {
        if (c != U' ')
            return c < U' ' ? -1 : 1;
    }
    return 0;
}

} // namespace

bool isUtf8(std::string_view bytes)
{
    return Utf8::isValid(bytes);
}

std::string upperCaseText(std::string_view name)
{
    return mapCase(name, toUpper);
}

std::string lowerCaseText(std::string_view name)
{
    return mapCase(name, toLower);
}

std::u32string nameSortKey(std::string_view name)
{
    std::u32string key = nameText(name);
    for (char32_t& c : key)
        c = toLower(c);
    return key;
}

bool paddedKeyLess(std::u32string_view a, std::u32string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (a[i] != b[i])
            return a[i] < b[i];
    }
    if (a.size() < b.size())
        return compareWithBlanks(b.substr(common)) > 0;
    return compareWithBlanks(a.substr(common)) < 0;
}

bool isSafeLocalName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

// A copy for SHOW/OPEN keeps letters, digits, ".", "-" and "_" of the remote name; everything
// else becomes "_", leading dots go, and the length is bounded. The copy is never opened by
// another program, but a plain name keeps the viewer's title and the folder readable.
std::string viewerCopyName(const std::string& name)
{
    std::string safe;
    for (const char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        if (safe.empty() && c == '.')
            continue;
        safe += plain ? c : '_';
        if (safe.size() == 100)
            break;
    }
    return safe.empty() ? "datei" : safe;
}

} // namespace vantiro
