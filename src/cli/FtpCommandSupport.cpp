#include "cli/FtpCommandSupport.h"

#include "cli/CliSupport.h"
#include "cli/CommandLine.h"
#include "cli/TerminalText.h"
#include "core/generator/TextCase.h"
#include "core/text/Cp1252Literal.h"
#include "platform/HostFingerprint.h"
#include "platform/HostTrust.h"
#include "platform/SchemeFtpClient.h"
#include "platform/TrustedKeyStore.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <sstream>

namespace vantiro {
namespace {

// The tool cannot ask: it names the key the user has to check, once however many connections
// meet it.
class CommandLineTrust final : public TrustDecider {
public:
    bool trustHostKey(const HostKeyQuestion& question) override
    {
        const std::lock_guard lock(mutex_);
        if (!named_.insert(question.fingerprint).second)
            return false;
        const char* what =
            question.kind == HostKeyQuestion::Kind::Tls ? "Zertifikat" : "SSH-Schlüssel"_cp1252;
        std::string text = std::string(what) + " von " + question.host + ":" +
                           std::to_string(question.port) + " nicht vertrauenswürdig ("_cp1252 +
                           question.reason + ").\n";
        if (question.changed)
            text += "ACHTUNG: Der Schlüssel des Servers hat sich geändert"_cp1252 +
                    (question.previousFingerprint.empty()
                         ? std::string()
                         : " (bisher " + question.previousFingerprint + ")") +
                    ". Das kann ein Angriff sein.\n";
        text += "Fingerabdruck: " + question.fingerprint + "\n";
        // Panels and browsers show the SHA-256 as hex pairs, for TLS of the whole certificate.
        if (!question.hexFingerprint.empty())
            text += std::string(question.kind == HostKeyQuestion::Kind::Tls
                                    ? "SHA-256 des Zertifikats: "
                                    : "SHA-256 (Hex): ") +
                    question.hexFingerprint + "\n";
        text += "Vergleichen Sie ihn mit dem Fingerabdruck, den Ihr Anbieter nennt; stimmt er, "
                "starten Sie erneut mit --fingerprint " +
                question.fingerprint + "\n";
        // The server's words are escaped line by line; the line breaks are the tool's own.
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);)
            std::fprintf(stderr, "%s\n", TerminalText::escape(line).c_str());
        return false;
    }

private:
    std::mutex mutex_;
    std::set<std::string> named_;
};

std::shared_ptr<HostTrust> trustFor(const CommandLine& line)
{
    HostTrust::Settings settings;
    settings.decider = std::make_shared<CommandLineTrust>();
    settings.pinnedFingerprint =
        HostFingerprint::normalise(line.valueOr("--fingerprint", "")).value_or("");
    settings.trustedKeysPath = TrustedKeyStore::defaultPath();
    settings.knownHostsPath = HostTrust::defaultKnownHostsPath();
    return std::make_shared<HostTrust>(settings);
}

} // namespace

bool FtpCommandSupport::checkArguments(const std::string& command, const CommandLine& line,
                                       const std::vector<std::string>& args)
{
    std::string error = line.error();
    if (std::find(args.begin(), args.end(), "--password") != args.end())
        error = std::string("Es gibt keine Option --password; das Passwort steht nur in ") +
                passwordVariable;
    if (error.empty() && !line.words().empty())
        error = "unerwartetes Argument " + line.words().front();
    if (error.empty() && (!line.value("--server") || !line.value("--user")))
        error = "--server [SCHEMA://]HOST[:PORT] und --user NAME sind nötig";
    const auto fingerprint = line.value("--fingerprint");
    if (error.empty() && fingerprint && !HostFingerprint::normalise(*fingerprint))
        error = "--fingerprint erwartet SHA256: und 43 Zeichen Base64, wie ssh-keygen -l sie "
                "zeigt, oder 32 Hex-Paare (1C:F4:...), wie Browser und Anbieter sie zeigen";
    if (error.empty() && !std::getenv(passwordVariable))
        error = std::string("Die Umgebungsvariable ") + passwordVariable +
                " ist nicht gesetzt (leer für anonyme Server)";
    if (error.empty())
        return true;
    usageError(command, error);
    return false;
}

std::unique_ptr<FtpClient> FtpCommandSupport::makeClient(const CommandLine& line)
{
    static std::once_flag once;
    static std::shared_ptr<HostTrust> trust;
    std::call_once(once, [&] { trust = trustFor(line); });
    return std::make_unique<SchemeFtpClient>(trust);
}

bool FtpCommandSupport::login(FtpClient& client, const std::string& command,
                              const CommandLine& line)
{
    const std::string server = line.valueOr("--server", "");
    if (connect(client, line)) {
        printNotices(client, command);
        return true;
    }
    std::fprintf(stderr, "vantiro-cli %s: Anmeldung bei %s fehlgeschlagen: %s\n", command.c_str(),
                 TerminalText::escape(server).c_str(), describe(client.lastResponse()).c_str());
    return false;
}

bool FtpCommandSupport::connect(FtpClient& client, const CommandLine& line)
{
    const char* password = std::getenv(passwordVariable);
    return client.connect(line.valueOr("--server", ""), line.valueOr("--user", ""),
                          password ? password : "", true);
}

void FtpCommandSupport::printNotices(FtpClient& client, const std::string& command)
{
    for (const std::string& notice : client.takeNotices())
        std::fprintf(stderr, "vantiro-cli %s: %s\n", command.c_str(),
                     TerminalText::escape(notice).c_str());
}

std::string FtpCommandSupport::describe(const FtpResponse& response)
{
    // The lines of a reply go on one line; every other control character is escaped.
    std::string joined = response.text;
    replaceAll(joined, "\r\n", " ");
    std::replace(joined.begin(), joined.end(), '\n', ' ');
    const std::string text = TerminalText::escape(joined);
    // Server replies begin with their code already.
    const std::string code = std::to_string(response.code);
    return text.compare(0, code.size(), code) == 0 ? text : code + " " + text;
}

} // namespace vantiro
