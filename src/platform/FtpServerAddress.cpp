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

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return lower(a) == lower(b); });
}

// Takes a leading "scheme://" off text. std::nullopt for a scheme this program does not speak.
std::optional<FtpServerAddress::Scheme> takeScheme(std::string_view& text)
{
    using Scheme = FtpServerAddress::Scheme;
    const size_t separator = text.find("://");
    if (separator == std::string_view::npos)
        return Scheme::Detect;
    static constexpr std::pair<std::string_view, Scheme> known[] = {{"ftp", Scheme::Ftp},
                                                                    {"ftpes", Scheme::Ftpes},
                                                                    {"ftps", Scheme::Ftps},
                                                                    {"sftp", Scheme::Sftp}};
    const std::string_view name = text.substr(0, separator);
    for (const auto& [word, scheme] : known) {
        if (name.size() == word.size() && startsWithNoCase(name, word)) {
            text.remove_prefix(separator + 3);
            // "ftp://host/" as copied from a browser names the same server.
            if (!text.empty() && text.back() == '/')
                text.remove_suffix(1);
            return scheme;
        }
    }
    return std::nullopt;
}

std::optional<FtpServerAddress> parseBracketed(std::string_view text, int defaultPort)
{
    const size_t close = text.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    FtpServerAddress address;
    address.port = defaultPort;
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

std::optional<FtpServerAddress> parseHostAndPort(std::string_view text, int defaultPort)
{
    FtpServerAddress address;
    address.port = defaultPort;
    if (!text.empty() && text.front() == '[')
        return parseBracketed(text, defaultPort);

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

} // namespace

int FtpServerAddress::defaultPortFor(Scheme scheme)
{
    switch (scheme) {
    case Scheme::Ftps:
        return 990;
    case Scheme::Sftp:
        return 22;
    default:
        return defaultPort;
    }
}

std::optional<FtpServerAddress> FtpServerAddress::parse(std::string_view text)
{
    text = trimBlanks(text);
    const auto scheme = takeScheme(text);
    if (!scheme)
        return std::nullopt;
    auto address = parseHostAndPort(text, defaultPortFor(*scheme));
    if (address)
        address->scheme = *scheme;
    return address;
}

std::string FtpServerAddress::authority() const
{
    const bool ipv6 = host.find(':') != std::string::npos;
    return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

} // namespace vantiro
