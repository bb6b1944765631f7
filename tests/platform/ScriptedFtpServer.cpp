#include "platform/ScriptedFtpServer.h"

#include <stdexcept>

namespace vantiro::test {
namespace {

constexpr const char* script = R"(
import os, socket, sys, threading, time
parent = os.getppid()
def watch():
    # Ends with the test that started it, however that ended.
    while os.getppid() == parent:
        time.sleep(0.2)
    os._exit(0)
threading.Thread(target=watch, daemon=True).start()
utf8 = sys.argv[2] == '1'
log = open(sys.argv[3], 'ab', buffering=0)
server = socket.socket()
server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
server.bind(('127.0.0.1', 0))
server.listen(8)
open(sys.argv[1], 'w').write(str(server.getsockname()[1]))
fixed = {
    b'CWD /lone': b'150 Wait for it\r\n',
    b'MKD /inner': b'257-First line\r\n550 inner line\r\n257 Done\r\n',
    b'DELE /inner': b'550-Cannot delete\r\n250 inner line\r\n550 End\r\n',
}
def serve(connection):
    connection.sendall(b'220 Scripted server ready\r\n')
    hanging = False
    for line in connection.makefile('rb'):
        command = line.rstrip(b'\r\n')
        verb = command.split(b' ')[0].upper()
        log.write((b'PASS ***' if verb == b'PASS' else command) + b'\n')
        if hanging:
            continue
        if command == b'MKD /hang':
            connection.sendall(b'257 Created, and not another word from now on\r\n')
            hanging = True
        elif command in fixed:
            connection.sendall(fixed[command])
        elif command == b'CWD /endless':
            lines = b'250-And another line of a reply that goes on and on\r\n' * 1000
            while True:
                connection.sendall(lines)
        elif command == b'CWD /trickle':
            for byte in b'250 This reply takes its time\r\n' * 10:
                connection.sendall(bytes([byte]))
                time.sleep(0.5)
        elif verb == b'USER':
            connection.sendall(b'331 Password required\r\n')
        elif verb == b'PASS':
            connection.sendall(b'230 Logged in\r\n')
        elif verb == b'PWD':
            connection.sendall(b'257 "/" is the current folder\r\n')
        elif verb == b'FEAT':
            connection.sendall(b'211-Features:\r\n' + (b' UTF8\r\n' if utf8 else b' SIZE\r\n') + b'211 End\r\n')
        elif verb == b'OPTS':
            connection.sendall(b'200 UTF8 on\r\n' if utf8 else b'501 Not understood\r\n')
        elif verb == b'QUIT':
            connection.sendall(b'221 Bye\r\n')
            return
        else:
            connection.sendall(b'250 OK\r\n')
while True:
    connection, _ = server.accept()
    try:
        serve(connection)
    except OSError:
        pass
    connection.close()
)";

} // namespace

ScriptedFtpServer::ScriptedFtpServer(bool utf8)
{
    const std::string portFile = folder_.file("port");
    // The server picks its own port and writes it down once it listens.
    const auto listening = [&portFile] { return exists(portFile) && !readFile(portFile).empty(); };
    if (!process_.start({"/usr/bin/python3", "-c", script, portFile, utf8 ? "1" : "0",
                         folder_.file("commands")},
                        folder_.file("server.log"), listening))
        throw std::runtime_error("the scripted FTP server does not start:\n" +
                                 readFile(folder_.file("server.log")));
    port_ = std::stoi(readFile(portFile));
}

std::string ScriptedFtpServer::commands() const
{
    return exists(folder_.file("commands")) ? readFile(folder_.file("commands")) : "";
}

} // namespace vantiro::test
