#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantiro {

// OpenSSH's known_hosts as the SSH connection reads it: plain and hashed ("|1|...") host names,
// "[host]:port" for other ports than 22, patterns with "*", "?" and "!", and the markers
// "@revoked" and "@cert-authority". Lines may end in CR LF; a line that cannot be read is
// skipped, as OpenSSH does, and hides nothing after it.
class KnownHosts final {
public:
    enum class Verdict {
        Unknown,
        Match,
        // A key of the same type is listed for the server, but another one.
        Changed,
        // An "@revoked" line names the key: refused whatever else says so.
        Revoked,
        // Only an "@cert-authority" line speaks for the server: it would need a host
        // certificate.
        CertificateAuthorityOnly,
    };

    static KnownHosts read(const std::string& path);
    static KnownHosts parse(std::string_view text);

    // The key types ("ssh-ed25519", "ecdsa-sha2-nistp256", ...) listed for the server outside
    // markers, in file order, each once.
    std::vector<std::string> keyTypesFor(const std::string& host, int port) const;
    // keyBlob is the host key as the server sent it (the decoded base64 of a line).
    Verdict check(const std::string& host, int port, std::string_view keyBlob) const;

private:
    enum class Marker { None, Revoked, CertificateAuthority };
    struct Line {
        Marker marker = Marker::None;
        std::string hosts;
        std::string type;
        std::string key;
    };

    bool matchesHost(const Line& line, const std::string& host, int port) const;

    std::vector<Line> lines_;
};

} // namespace vantiro
