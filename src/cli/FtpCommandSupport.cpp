#include "cli/FtpCommandSupport.h"

#include "cli/CommandLine.h"
#include "cli/TerminalText.h"
#include "core/generator/TextCase.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace vantiro {

bool FtpCommandSupport::checkArguments(const std::string& command, const CommandLine& line,
                                       const std::vector<std::string>& args)
{
    const char* prefix = "vantiro-cli ";
    if (std::find(args.begin(), args.end(), "--password") != args.end()) {
        std::fprintf(stderr, "%s%s: no --password option; the password is read from %s only\n",
                     prefix, command.c_str(), passwordVariable);
        return false;
    }
    std::string error = line.error();
    if (error.empty() && !line.words().empty())
        error = "unexpected argument " + line.words().front();
    if (error.empty() && (!line.value("--server") || !line.value("--user")))
        error = "--server HOST[:PORT] and --user NAME are needed";
    if (error.empty() && !std::getenv(passwordVariable))
        error = std::string("the environment variable ") + passwordVariable +
                " holds no password (set it, empty for anonymous servers)";
    if (error.empty())
        return true;
    std::fprintf(stderr, "%s%s: %s\n", prefix, command.c_str(), error.c_str());
    return false;
}

bool FtpCommandSupport::login(FtpClient& client, const std::string& command,
                              const CommandLine& line)
{
    const std::string server = line.valueOr("--server", "");
    const char* password = std::getenv(passwordVariable);
    if (client.connect(server, line.valueOr("--user", ""), password ? password : "", true))
        return true;
    std::fprintf(stderr, "vantiro-cli %s: login to %s failed: %s\n", command.c_str(),
                 terminalText(server).c_str(), describe(client.lastResponse()).c_str());
    return false;
}

std::string FtpCommandSupport::describe(const FtpResponse& response)
{
    // The lines of a reply go on one line; every other control character is escaped.
    std::string joined = response.text;
    ReplaceAll(joined, "\r\n", " ");
    std::replace(joined.begin(), joined.end(), '\n', ' ');
    const std::string text = terminalText(joined);
    // Server replies begin with their code already.
    const std::string code = std::to_string(response.code);
    return text.compare(0, code.size(), code) == 0 ? text : code + " " + text;
}

std::string FtpCommandSupport::terminalText(const std::string& bytes)
{
    return TerminalText::escape(bytes);
}

} // namespace vantiro
