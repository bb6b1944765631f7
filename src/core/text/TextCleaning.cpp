#include "core/text/TextCleaning.h"

namespace vantiro {
namespace {

bool isKeptFileNameChar(unsigned char c)
{
    return c == '.' || c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
           (c >= 'a' && c <= 'z');
}

} // namespace

std::string_view trim(std::string_view text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string sanitizeFileName(std::string_view name)
{
    std::string cleaned;
    cleaned.reserve(name.size());
    for (char c : trim(name)) {
        if (c == ' ')
            cleaned += '_';
        else if (isKeptFileNameChar(static_cast<unsigned char>(c)))
            cleaned += c;
    }
    return cleaned;
}

} // namespace vantiro
