#pragma once

#include "core/ftp/FtpClient.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantiro {

class CommandLine;

// What the FTP commands of vantiro-cli share: reading the arguments, the login, and printing
// what the server said.
class FtpCommandSupport final {
public:
    // The password comes from here only: an argument would show in the process list.
    static constexpr const char* passwordVariable = "VANTIRO_FTP_PASSWORD";

    // --server and --user given, nothing unknown, a --fingerprint that is one, and the password
    // variable set. Otherwise the reason goes to stderr and the result is false.
    static bool checkArguments(const std::string& command, const CommandLine& line,
                               const std::vector<std::string>& args);

    // A client for the scheme of --server. Server keys that the system (certificate store,
    // ~/.ssh/known_hosts) does not vouch for pass when they match --fingerprint or were accepted
    // in the FTP window before; any other is refused before the login, and stderr names its
    // fingerprint once. All clients of one run share that decision.
    static std::unique_ptr<FtpClient> makeClient(const CommandLine& line);

    // Logs in with the server and user of the command line and the password variable, and says
    // on stderr how the connection is secured. A refused login prints the server's reply on
    // stderr.
    static bool login(FtpClient& client, const std::string& command, const CommandLine& line);
    // The same connect without a word on stderr, for further connections of one command.
    static bool connect(FtpClient& client, const CommandLine& line);

    // Status notes of the client (encryption, a new login) on stderr, one line each.
    static void printNotices(FtpClient& client, const std::string& command);

    // "550 No such file" on one line, readable on a UTF-8 terminal.
    static std::string describe(const FtpResponse& response);
};

} // namespace vantiro
