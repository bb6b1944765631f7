#include "support/RealFtpServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantiro::test {
namespace {

namespace fs = std::filesystem;

constexpr int passivePorts = 20;

std::string vsftpdBinary()
{
    return std::string(RealFtpServer::serversFolder) + "/usr/sbin/vsftpd";
}

std::string proftpdBinary()
{
    return std::string(RealFtpServer::serversFolder) + "/usr/sbin/proftpd";
}

std::string proftpdModules()
{
    return std::string(RealFtpServer::serversFolder) + "/usr/lib/proftpd";
}

constexpr const char* pureFtpdBinary = "/usr/sbin/pure-ftpd";
constexpr const char* purePwBinary = "/usr/bin/pure-pw";

bool executable(const std::string& path)
{
    return access(path.c_str(), X_OK) == 0;
}

void run(const std::string& command)
{
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("failed: " + command);
}

std::string shellQuoted(const std::string& text)
{
    return "'" + text + "'";
}

// The unprivileged account a server maps its user to: uid and gid.
struct Account {
    uid_t uid = 0;
    gid_t gid = 0;
    std::string group;
};

Account account(const char* name)
{
    const passwd* entry = getpwnam(name);
    if (!entry)
        throw std::runtime_error(std::string("no account ") + name);
    Account result{entry->pw_uid, entry->pw_gid, {}};
    const group* primary = getgrgid(entry->pw_gid);
    result.group = primary ? primary->gr_name : "nogroup";
    return result;
}

void ownFolder(const std::string& path, const Account& owner)
{
    fs::create_directories(path);
    if (chown(path.c_str(), owner.uid, owner.gid) != 0)
        throw std::runtime_error("cannot hand over " + path);
}

// vsftpd's anonymous user changes to its account's home before anon_root; daemon's home
// exists on every Debian system, nobody's does not.
constexpr const char* vsftpdAccount = "daemon";

bool isVsftpd(RealFtpServer::Kind kind)
{
    using Kind = RealFtpServer::Kind;
    return kind == Kind::Vsftpd || kind == Kind::VsftpdTls || kind == Kind::VsftpdImplicitTls;
}

// For a server that greets only inside TLS.
bool accepts(int port)
{
    const int client = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected =
        connect(client, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(client);
    return connected;
}

} // namespace

std::string RealFtpServer::unavailable(Kind kind)
{
    if (geteuid() != 0)
        return "the FTP servers of hosts need root to start";
    switch (kind) {
    case Kind::Vsftpd:
    case Kind::VsftpdTls:
    case Kind::VsftpdImplicitTls:
        return executable(vsftpdBinary()) ? "" : vsftpdBinary() + " missing (scripts/setup.sh)";
    case Kind::ProftpdTls:
        if (!executable(proftpdBinary()))
            return proftpdBinary() + " missing (scripts/setup.sh)";
        return fs::exists(proftpdModules() + "/mod_tls.so")
                   ? ""
                   : proftpdModules() + "/mod_tls.so missing (scripts/setup.sh)";
    case Kind::PureFtpdTls:
        return executable(pureFtpdBinary) && executable(purePwBinary)
                   ? ""
                   : "pure-ftpd missing (scripts/setup.sh)";
    }
    return "unknown server";
}

RealFtpServer::RealFtpServer(Kind kind) : kind_(kind)
{
    // The servers' own users must reach their folders below the temporary one.
    fs::permissions(folder_.path(), fs::perms::owner_all | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read |
                                        fs::perms::others_exec);
    const std::string root = folder_.file("root");
    if (isVsftpd(kind)) {
        // vsftpd refuses a chroot folder its user may write to; the user writes one below.
        user_ = "anonymous";
        fs::create_directories(root);
        remoteFolder_ = "/upload";
        localFolder_ = root + "/upload";
        ownFolder(localFolder_, account(vsftpdAccount));
        fs::create_directories(folder_.file("empty"));
    } else {
        user_ = "vantiro";
        remoteFolder_ = "/";
        localFolder_ = root;
        ownFolder(localFolder_, account("nobody"));
    }
    if (kind != Kind::Vsftpd)
        makeCertificate();
    const Account nobody = account("nobody");
    if (kind == Kind::ProftpdTls) {
        const std::string hash = folder_.file("hash");
        run("openssl passwd -6 " + shellQuoted(password_) + " > " + shellQuoted(hash));
        std::ifstream in(hash);
        std::string crypted;
        std::getline(in, crypted);
        std::ofstream(folder_.file("passwd")) << user_ << ':' << crypted << ':' << nobody.uid << ':'
                                              << nobody.gid << "::" << localFolder_ << ":/bin/sh\n";
        std::ofstream(folder_.file("group")) << nobody.group << ":x:" << nobody.gid << ":\n";
        fs::permissions(folder_.file("passwd"), fs::perms::owner_read | fs::perms::owner_write);
    }
    if (kind == Kind::PureFtpdTls) {
        run("printf '%s\\n%s\\n' " + shellQuoted(password_) + " " + shellQuoted(password_) + " | " +
            purePwBinary + " useradd " + user_ + " -u " + std::to_string(nobody.uid) + " -g " +
            std::to_string(nobody.gid) + " -d " + shellQuoted(localFolder_) + " -f " +
            shellQuoted(folder_.file("pure-passwd")) + " -m -F " +
            shellQuoted(folder_.file("pure-passwd.pdb")) + " > /dev/null");
    }
    for (int attempt = 0; attempt < 5; ++attempt) {
        passiveFirst_ = 0;
        const int port = ServerProcess::freePort();
        if (startOn(port)) {
            port_ = port;
            return;
        }
    }
    throw std::runtime_error("FTP server does not start:\n" + log());
}

RealFtpServer::~RealFtpServer()
{
    stop();
}

std::string RealFtpServer::address(const std::string& scheme) const
{
    return scheme + "://127.0.0.1:" + std::to_string(port_);
}

std::string RealFtpServer::log() const
{
    return readFile(folder_.file("server.log"));
}

void RealFtpServer::signalAll(int signal)
{
    const pid_t root = process_.pid();
    if (root <= 0)
        return;
    std::vector<pid_t> family{root};
    for (std::size_t known = 0; known != family.size();) {
        known = family.size();
        for (const auto& entry : fs::directory_iterator("/proc")) {
            const std::string name = entry.path().filename().string();
            if (name.find_first_not_of("0123456789") != std::string::npos)
                continue;
            std::ifstream stat(entry.path() / "stat");
            std::string line;
            std::getline(stat, line);
            const std::size_t close = line.rfind(')');
            if (close == std::string::npos)
                continue;
            std::istringstream fields(line.substr(close + 2));
            char state = 0;
            pid_t parent = 0;
            fields >> state >> parent;
            const pid_t pid = std::stoi(name);
            if (std::find(family.begin(), family.end(), parent) != family.end() &&
                std::find(family.begin(), family.end(), pid) == family.end())
                family.push_back(pid);
        }
    }
    for (const pid_t pid : family)
        kill(pid, signal);
}

void RealFtpServer::restart()
{
    stop();
    // The port may take a moment to be free again after the kill.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (startOn(port_))
            return;
        usleep(100000);
    }
    throw std::runtime_error("FTP server does not start again:\n" + log());
}

