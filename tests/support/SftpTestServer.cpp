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

# Folders and files that misbehave as hostile servers do; all others are served from root.
#   /endlos/      a listing that never ends
#   /seltsam/     odd names: empty, 4096 bytes and more, bidi controls, between normal ones
#   /schweigen/   a listing that is never answered
#   /flut         a stat answered only with a flood of SSH_MSG_IGNORE
#   endlos.bin    (any folder) listed with its size on disk, but its data never ends
from asyncssh.sftp import SFTPServerHandler, SFTPName, SFTPAttrs, SFTPEOFError, FXP_OPENDIR, FXP_READDIR
from asyncssh.constants import MSG_IGNORE
from asyncssh.packet import String

def name(filename):
    return SFTPName(filename=filename, longname=b'-rw-r--r-- 1 u g 1 Jan 1 2000 x',
                    attrs=SFTPAttrs(size=1, permissions=0o100644, atime=0, mtime=0))

# The hostile folders are told apart by the path each handle was opened for: what asyncssh
# keeps per handle differs between its versions (a list of names, or an async iterator).
opened_paths = {}
original_opendir = SFTPServerHandler._process_opendir
async def opendir(self, packet):
    start = packet._idx
    path = packet.get_string()
    packet._idx = start
    handle = await original_opendir(self, packet)
    opened_paths[handle] = path.rstrip(b'/')
    return handle
SFTPServerHandler._packet_handlers[FXP_OPENDIR] = opendir

original_readdir = SFTPServerHandler._process_readdir
async def readdir(self, packet):
    start = packet._idx
    path = opened_paths.get(packet.get_string(), b'')
    if path.endswith(b'/endlos'):
        readdir.count += 1
        return [name(b'endlos-%09d.htm' % (readdir.count * 1000 + i)) for i in range(1000)], False
    if path.endswith(b'/endlos-lang'):
        readdir.count += 1
        return [name(b'%09d' % (readdir.count * 100 + i) + b'l' * 4000) for i in range(30)], False
    if path.endswith(b'/schweigen'):
        await asyncio.Future()
    packet._idx = start
    return await original_readdir(self, packet)
readdir.count = 0
SFTPServerHandler._packet_handlers[FXP_READDIR] = readdir

class Files(asyncssh.SFTPServer):
    def __init__(self, channel):
        super().__init__(channel, chroot=root)

    def listdir(self, path):
        folder = path.rstrip(b'/')
        if folder.endswith(b'/endlos'):
            return [name(b'__endless__')]
        if folder.endswith(b'/endlos-lang'):
            return [name(b'__endless_long__')]
        if folder.endswith(b'/schweigen'):
            return [name(b'__silent__')]
        if folder.endswith(b'/seltsam'):
            return [name(b'a.htm'), name(b''), name(b'l' * 4096 + b'.htm'),
                    name(b'\xe2\x80\xaegpj.htm'), name(b'z.htm')]
        # Older asyncssh lists through its own listdir; newer versions call it only when a
        # server defines it, as this one does, and have none of their own.
        if hasattr(super(), 'listdir'):
            return super().listdir(path)
        return [b'.', b'..'] + os.listdir(self.map_path(path))

    async def stat(self, path):
        if path.rstrip(b'/').endswith(b'/flut'):
            connection = self.connection
            while True:
                connection.send_packet(MSG_IGNORE, String(b'x' * 1000))
                if connection._transport.get_write_buffer_size() > 1000000:
                    await asyncio.sleep(0.001)
                else:
                    await asyncio.sleep(0)
        return super().stat(path)

    def read(self, file_obj, offset, size):
        if os.fsdecode(file_obj.name).endswith('endlos.bin'):
            return b'x' * size
        return super().read(file_obj, offset, size)

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
