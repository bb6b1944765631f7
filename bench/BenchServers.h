#pragma once

#include "support/ServerProcess.h"

#include <cstddef>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vantiro::bench {

// The one user every bench server knows.
extern const std::string benchUser;
extern const std::string benchPassword;

// A real FTP server on 127.0.0.1 that a bench starts and uploads to.
struct FtpServer {
    std::string name;
    // The folder the server shows as "/".
    std::string root;
    int port = -1;
    vantiro::test::ServerProcess process;
};

// pure-ftpd, which lists with MLSD; it serves its virtual user only when started as root.
bool startPureFtpd(const std::string& work, FtpServer& server);
// pyftpdlib with MLSD taken out, as servers that only know LIST answer it.
bool startListOnly(const std::string& work, FtpServer& server);

// A helper whose output (stderr included) goes to output.
pid_t spawn(std::vector<std::string> args, const std::string& input = "",
            const std::string& output = "/dev/null");
void emptyFolder(const std::string& folder);
std::size_t filesIn(const std::string& folder);

} // namespace vantiro::bench
