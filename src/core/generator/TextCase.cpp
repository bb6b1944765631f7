#include "core/generator/TextCase.h"

namespace vantiro {
namespace {

unsigned char lower(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 0x20);
    switch (c) {
    case 0x8A: // S with caron
    case 0x8C: // OE
    case 0x8E: // Z with caron
        return static_cast<unsigned char>(c + 0x10);
    case 0x9F: // Y with diaeresis
        return 0xFF;
    default:
        return c;
    }
}

unsigned char upper(unsigned char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<unsigned char>(c - 0x20);
    switch (c) {
    case 0x9A:
    case 0x9C:
    case 0x9E:
        return static_cast<unsigned char>(c - 0x10);
    case 0xFF:
        return 0x9F;
    default:
        return c;
    }
}

template <typename Map> std::string mapBytes(std::string_view text, Map map)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(map(static_cast<unsigned char>(c)));
    return result;
}

} // namespace

std::string lowerCp1252(std::string_view text)
{
    return mapBytes(text, lower);
}

std::string upperCp1252(std::string_view text)
{
    return mapBytes(text, upper);
}

size_t replaceAll(std::string& text, std::string_view found, std::string_view replacement)
{
    if (found.empty())
        return 0;
    size_t position = text.find(found);
    if (position == std::string::npos)
        return 0;
    std::string result;
    result.reserve(text.size() + replacement.size());
    size_t copied = 0;
    size_t count = 0;
    for (; position != std::string::npos; position = text.find(found, copied)) {
        result.append(text, copied, position - copied);
        result.append(replacement);
        copied = position + found.size();
        ++count;
    }
    result.append(text, copied, std::string::npos);
    text = std::move(result);
    return count;
}

} // namespace vantiro
