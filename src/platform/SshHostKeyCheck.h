#pragma once

#include "platform/FtpServerAddress.h"

#include <libssh2.h>

#include <functional>
#include <optional>
#include <string>

namespace vantiro {

class HostTrust;
class KnownHosts;

// The check of a server's host key after the key exchange and before the user name is sent:
// known_hosts' verdict, then HostTrust (the system's vouching, a pinned fingerprint or the user).
class SshHostKeyCheck final {
public:
    SshHostKeyCheck() = delete;

    // Empty when the key is trusted, else the text that names the key and why it was refused.
    // Before a pin refuses the key, skipToAnotherKey says whether another of the server's keys
    // is to be tried instead (the refusal then ends only this attempt).
    static std::optional<std::string> refusal(LIBSSH2_SESSION* session,
                                              const FtpServerAddress& address,
                                              const KnownHosts& knownHosts, HostTrust& trust,
                                              const std::function<bool()>& skipToAnotherKey);
};

} // namespace vantiro
