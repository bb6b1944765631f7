#pragma once

#include "support/ServerProcess.h"
#include "support/TempDir.h"

#include <string>
#include <vector>

namespace vantiro::test {

// OpenSSH's sshd, as hosts run it, on 127.0.0.1 and a free port with host keys of its own made
// by ssh-keygen at start. No user can log in: a connection that gets as far as the password has
// passed the host key check and the choice of methods, which is what these tests look at.
class OpenSshTestServer final {
public:
    struct Options {
        // ssh-keygen's -t: "ed25519", "ecdsa", "rsa".
        std::vector<std::string> hostKeyTypes = {"ed25519", "ecdsa", "rsa"};
        // Further lines of sshd_config, such as "KexAlgorithms ...".
        std::vector<std::string> config;
    };

    OpenSshTestServer();
    explicit OpenSshTestServer(Options options);

    // Whether sshd is installed (scripts/setup.sh installs it).
    static bool installed();

    int port() const { return port_; }
    // "sftp://127.0.0.1:PORT"
    std::string address() const;
    // The public key of type ("ed25519") as a line of known_hosts for this server.
    std::string knownHostsLine(const std::string& type) const;
    // "SHA256:..." and the SHA-256 in hex pairs of the key of type, worked out by ssh-keygen
    // and Python.
    std::string fingerprint(const std::string& type) const;
    std::string hexFingerprint(const std::string& type) const;
    std::string log() const;

private:
    TempDir folder_;
    int port_ = 0;
    ServerProcess process_;
};

} // namespace vantiro::test
