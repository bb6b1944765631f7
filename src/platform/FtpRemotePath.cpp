#include "platform/FtpRemotePath.h"

#include <vector>

namespace vantiro {
namespace {

std::vector<std::string_view> segments(std::string_view path)
{
    std::vector<std::string_view> result;
    while (!path.empty()) {
        const size_t slash = path.find('/');
        const std::string_view segment = path.substr(0, slash);
        if (!segment.empty())
            result.push_back(segment);
        if (slash == std::string_view::npos)
            break;
        path.remove_prefix(slash + 1);
    }
    return result;
}

bool isUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

} // namespace

std::string FtpRemotePath::resolve(std::string_view current, std::string_view path)
{
    std::vector<std::string_view> parts;
    if (path.empty() || path.front() != '/')
        parts = segments(current);
    for (std::string_view segment : segments(path)) {
        if (segment == ".")
            continue;
        if (segment == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(segment);
    }
    std::string result;
    for (std::string_view part : parts) {
        result += '/';
        result += part;
    }
    return result.empty() ? "/" : result;
}

std::string FtpRemotePath::join(std::string_view folder, std::string_view name)
{
    if (!name.empty() && name.front() == '/')
        return std::string(name);
    std::string result(folder);
    if (result.empty() || result.back() != '/')
        result += '/';
    result += name;
    return result;
}

std::string FtpRemotePath::urlPath(std::string_view absolutePath, bool folder)
{
    std::string result = "%2F";
    std::string_view rest = absolutePath;
    while (!rest.empty() && rest.front() == '/')
        rest.remove_prefix(1);
    bool first = true;
    while (!rest.empty()) {
        const size_t slash = rest.find('/');
        if (!first)
            result += '/';
        result += percentEncode(rest.substr(0, slash));
        first = false;
        if (slash == std::string_view::npos)
            break;
        rest.remove_prefix(slash + 1);
    }
    if (folder && !first)
        result += '/';
    return result;
}

std::string FtpRemotePath::percentEncode(std::string_view segment)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(segment.size());
    for (char c : segment) {
        const auto byte = static_cast<unsigned char>(c);
        if (isUnreserved(byte)) {
            result += c;
        } else {
            result += '%';
            result += hex[byte >> 4];
            result += hex[byte & 0x0F];
        }
    }
    return result;
}

} // namespace vantiro
