#pragma once

#include <string>

namespace vantiro {

// A server key that neither the system (certificate store, known_hosts) nor an earlier decision
// vouches for. Texts are Windows-1252, like every text of the uploader.
struct HostKeyQuestion {
    enum class Kind { Tls, Ssh };

    Kind kind = Kind::Tls;
    std::string host;
    int port = 0;
    std::string fingerprint; // "SHA256:..."
    // SHA-256 as hex pairs ("1C:F4:..."), as hosting panels publish it: for TLS of the whole
    // certificate, for SSH of the host key.
    std::string hexFingerprint;
    // Another key was known for this host: a new server, or someone in between.
    bool changed = false;
    std::string previousFingerprint; // when known
    // Why the key is not trusted on its own, e.g. "selbst signiertes Zertifikat".
    std::string reason;
};

// Decides about a key that nothing vouches for, before the login is sent. A window asks the
// user; the command-line tool compares with the fingerprint it was given. Called on the thread
// that runs the connection.
class TrustDecider {
public:
    virtual ~TrustDecider() = default;
    virtual bool trustHostKey(const HostKeyQuestion& question) = 0;
};

} // namespace vantiro
