#pragma once

#include "platform/TrustDecider.h"

#include <optional>
#include <string>

namespace vantiro {

// The server keys a user has accepted, one line per server: "tls host:port SHA256:..." or
// "ssh host:port SHA256:...". The file is read at every look-up, so a second window or the
// command-line tool sees a decision at once, and replaced as a whole, so a crash never leaves
// half a file.
class TrustedKeyStore final {
public:
    explicit TrustedKeyStore(std::string path) : path_(std::move(path)) {}

    // $XDG_CONFIG_HOME/vantiro/trusted_keys, with ~/.config when the variable is not an
    // absolute path; "" (no keys kept) when the user has no home folder.
    static std::string defaultPath();

    const std::string& path() const { return path_; }

    std::optional<std::string> find(HostKeyQuestion::Kind kind, const std::string& host,
                                    int port) const;
    // Adds or replaces the server's line. False when the file cannot be written.
    bool remember(HostKeyQuestion::Kind kind, const std::string& host, int port,
                  const std::string& fingerprint) const;

private:
    std::string path_;
};

} // namespace vantiro
