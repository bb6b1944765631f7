#pragma once

#include "support/ServerProcess.h"
#include "support/TempDir.h"

#include <string>

namespace vantiro::test {

// pyftpdlib with TLS on 127.0.0.1 and a free port, serving a fresh folder to one user. The
// certificate is made at start: self-signed, or signed by a test authority whose certificate
// caCertificate() names (trust it to act as a properly certified server). Every command the
// server receives is logged, so a test can tell that no USER arrived.
class TlsFtpTestServer final {
public:
    enum class Mode {
        Explicit,         // AUTH TLS offered, plain FTP allowed too
        ExplicitRequired, // no login and no data without TLS
        Implicit,         // TLS from the first byte
    };
    struct Options {
        Mode mode = Mode::ExplicitRequired;
        bool signedByTestAuthority = false;
        // The name the certificate is made out to (as DNS name; 127.0.0.1 is added as address
        // only when it is "localhost").
        std::string certificateName = "localhost";
    };

    TlsFtpTestServer();
    explicit TlsFtpTestServer(Options options);

    int port() const { return port_; }
    // "ftpes://127.0.0.1:PORT" and the like, with the scheme given.
    std::string address(const std::string& scheme) const;
    const std::string& root() const { return root_; }
    const std::string& user() const { return user_; }
    const std::string& password() const { return password_; }
    // "SHA256:..." of the certificate's public key, as the server computed it.
    std::string fingerprint() const;
    // SHA-256 of the whole certificate (DER) as hex pairs, as browsers and panels show it.
    std::string certificateHexFingerprint() const;
    std::string caCertificate() const { return folder_.file("ca.pem"); }
    // The commands received so far, one per line ("AUTH", "USER", ...).
    std::string commands() const;
    std::string log() const;

private:
    TempDir folder_;
    std::string root_;
    std::string user_ = "vantiro";
    std::string password_ = "Geheim-4711";
    int port_ = 0;
    ServerProcess process_;
};

} // namespace vantiro::test
