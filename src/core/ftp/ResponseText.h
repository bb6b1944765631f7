#pragma once

#include "core/ftp/FtpClient.h"

#include <string>

namespace vantiro {

// The status text of a call's outcome: "Ok", or the code and the server's reply with the code
// shown once.
std::string responseText(const FtpResponse& response);

// What kept a connect from succeeding, in the words of the status line: the server's own reply
// when it refused (a wrong password brings its 530), otherwise what the client found. Only the
// first line is shown; a server's welcome banner may follow it. Empty when the response names
// no cause. server is the text of the server field, which tells SFTP from FTP.
std::string connectFailureCause(const FtpResponse& response, const std::string& server);

// The status line after the server dropped the connection, with the code and any detail of the
// client's last response.
std::string connectionLostText(const FtpResponse& response);

} // namespace vantiro
