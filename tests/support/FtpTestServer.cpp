#include "support/FtpTestServer.h"

#include <filesystem>
#include <vector>

namespace vantiro::test {
namespace {

// Another python3 without pyftpdlib may come first on PATH; the system's one has it.
constexpr const char* python = "/usr/bin/python3";

// The same server with settings that its command line does not offer: MLSD taken out of the
// handler's command table, a shorter idle timeout, limits of connections and logins, and a record
// of the commands.
constexpr const char* configuredServer = R"(
import sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
port, root, user, password, mlsd, timeout, connections, logins, record = sys.argv[1:10]
logged_in = set()
class Handler(FTPHandler):
    if mlsd == '0':
        proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items() if k not in ('MLSD', 'MLST')}
    if int(timeout) > 0:
        timeout = int(timeout)
    def ftp_PASS(self, line):
        if int(logins) > 0 and len(logged_in) >= int(logins):
            self.respond('530 Sorry, the maximum number of clients (%s) is reached' % logins)
            return
        FTPHandler.ftp_PASS(self, line)
        if self.authenticated:
            logged_in.add(self)
    def pre_process_command(self, line, cmd, arg):
        if record == '1':
            sys.stderr.write('command %s\n' % cmd)
            sys.stderr.flush()
        FTPHandler.pre_process_command(self, line, cmd, arg)
    def on_disconnect(self):
        logged_in.discard(self)
authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm='elradfmwMT')
Handler.authorizer = authorizer
if int(connections) > 0:
    FTPServer.max_cons_per_ip = int(connections)
# Without a poll timeout the idle timer does not fire once a command has reset it.
FTPServer(('127.0.0.1', int(port)), Handler).serve_forever(timeout=0.2)
)";

} // namespace

FtpTestServer::FtpTestServer() : FtpTestServer(Options{}) {}

FtpTestServer::FtpTestServer(Options options) : root_(folder_.file("root"))
{
    std::filesystem::create_directory(root_);
    const bool plain = options.mlsd && options.idleTimeoutSeconds <= 0 &&
                       options.connectionLimit <= 0 && options.loginLimit <= 0 &&
                       !options.recordCommands;
    // The server writes no marker of its own; its greeting on the port is the sign.
    port_ = process_.startOnFreePort(
        [&](const std::string& port) {
            return plain
                       ? std::vector<std::string>{python, "-m",  "pyftpdlib", "-i",     "127.0.0.1",
                                                  "-p",   port,  "-w",        "-d",     root_,
                                                  "-u",   user_, "-P",        password_}
                       : std::vector<std::string>{python,
                                                  "-c",
                                                  configuredServer,
                                                  port,
                                                  root_,
                                                  user_,
                                                  password_,
                                                  options.mlsd ? "1" : "0",
                                                  std::to_string(options.idleTimeoutSeconds),
                                                  std::to_string(options.connectionLimit),
                                                  std::to_string(options.loginLimit),
                                                  options.recordCommands ? "1" : "0"};
        },
        folder_.file("server.log"), &ServerProcess::greetsWithFtp);
}

std::string FtpTestServer::address() const
{
    return "127.0.0.1:" + std::to_string(port_);
}

std::string FtpTestServer::log() const
{
    return readFile(folder_.file("server.log"));
}

void FtpTestServer::stop()
{
    process_.stop();
}

void FtpTestServer::pause()
{
    process_.pause();
}

void FtpTestServer::resume()
{
    process_.resume();
}

} // namespace vantiro::test