void RealFtpServer::stop()
{
    signalAll(SIGKILL);
    process_.stop();
}

void RealFtpServer::makeCertificate()
{
    const std::string key = folder_.file("key.pem");
    const std::string certificate = folder_.file("cert.pem");
    run("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost -addext "
        "subjectAltName=DNS:localhost,IP:127.0.0.1 -keyout " +
        shellQuoted(key) + " -out " + shellQuoted(certificate) + " 2> /dev/null");
    run("cat " + shellQuoted(key) + " " + shellQuoted(certificate) + " > " +
        shellQuoted(folder_.file("both.pem")));
    const std::string digest = folder_.file("fingerprint");
    run("openssl x509 -in " + shellQuoted(certificate) +
        " -pubkey -noout | openssl pkey -pubin -outform DER | openssl dgst -sha256 -binary | "
        "base64 -w0 | tr -d = > " +
        shellQuoted(digest));
    fingerprint_ = "SHA256:" + readFile(digest);
}

void RealFtpServer::writeVsftpdConfig(int port) const
{
    std::ofstream config(folder_.file("vsftpd.conf"));
    config << "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=" << port
           << "\nbackground=NO\nanonymous_enable=YES\nlocal_enable=NO\nwrite_enable=YES\n"
              "anon_upload_enable=YES\nanon_mkdir_write_enable=YES\nanon_other_write_enable=YES\n"
              "anon_umask=022\nno_anon_password=YES\n"
           << "anon_root=" << folder_.file("root") << "\nftp_username=" << vsftpdAccount
           << "\nsecure_chroot_dir=" << folder_.file("empty")
           << "\npasv_enable=YES\npasv_min_port=" << passiveFirst_
           << "\npasv_max_port=" << passiveFirst_ + passivePorts - 1
           << "\nseccomp_sandbox=NO\nxferlog_enable=NO\nmax_per_ip=0\nmax_clients=0\n";
    if (kind_ == Kind::VsftpdImplicitTls)
        config << "implicit_ssl=YES\n";
    if (kind_ != Kind::Vsftpd)
        config << "ssl_enable=YES\nallow_anon_ssl=YES\nforce_anon_logins_ssl=YES\n"
                  "force_anon_data_ssl=YES\nrsa_cert_file="
               << folder_.file("cert.pem") << "\nrsa_private_key_file=" << folder_.file("key.pem")
               << "\n";
}

