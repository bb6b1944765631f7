#include "BenchServers.h"

#include "BenchSupport.h"
#include "core/generator/TextFile.h"

#include <filesystem>
#include <functional>
#include <unistd.h>

namespace vantiro::bench {
namespace {

namespace fs = std::filesystem;

// The uid and gid pure-ftpd maps its virtual user to.
constexpr int nobody = 65534;

// pyftpdlib without MLSD, as servers that only know LIST answer it.
constexpr const char* listOnlyServer = R"(
import sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
port, root, user, password = sys.argv[1:5]
class Handler(FTPHandler):
    proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items() if k not in ('MLSD', 'MLST')}
authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm='elradfmwMT')
Handler.authorizer = authorizer
FTPServer(('127.0.0.1', int(port)), Handler).serve_forever()
)";

// The server on a free port, ready once it greets there.
bool start(FtpServer& server,
           const std::function<std::vector<std::string>(const std::string&)>& args,
           const std::string& log)
{
    const int port = vantiro::test::ServerProcess::freePort();
    server.port = port;
    return server.process.start(args(std::to_string(port)), log, [port] {
        return vantiro::test::ServerProcess::greetsWithFtp(port);
    });
}

} // namespace

const std::string benchUser = "bench";
const std::string benchPassword = "Bench-4711";

// Servers and helpers log to a file of their own, stderr included.
pid_t spawn(std::vector<std::string> args, const std::string& input, const std::string& output)
{
    return spawnChild(std::move(args), ChildFiles{input, output, true, true});
}

bool startPureFtpd(const std::string& work, FtpServer& server)
{
    server.name = "pure-ftpd (MLSD)";
    server.root = work + "/pure-root";
    fs::create_directories(server.root);
    if (chown(server.root.c_str(), nobody, nobody) != 0)
        return false;
    // pure-pw would hash the password with argon2, which takes over a second per login on a
    // small machine: a cost of the server's processor that no link has and that would weigh
    // on the side that logs in more often. SHA-512 crypt is what many hosts still use.
    const std::string hash = work + "/pure-hash";
    if (waitFor(spawn({"openssl", "passwd", "-6", "-salt", "vantirobench", benchPassword}, "",
                      hash)) != 0)
        return false;
    std::string hashed;
    if (!vantiro::TextFile::read(hash, hashed))
        return false;
    while (!hashed.empty() && (hashed.back() == '\n' || hashed.back() == '\r'))
        hashed.pop_back();
    const std::string passwd = work + "/pure-passwd";
    const std::string database = work + "/pure-passwd.pdb";
    vantiro::TextFile::writeReplacing(
        passwd, benchUser + ":" + hashed + ":" + std::to_string(nobody) + ":" +
                    std::to_string(nobody) + "::" + server.root + "/./::::::::::::\n");
    if (waitFor(spawn({"pure-pw", "mkdb", database, "-f", passwd})) != 0)
        return false;
    return start(
        server,
        [&](const std::string& port) -> std::vector<std::string> {
            return {"/usr/sbin/pure-ftpd",
                    "-S",
                    "127.0.0.1," + port,
                    "-l",
                    "puredb:" + database,
                    "-E",
                    "-H",
                    "-A",
                    "-c",
                    "50",
                    "-C",
                    "20",
                    "-Y",
                    "0"};
        },
        work + "/pure-ftpd.log");
}

bool startListOnly(const std::string& work, FtpServer& server)
{
    server.name = "pyftpdlib (LIST only)";
    server.root = work + "/list-root";
    fs::create_directories(server.root);
    return start(
        server,
        [&](const std::string& port) -> std::vector<std::string> {
            return {"/usr/bin/python3", "-c",      listOnlyServer, port,
                    server.root,        benchUser, benchPassword};
        },
        work + "/pyftpdlib.log");
}

void emptyFolder(const std::string& folder)
{
    for (const auto& entry : fs::directory_iterator(folder))
        fs::remove_all(entry.path());
}

size_t filesIn(const std::string& folder)
{
    size_t count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        count += entry.is_regular_file() ? 1 : 0;
    return count;
}

} // namespace vantiro::bench
