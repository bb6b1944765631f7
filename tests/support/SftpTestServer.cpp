#include "support/SftpTestServer.h"

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace vantiro::test {
namespace {

constexpr const char* python = "/usr/bin/python3";

constexpr const char* server = R"(
import asyncio, hashlib, os, sys, warnings
warnings.simplefilter('ignore')
import asyncssh

port, root, user, password, folder = sys.argv[1:6]
key = asyncssh.generate_private_key('ssh-ed25519')
open(folder + '/fingerprint', 'w').write(key.get_fingerprint('sha256'))
open(folder + '/hex', 'w').write(
    ':'.join('%02X' % b for b in hashlib.sha256(key.public_data).digest()))
public = key.export_public_key('openssh').decode().split()
open(folder + '/known_hosts_line', 'w').write('[127.0.0.1]:%s %s %s' % (port, public[0], public[1]))
auth = open(folder + '/auth.log', 'a', buffering=1)

connections = []

class Server(asyncssh.SSHServer):
    def connection_made(self, connection):
        connections.append(connection)
    def begin_auth(self, username):
        auth.write('auth %s\n' % username)
        return True
    def password_auth_supported(self):
        return True
    def validate_password(self, username, secret):
        auth.write('password %s\n' % username)
        return username == user and secret == password

class Files(asyncssh.SFTPServer):
    def __init__(self, channel):
        super().__init__(channel, chroot=root)

async def main():
    await asyncssh.create_server(Server, '127.0.0.1', int(port), server_host_keys=[key],
                                 sftp_factory=Files, allow_scp=False)
    open(folder + '/ready', 'w').close()
    # A file "drop" asks the server to end every open connection, as a host does with idle ones.
    while True:
        await asyncio.sleep(0.05)
        if os.path.exists(folder + '/drop'):
            for connection in connections:
                connection.close()
                await connection.wait_closed()
            connections.clear()
            os.remove(folder + '/drop')

asyncio.run(main())
)";

} // namespace

SftpTestServer::SftpTestServer() : root_(folder_.file("root"))
{
    std::filesystem::create_directory(root_);
    const std::string ready = folder_.file("ready");
    port_ = process_.startOnFreePort(
        [this](const std::string& port) -> std::vector<std::string> {
            return {python, "-c", server, port, root_, user_, password_, folder_.path()};
        },
        folder_.file("server.log"), [&ready](int) { return std::filesystem::exists(ready); });
}

std::string SftpTestServer::address() const
{
    return "sftp://127.0.0.1:" + std::to_string(port_);
}

std::string SftpTestServer::fingerprint() const
{
    return readFile(folder_.file("fingerprint"));
}

std::string SftpTestServer::hexFingerprint() const
{
    return readFile(folder_.file("hex"));
}

std::string SftpTestServer::knownHostsLine() const
{
    return readFile(folder_.file("known_hosts_line"));
}

void SftpTestServer::dropConnections()
{
    const std::string request = folder_.file("drop");
    writeFile(request, "");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::filesystem::exists(request) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (std::filesystem::exists(request))
        throw std::runtime_error("the SFTP test server does not drop its connections:\n" + log());
}

std::string SftpTestServer::authLog() const
{
    return readFile(folder_.file("auth.log"));
}

std::string SftpTestServer::log() const
{
    return readFile(folder_.file("server.log"));
}

} // namespace vantiro::test
