#include "core/style/CssFontFamily.h"

#include <array>
#include <utility>

namespace vantiro {
namespace {

std::string lowerAscii(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// "Family [Foundry]" as Qt lists a family that several foundries offer.
std::string_view withoutFoundry(std::string_view family)
{
    family = trimmed(family);
    if (family.empty() || family.back() != ']')
        return family;
    const std::size_t open = family.rfind('[');
    if (open == std::string_view::npos || open == 0)
        return family;
    const std::string_view name = trimmed(family.substr(0, open));
    return name.empty() ? family : name;
}

std::string_view genericName(std::string_view family)
{
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 10> generics = {{
        {"sans serif", "sans-serif"},
        {"sans-serif", "sans-serif"},
        {"sans", "sans-serif"},
        {"serif", "serif"},
        {"monospace", "monospace"},
        {"mono", "monospace"},
        {"cursive", "cursive"},
        {"fantasy", "fantasy"},
        {"system-ui", "system-ui"},
        {"system ui", "system-ui"},
    }};
    const std::string lower = lowerAscii(family);
    for (const auto& [qtName, cssName] : generics) {
        if (lower == qtName)
            return cssName;
    }
    return {};
}

// Words CSS reads as keywords rather than as a family name.
bool isReservedWord(std::string_view word)
{
    static constexpr std::array<std::string_view, 14> reserved = {
        "inherit",    "initial",   "unset",   "revert",  "revert-layer", "default", "serif",
        "sans-serif", "monospace", "cursive", "fantasy", "system-ui",    "emoji",   "math"};
    const std::string lower = lowerAscii(word);
    for (std::string_view keyword : reserved) {
        if (lower == keyword)
            return true;
    }
    return false;
}

bool isNameCharacter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c >= 0x80;
}

// One CSS identifier: name characters only, not starting with a digit, "--" or "-" and a digit.
bool isIdentifier(std::string_view word)
{
    if (word.empty())
        return false;
    for (char c : word) {
        if (!isNameCharacter(static_cast<unsigned char>(c)))
            return false;
    }
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (digit(word[0]))
        return false;
    if (word[0] == '-' && (word.size() == 1 || word[1] == '-' || digit(word[1])))
        return false;
    return true;
}

// Unquoted, a family is a run of identifiers separated by single blanks.
bool readsUnquoted(std::string_view family)
{
    std::size_t start = 0;
    while (true) {
        const std::size_t blank = family.find(' ', start);
        const std::string_view word = family.substr(start, blank - start);
        if (!isIdentifier(word) || isReservedWord(word))
            return false;
        if (blank == std::string_view::npos)
            return true;
        start = blank + 1;
    }
}

// A CSS string; "<" is escaped too, so that no name can close the STYLE element.
std::string quoted(std::string_view family)
{
    std::string text = "\"";
    for (char c : family) {
        if (c == '"' || c == '\\')
            text += '\\';
        if (c == '<')
            text += "\\3C ";
        else if (c == '\n' || c == '\r')
            text += "\\A ";
        else
            text += c;
    }
    text += '"';
    return text;
}

} // namespace

std::string cssFontFamily(std::string_view family)
{
    const std::string_view name = withoutFoundry(family);
    if (const std::string_view generic = genericName(name); !generic.empty())
        return std::string(generic);
    if (readsUnquoted(name))
        return std::string(name);
    return quoted(name);
}

} // namespace vantiro
