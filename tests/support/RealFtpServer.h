#pragma once

#include "support/ServerProcess.h"
#include "support/TempDir.h"

#include <csignal>
#include <string>
#include <vector>

namespace vantiro::test {

// The FTP servers that web hosts run, started on 127.0.0.1 as this test's own processes: on a
// free control port, with a passive port range of their own, serving a fresh folder. TLS uses
// a self-signed certificate made at start; fingerprint() is what the client's fingerprint
// option takes. The servers need root (they drop to an unprivileged user per connection);
// scripts/setup.sh installs them, vsftpd and proftpd unpacked below serversFolder.
class RealFtpServer final {
public:
    enum class Kind {
        Vsftpd,            // plain FTP
        VsftpdTls,         // TLS required, vsftpd's own TLS defaults (require_ssl_reuse=YES)
        VsftpdImplicitTls, // the same with TLS from the first byte (ftps://)
        ProftpdTls,        // mod_tls required, session reuse required as by default
        PureFtpdTls,       // TLS required
    };

    static constexpr const char* serversFolder = "/var/cache/vantiro/servers";

    // Empty when kind can run here, else why not (for GTEST_SKIP).
    static std::string unavailable(Kind kind);

    // Starts the server; throws with its log when it does not start.
    explicit RealFtpServer(Kind kind);
    ~RealFtpServer();
    RealFtpServer(const RealFtpServer&) = delete;
    RealFtpServer& operator=(const RealFtpServer&) = delete;

    int port() const { return port_; }
    // "ftpes://127.0.0.1:PORT" and the like, with the scheme given.
    std::string address(const std::string& scheme) const;
    const std::string& user() const { return user_; }
    const std::string& password() const { return password_; }
    // The folder the user may write to, as the server names it ("/upload" or "/").
    const std::string& remoteFolder() const { return remoteFolder_; }
    // The same folder on the local disk.
    const std::string& localFolder() const { return localFolder_; }
    // "SHA256:..." of the certificate's public key; empty without TLS.
    const std::string& fingerprint() const { return fingerprint_; }
    std::string log() const;

    // Ends the server and every connection it serves, and starts it again on the same port.
    void restart();
    // Ends the server and its connections.
    void stop();
    // Freezes the server and its connections (they stay open, nothing answers), and thaws them.
    void pause() { signalAll(SIGSTOP); }
    void resume() { signalAll(SIGCONT); }

private:
    std::vector<std::string> arguments(int port) const;
    void makeCertificate();
    void writeVsftpdConfig(int port) const;
    void writeProftpdConfig(int port) const;
    bool startOn(int port);
    // vsftpd's per-connection processes lead sessions of their own; they are found by parent.
    void signalAll(int signal);

    Kind kind_;
    TempDir folder_;
    std::string user_;
    std::string password_ = "Geheim-4711";
    std::string remoteFolder_;
    std::string localFolder_;
    std::string fingerprint_;
    int port_ = 0;
    int passiveFirst_ = 0;
    ServerProcess process_;
};

} // namespace vantiro::test
