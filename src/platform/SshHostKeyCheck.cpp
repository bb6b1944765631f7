#include "platform/SshHostKeyCheck.h"

#include "core/text/Cp1252Literal.h"
#include "platform/HostFingerprint.h"
#include "platform/HostTrust.h"
#include "platform/KnownHosts.h"
#include "platform/SshMethodPreferences.h"

#include <algorithm>

namespace vantiro {

std::optional<std::string> SshHostKeyCheck::refusal(LIBSSH2_SESSION* session,
                                                    const FtpServerAddress& address,
                                                    const KnownHosts& knownHosts, HostTrust& trust,
                                                    const std::function<bool()>& skipToAnotherKey)
{
    std::size_t length = 0;
    int type = 0;
    const char* key = libssh2_session_hostkey(session, &length, &type);
    const std::string_view blob = key ? std::string_view(key, length) : std::string_view();
    HostKeyQuestion question;
    question.kind = HostKeyQuestion::Kind::Ssh;
    question.host = address.host;
    question.port = address.port;
    question.fingerprint = HostFingerprint::of(blob);
    question.hexFingerprint = HostFingerprint::hexOf(blob);
    question.reason = "nicht in known_hosts";
    if (!key)
        return HostTrust::refusalText(question);

    switch (knownHosts.check(address.host, address.port, blob)) {
    case KnownHosts::Verdict::Revoked:
        // OpenSSH refuses a revoked key whatever else vouches for it, and so does this.
        question.reason = "in known_hosts als widerrufen markiert (@revoked)";
        return HostTrust::refusalText(question);
    case KnownHosts::Verdict::Match:
        if (trust.systemVouchingCounts())
            return std::nullopt;
        break;
    case KnownHosts::Verdict::Changed:
        question.changed = true;
        question.reason = "anderer Schlüssel als in known_hosts"_cp1252;
        break;
    case KnownHosts::Verdict::CertificateAuthorityOnly:
        question.reason =
            "known_hosts nennt für diesen Server nur eine Zertifizierungsstelle (@cert-authority); Host-Zertifikate werden nicht unterstützt"_cp1252;
        break;
    case KnownHosts::Verdict::Unknown: {
        const auto known = knownHosts.keyTypesFor(address.host, address.port);
        if (!known.empty() && !SshMethodPreferences::rsaSha2Supported(session) &&
            std::all_of(known.begin(), known.end(), [](const auto& t) { return t == "ssh-rsa"; }))
            question.reason =
                "known_hosts nennt nur den RSA-Schlüssel des Servers, den die SSH-Bibliothek dieses Systems (libssh2 "_cp1252 +
                std::string(libssh2_version(0)) +
                ") nur mit dem unsicheren SHA-1 prüfen könnte"_cp1252;
        break;
    }
    }
    if (!trust.systemVouchingCounts() && !trust.matchesPin(question) && skipToAnotherKey())
        return HostTrust::refusalText(question);
    if (trust.accept(question))
        return std::nullopt;
    return HostTrust::refusalText(question);
}

} // namespace vantiro
