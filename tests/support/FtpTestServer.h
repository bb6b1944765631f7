#pragma once

#include "support/ServerProcess.h"
#include "support/TempDir.h"

#include <string>

namespace vantiro::test {

// A real FTP server for tests: Debian's pyftpdlib on 127.0.0.1, on a free port, serving a fresh
// folder to one user with full write permission. It is ready to accept logins when the
// constructor returns and is stopped by the destructor at the latest.
//
//     FtpTestServer server;
//     client.connect(server.address(), server.user(), server.password(), true);
//     writeFile(server.root() + "/index.htm", "...");
class FtpTestServer final {
public:
    struct Options {
        // false: the server answers MLSD with 500, as servers do that only know LIST.
        bool mlsd = true;
        // Above 0: the server closes a connection that has been idle this long, with a 421.
        int idleTimeoutSeconds = 0;
        // Above 0: a further connection from 127.0.0.1 is turned away with a 421 at once.
        int connectionLimit = 0;
        // Above 0: the login of a further connection is refused with a 530, as pure-ftpd and
        // proftpd do once their limit of clients is reached.
        int loginLimit = 0;
        // true: every command a client sends is written to the log as "command VERB", so that a
        // test can count them.
        bool recordCommands = false;
    };

    FtpTestServer();
    explicit FtpTestServer(Options options);
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    int port() const { return port_; }
    // "127.0.0.1:PORT", as typed into the server field.
    std::string address() const;
    // The folder on disk that the server shows as "/".
    const std::string& root() const { return root_; }
    const std::string& user() const { return user_; }
    const std::string& password() const { return password_; }
    // What the server logged, for the message of a failing test.
    std::string log() const;

    // Kills the server at once, as a crash or a pulled cable would end it; connections to it
    // break. Calling it again does nothing.
    void stop();
    // Freezes the server: connections stay open, but nothing answers until resume().
    void pause();
    void resume();

private:
    TempDir folder_;
    std::string root_;
    std::string user_ = "vantiro";
    std::string password_ = "Geheim-4711";
    int port_ = 0;
    ServerProcess process_;
};

} // namespace vantiro::test