void RealFtpServer::writeProftpdConfig(int port) const
{
    const Account nobody = account("nobody");
    std::ofstream config(folder_.file("proftpd.conf"));
    config << "ServerType standalone\nServerName \"Vantiro\"\nDefaultAddress 127.0.0.1\nPort "
           << port << "\nPassivePorts " << passiveFirst_ << ' ' << passiveFirst_ + passivePorts - 1
           << "\nUser nobody\nGroup " << nobody.group
           << "\nUseIPv6 off\nWtmpLog off\nUseReverseDNS off\nDefaultRoot ~\n"
              "RequireValidShell off\nMaxInstances 100\nAuthOrder mod_auth_file.c\n"
           << "AuthUserFile " << folder_.file("passwd") << "\nAuthGroupFile "
           << folder_.file("group") << "\nPidFile " << folder_.file("proftpd.pid")
           << "\nScoreboardFile " << folder_.file("scoreboard")
           << "\n<IfModule mod_delay.c>\n  DelayTable none\n</IfModule>\nModulePath "
           << proftpdModules()
           << "\n<IfModule !mod_xfer.c>\n  LoadModule mod_xfer.c\n</IfModule>\n<IfModule "
              "!mod_ls.c>\n  "
              "LoadModule mod_ls.c\n</IfModule>\nLoadModule mod_tls.c\nTLSEngine on\nTLSRequired "
              "on\nTLSRSACertificateFile "
           << folder_.file("cert.pem") << "\nTLSRSACertificateKeyFile " << folder_.file("key.pem")
           << "\n<Directory />\n  AllowOverwrite on\n</Directory>\n";
}

std::vector<std::string> RealFtpServer::arguments(int port) const
{
    const std::string passive =
        std::to_string(passiveFirst_) + ":" + std::to_string(passiveFirst_ + passivePorts - 1);
    switch (kind_) {
    case Kind::Vsftpd:
    case Kind::VsftpdTls:
    case Kind::VsftpdImplicitTls:
        return {vsftpdBinary(), folder_.file("vsftpd.conf")};
    case Kind::ProftpdTls:
        return {proftpdBinary(), "-n", "-q", "-c", folder_.file("proftpd.conf")};
    case Kind::PureFtpdTls:
        return {pureFtpdBinary,
                "-S",
                "127.0.0.1," + std::to_string(port),
                "-l",
                "puredb:" + folder_.file("pure-passwd.pdb"),
                "-E",
                "-H",
                "-A",
                "-c",
                "100",
                "-C",
                "50",
                "-p",
                passive,
                "-Y",
                "2",
                "-2",
                folder_.file("both.pem")};
    }
    return {};
}

bool RealFtpServer::startOn(int port)
{
    if (passiveFirst_ == 0) {
        // The range starts at a port free now; the servers skip a taken one in it.
        passiveFirst_ = ServerProcess::freePort();
        if (passiveFirst_ + passivePorts > 65535)
            passiveFirst_ = 65535 - passivePorts;
    }
    if (isVsftpd(kind_))
        writeVsftpdConfig(port);
    if (kind_ == Kind::ProftpdTls)
        writeProftpdConfig(port);
    if (kind_ == Kind::VsftpdImplicitTls)
        return process_.start(arguments(port), folder_.file("server.log"),
                              [port] { return accepts(port); });
    return process_.start(arguments(port), folder_.file("server.log"),
                          [port] { return ServerProcess::greetsWithFtp(port); });
}

} // namespace vantiro::test
