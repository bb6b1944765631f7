#pragma once

#include "core/ftp/FtpClient.h"

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

    // --server and --user given, nothing unknown, and the password variable set. Otherwise the
    // reason goes to stderr and the result is false.
    static bool checkArguments(const std::string& command, const CommandLine& line,
                               const std::vector<std::string>& args);

    // Logs in with the server and user of the command line and the password variable. A refused
    // login prints the server's reply on stderr.
    static bool login(FtpClient& client, const std::string& command, const CommandLine& line);

    // "550 No such file" on one line, readable on a UTF-8 terminal.
    static std::string describe(const FtpResponse& response);

    // Bytes from a server or a core text for the terminal (TerminalText::escape).
    static std::string terminalText(const std::string& bytes);
};

} // namespace vantiro
