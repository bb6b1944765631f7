#pragma once

#include <libssh2.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantiro {

// The SSH methods a session offers, and what a server that shares none of them wanted. Only the
// methods OpenSSH 9 offers by default are offered, of these only what the linked libssh2 has. The
// server's method lists are read from the bytes it sent before anything was encrypted.
class SshMethodPreferences final {
public:
    SshMethodPreferences() = delete;

    // Known key types of the server first, so that libssh2 asks for a key that known_hosts can
    // vouch for; then the usual order, without the skipped host key methods. False when libssh2
    // has no safe method for one of the lists.
    static bool apply(LIBSSH2_SESSION* session, const std::vector<std::string>& knownKeyTypes,
                      const std::vector<std::string>& skippedKeyMethods);
    // For a key exchange that failed because client and server share no method: which methods
    // the server would have wanted, in the user's words. Empty when that was not the cause.
    static std::optional<std::string> keyExchangeFailure(LIBSSH2_SESSION* session,
                                                         std::string_view received);
    // Notes the host key method just used as one not to ask for again; true when the server has
    // a key of another type that could be asked for instead.
    static bool skipToAnotherKey(LIBSSH2_SESSION* session, std::string_view received,
                                 std::vector<std::string>& skippedKeyMethods);
    // Whether the linked libssh2 checks RSA keys with SHA-2 signatures (1.11 and later).
    static bool rsaSha2Supported(LIBSSH2_SESSION* session);
};

} // namespace vantiro
