#include "support/OpenSshTestServer.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace vantiro::test {
namespace {

constexpr const char* sshd = "/usr/sbin/sshd";

// OpenSSH 9.8 and later hold back an address whose logins keep failing, and the tests fail the
// password on purpose, one connect after the other, from 127.0.0.1.
bool holdsBackFailingAddresses()
{
    FILE* pipe = popen((std::string(sshd) + " -V 2>&1").c_str(), "r");
    if (!pipe)
        return false;
    char line[256] = {};
    const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
    pclose(pipe);
    int major = 0;
    int minor = 0;
    if (!read || std::sscanf(line, "OpenSSH_%d.%d", &major, &minor) != 2)
        return false;
    return major > 9 || (major == 9 && minor >= 8);
}

// Both fingerprints of every key, from its public key file: ssh-keygen's own for the "SHA256:"
// form, Python's hashlib for the hex pairs.
constexpr const char* fingerprints = R"(
import base64, hashlib, subprocess, sys
folder = sys.argv[1]
for kind in sys.argv[2:]:
    public = folder + '/host_' + kind + '.pub'
    blob = base64.b64decode(open(public).read().split()[1])
    open(folder + '/' + kind + '.hex', 'w').write(
        ':'.join('%02X' % b for b in hashlib.sha256(blob).digest()))
    line = subprocess.run(['ssh-keygen', '-l', '-E', 'sha256', '-f', public],
                          capture_output=True, text=True, check=True).stdout
    open(folder + '/' + kind + '.sha256', 'w').write(line.split()[1])
)";

std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

} // namespace

OpenSshTestServer::OpenSshTestServer() : OpenSshTestServer(Options{}) {}

OpenSshTestServer::OpenSshTestServer(Options options)
{
    // sshd started by root wants its privilege separation folder, which Debian makes only when
    // the service runs.
    if (geteuid() == 0)
        mkdir("/run/sshd", 0755);
    std::string types;
    for (const std::string& type : options.hostKeyTypes) {
        const std::string command = "ssh-keygen -q -t " + type + " -N '' -C '' -f " +
                                    folder_.file("host_" + type) + " >/dev/null";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("ssh-keygen cannot make a " + type + " key");
        types += " " + type;
    }
    writeFile(folder_.file("fingerprints.py"), fingerprints);
    const std::string command =
        "python3 " + folder_.file("fingerprints.py") + " " + folder_.path() + types;
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("the fingerprints of the sshd test keys cannot be worked out");

    const std::string log = folder_.file("sshd.log");
    port_ = process_.startOnFreePort(
        [&](const std::string& port) -> std::vector<std::string> {
            std::string config = "Port " + port +
                                 "\nListenAddress 127.0.0.1\nPidFile none\nUsePAM no\n"
                                 "PasswordAuthentication yes\nKbdInteractiveAuthentication no\n"
                                 "PubkeyAuthentication no\nAuthorizedKeysFile none\n"
                                 "StrictModes no\nLogLevel VERBOSE\n"
                                 "Subsystem sftp internal-sftp\n";
            if (holdsBackFailingAddresses())
                config += "PerSourcePenalties no\n";
            for (const std::string& type : options.hostKeyTypes)
                config += "HostKey " + folder_.file("host_" + type) + "\n";
            for (const std::string& line : options.config)
                config += line + "\n";
            writeFile(folder_.file("sshd_config"), config);
            return {sshd, "-D", "-e", "-f", folder_.file("sshd_config")};
        },
        log, [log](int) { return readFile(log).find("Server listening on") != std::string::npos; });
}

bool OpenSshTestServer::installed()
{
    return access(sshd, X_OK) == 0;
}

std::string OpenSshTestServer::address() const
{
    return "sftp://127.0.0.1:" + std::to_string(port_);
}

std::string OpenSshTestServer::knownHostsLine(const std::string& type) const
{
    const std::string key = firstLine(readFile(folder_.file("host_" + type + ".pub")));
    // "type base64" without the (empty) comment.
    const std::size_t second = key.find(' ', key.find(' ') + 1);
    return "[127.0.0.1]:" + std::to_string(port_) + " " + key.substr(0, second);
}

std::string OpenSshTestServer::fingerprint(const std::string& type) const
{
    return readFile(folder_.file(type + ".sha256"));
}

std::string OpenSshTestServer::hexFingerprint(const std::string& type) const
{
    return readFile(folder_.file(type + ".hex"));
}

std::string OpenSshTestServer::log() const
{
    return readFile(folder_.file("sshd.log"));
}

} // namespace vantiro::test
