#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantiro {

// Fingerprints of server keys as OpenSSH prints them: "SHA256:" and the base64 of the SHA-256
// of the key, without padding. For TLS the key is the certificate's public key (its DER
// SubjectPublicKeyInfo), so a certificate renewed with the same key keeps its fingerprint; for
// SSH it is the host key blob.
class HostFingerprint final {
public:
    static std::string of(std::string_view keyBytes);

    // A fingerprint as a user may type or paste it: "SHA256:" (any case) and base64 with or
    // without padding, blanks around it ignored. std::nullopt when it cannot be one.
    static std::optional<std::string> normalise(std::string_view typed);
};

} // namespace vantiro
