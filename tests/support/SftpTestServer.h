#pragma once

#include "support/ServerProcess.h"
#include "support/TempDir.h"

#include <string>

namespace vantiro::test {

// An SFTP server for tests: Debian's python3-asyncssh on 127.0.0.1 and a free port, serving a
// fresh folder as "/" to one user with a password. It makes a new ed25519 host key at every
// start and logs each authentication step, so a test can tell that no login was tried.
// Some names misbehave as hostile servers do: the folder /endlos never ends its listing,
// /seltsam holds an empty name, one of 4,100 bytes and one with U+202E between a.htm and z.htm,
// /schweigen is never answered, a stat of /flut is answered only with SSH_MSG_IGNORE packets, and
// a file endlos.bin sends data without end whatever its size on disk.
class SftpTestServer final {
public:
    SftpTestServer();

    int port() const { return port_; }
    // "sftp://127.0.0.1:PORT"
    std::string address() const;
    const std::string& root() const { return root_; }
    const std::string& user() const { return user_; }
    const std::string& password() const { return password_; }
    // "SHA256:..." of the host key, as asyncssh prints it.
    std::string fingerprint() const;
    // The SHA-256 of the host key as hex pairs, as hosting panels publish it.
    std::string hexFingerprint() const;
    // The host key as a line of known_hosts ("[127.0.0.1]:PORT ssh-ed25519 AAAA...").
    std::string knownHostsLine() const;
    // One line per authentication step the server saw ("auth USER", "password USER").
    std::string authLog() const;
    std::string log() const;
    // The server closes every open connection, as hosts do with idle ones, and goes on.
    void dropConnections();
    // The server stops answering (its process is frozen) until resume().
    void pause() { process_.pause(); }
    void resume() { process_.resume(); }

private:
    TempDir folder_;
    std::string root_;
    std::string user_ = "vantiro";
    std::string password_ = "Geheim-4711";
    int port_ = 0;
    ServerProcess process_;
};

} // namespace vantiro::test
