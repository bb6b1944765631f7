#pragma once

#include "platform/TrustDecider.h"

#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace vantiro {

// Whether to go on with a server whose key the system does not vouch for (a self-signed or
// foreign certificate, an SSH host key missing from known_hosts or different there). Asked
// during the key exchange, so a refused key ends the connection before the user name and the
// password are sent. One object may serve several connections at once; it asks one question at
// a time and does not ask twice about a key accepted in this run.
class HostTrust final {
public:
    struct Settings {
        // Asked about keys that nothing else vouches for; without one such keys are refused.
        std::shared_ptr<TrustDecider> decider;
        // The one key trusted for this run ("SHA256:..." or hex pairs, as HostFingerprint
        // normalises them). While it is set every other key is refused, even one that the system
        // store or known_hosts vouches for.
        std::string pinnedFingerprint;
        // Keys accepted earlier (TrustedKeyStore); empty for none.
        std::string trustedKeysPath;
        // Whether a key the decider accepts is written there for the next run.
        bool rememberAccepted = false;
        // OpenSSH's list of known host keys; empty for none.
        std::string knownHostsPath;
        // PEM certificates trusted beside the system store, for hosts with a CA of their own.
        std::string extraCertificatesPath;
    };

    HostTrust();
    explicit HostTrust(Settings settings);

    // ~/.ssh/known_hosts of the user; "" when the user has no home folder.
    static std::string defaultKnownHostsPath();

    const Settings& settings() const { return settings_; }

    // question describes a key that the system did not vouch for; its changed and
    // previousFingerprint are completed here from the remembered keys before the decider sees it.
    // With a pinned fingerprint only that decides; the decider then only hears of a refused key.
    bool accept(HostKeyQuestion& question);

    // Whether the system's word (certificate store, known_hosts) counts: not while a fingerprint
    // is pinned, which then is the only key accepted.
    bool systemVouchingCounts() const { return settings_.pinnedFingerprint.empty(); }
    bool matchesPin(const HostKeyQuestion& question) const;

    // The status-line text for a refused key: host, fingerprint, and why (Windows-1252).
    static std::string refusalText(const HostKeyQuestion& question);

private:
    Settings settings_;
    std::mutex mutex_;
    std::set<std::string> acceptedThisRun_;
};

} // namespace vantiro
