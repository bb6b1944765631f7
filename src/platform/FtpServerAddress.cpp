#include "platform/FtpServerAddress.h"

#include <algorithm>

namespace vantiro {
namespace {

bool isHostNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_';
}

bool isIpv6Char(char c)
{
    return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || (c >= '0' && c <= '9') || c == ':' ||
           c == '.';
}

std::optional<int> parsePort(std::string_view text)
{
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    int port = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

std::optional<FtpServerAddress> parseBracketed(std::string_view text)
{
    const size_t close = text.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    FtpServerAddress address;
    address.host = std::string(text.substr(1, close - 1));
    const std::string_view rest = text.substr(close + 1);
    if (!rest.empty()) {
        const auto port = rest.front() == ':' ? parsePort(rest.substr(1)) : std::nullopt;
        if (!port)
            return std::nullopt;
        address.port = *port;
    }
    if (address.host.empty() || !std::all_of(address.host.begin(), address.host.end(), isIpv6Char))
        return std::nullopt;
    return address;
}

} // namespace

std::optional<FtpServerAddress> FtpServerAddress::parse(std::string_view text)
{
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '[')
        return parseBracketed(text);

    FtpServerAddress address;
    const size_t colon = text.find(':');
    if (colon != std::string_view::npos && text.find(':', colon + 1) != std::string_view::npos) {
        // Several colons without brackets: a bare IPv6 address, which leaves no room for a port.
        address.host = std::string(text);
        if (!std::all_of(address.host.begin(), address.host.end(), isIpv6Char))
            return std::nullopt;
        return address;
    }
    address.host = std::string(text.substr(0, colon));
    if (colon != std::string_view::npos) {
        const auto port = parsePort(text.substr(colon + 1));
        if (!port)
            return std::nullopt;
        address.port = *port;
    }
    if (address.host.empty() ||
        !std::all_of(address.host.begin(), address.host.end(), isHostNameChar))
        return std::nullopt;
    return address;
}

std::string FtpServerAddress::authority() const
{
    const bool ipv6 = host.find(':') != std::string::npos;
    return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

} // namespace vantiro
