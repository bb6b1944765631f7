#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantiro {

// Fingerprints of server keys in the two forms users meet. OpenSSH prints "SHA256:" and the
// base64 of the SHA-256 of the key, without padding; for TLS that key is the certificate's public
// key (its DER SubjectPublicKeyInfo), so a certificate renewed with the same key keeps its
// fingerprint, and for SSH it is the host key blob. Browsers and hosting panels show the
// SHA-256 as 32 hex pairs ("1C:F4:61:..."), for TLS of the whole certificate (DER), for SSH of
// the same host key blob.
class HostFingerprint final {
public:
    // "SHA256:..." of keyBytes.
    static std::string of(std::string_view keyBytes);
    // "1C:F4:61:..." of bytes: upper-case hex pairs joined by colons.
    static std::string hexOf(std::string_view bytes);

    // A fingerprint as a user may type or paste it: "SHA256:" (any case) and base64 with or
    // without padding, or 32 hex pairs of either case, with colons or without; blanks around it
    // ignored. The result is in the form of() or hexOf() gives; std::nullopt when it cannot be
    // one.
    static std::optional<std::string> normalise(std::string_view typed);
    // Whether normalised is the hex form.
    static bool isHex(std::string_view normalised);
};

} // namespace vantiro
