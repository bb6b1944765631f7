#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantiro {

// The server field of the uploader: "host" reaches the FTP port 21, "host:port" the port given.
// An IPv6 address is written in brackets when a port follows ("[::1]:2121").
struct FtpServerAddress {
    static constexpr int defaultPort = 21;

    std::string host; // without brackets
    int port = defaultPort;

    // std::nullopt for an empty host, a port that is not a number from 1 to 65535, or a host
    // with characters that have no place in a host name (so nothing typed can change the URL).
    static std::optional<FtpServerAddress> parse(std::string_view text);

    // "host:port" as an URL authority, IPv6 addresses in brackets.
    std::string authority() const;
};

} // namespace vantiro
