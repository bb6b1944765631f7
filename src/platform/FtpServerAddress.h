#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantiro {

// The server field of the uploader: "host" reaches the FTP port 21, "host:port" the port given.
// An IPv6 address is written in brackets when a port follows ("[::1]:2121"). A scheme in front
// chooses how the connection is secured:
//   ftp://    plain FTP
//   ftpes://  FTP that must switch to TLS (AUTH TLS) before the login, data protected too
//   ftps://   FTP inside TLS from the first byte, port 990 unless given
//   sftp://   SSH file transfer, port 22 unless given
//   none      TLS when the server offers it, plain FTP when it does not
struct FtpServerAddress {
    enum class Scheme { Detect, Ftp, Ftpes, Ftps, Sftp };

    static constexpr int defaultPort = 21;

    Scheme scheme = Scheme::Detect;
    std::string host; // without brackets
    int port = defaultPort;

    static int defaultPortFor(Scheme scheme);

    // std::nullopt for an unknown scheme, an empty host, a port that is not a number from 1 to
    // 65535, or a host with characters that have no place in a host name (so nothing typed can
    // change the URL).
    static std::optional<FtpServerAddress> parse(std::string_view text);

    // "host:port" as an URL authority, IPv6 addresses in brackets.
    std::string authority() const;
};

} // namespace vantiro
