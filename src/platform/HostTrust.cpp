#include "platform/HostTrust.h"

#include "core/text/Cp1252Literal.h"
#include "platform/HostFingerprint.h"
#include "platform/ProgramFolder.h"
#include "platform/TrustedKeyStore.h"

namespace vantiro {
namespace {

std::string runKey(const HostKeyQuestion& question)
{
    return std::string(question.kind == HostKeyQuestion::Kind::Tls ? "tls " : "ssh ") +
           question.host + " " + std::to_string(question.port) + " " + question.fingerprint;
}

} // namespace

HostTrust::HostTrust() : HostTrust(Settings{}) {}

HostTrust::HostTrust(Settings settings) : settings_(std::move(settings)) {}

std::string HostTrust::defaultKnownHostsPath()
{
    const std::string home = ProgramFolder::homeFolder();
    return home.empty() ? std::string() : home + "/.ssh/known_hosts";
}

bool HostTrust::accept(HostKeyQuestion& question)
{
    const std::lock_guard lock(mutex_);
    const std::string key = runKey(question);
    if (acceptedThisRun_.count(key) > 0)
        return true;
    if (!settings_.pinnedFingerprint.empty()) {
        if (matchesPin(question)) {
            acceptedThisRun_.insert(key);
            return true;
        }
        question.reason = "anderer Schlüssel als mit --fingerprint angegeben"_cp1252;
        // Only so that the tool names the key it met; the pin alone decides.
        if (settings_.decider)
            settings_.decider->trustHostKey(question);
        return false;
    }
    if (!settings_.trustedKeysPath.empty()) {
        const TrustedKeyStore store(settings_.trustedKeysPath);
        const auto remembered = store.find(question.kind, question.host, question.port);
        if (remembered && *remembered == question.fingerprint) {
            acceptedThisRun_.insert(key);
            return true;
        }
        if (remembered) {
            question.changed = true;
            question.previousFingerprint = *remembered;
        }
    }
    if (!settings_.decider || !settings_.decider->trustHostKey(question))
        return false;
    acceptedThisRun_.insert(key);
    if (settings_.rememberAccepted && !settings_.trustedKeysPath.empty())
        TrustedKeyStore(settings_.trustedKeysPath)
            .remember(question.kind, question.host, question.port, question.fingerprint);
    return true;
}

bool HostTrust::matchesPin(const HostKeyQuestion& question) const
{
    const std::string& pin = settings_.pinnedFingerprint;
    if (pin.empty())
        return false;
    return pin == (HostFingerprint::isHex(pin) ? question.hexFingerprint : question.fingerprint);
}

std::string HostTrust::refusalText(const HostKeyQuestion& question)
{
    const bool tls = question.kind == HostKeyQuestion::Kind::Tls;
    std::string text = std::string(tls ? "Zertifikat" : "SSH-Schlüssel"_cp1252) + " von " +
                       question.host + ":" + std::to_string(question.port) +
                       " nicht vertrauenswürdig"_cp1252;
    if (!question.reason.empty())
        text += " (" + question.reason + ")";
    text += ", Fingerabdruck " + question.fingerprint;
    if (!question.hexFingerprint.empty())
        text += " (SHA-256 " + question.hexFingerprint + ")";
    if (question.changed)
        text += " - ACHTUNG: Der Schlüssel des Servers hat sich geändert"_cp1252;
    return text;
}

} // namespace vantiro
