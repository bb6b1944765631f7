#include "platform/SftpClient.h"

#include "core/ftp/FtpListingParser.h"
#include "core/generator/modGeneral.h"
#include "platform/DownloadTarget.h"
#include "platform/FtpRemotePath.h"
#include "platform/HostFingerprint.h"
#include "platform/HostTrust.h"
#include "platform/UploadSource.h"

#include <libssh2.h>
#include <libssh2_sftp.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vantiro {
namespace {

using Failure = TransferFailure;
constexpr unsigned long malformedAddress = Failure::malformed;
constexpr unsigned long unsupported = Failure::base + 1;
constexpr unsigned long noConnection = Failure::noConnection;
constexpr unsigned long localWrite = Failure::localWrite;
constexpr unsigned long localRead = Failure::localRead;
constexpr unsigned long timedOut = Failure::timeout;
constexpr unsigned long connectionLost = Failure::lostConnection;
constexpr unsigned long sshFailure = Failure::base + 79;
constexpr unsigned long loginRefused = 530;
constexpr unsigned long refusedByServer = 550;

constexpr int connectTimeoutMilliseconds = 30000;
constexpr std::size_t chunkBytes = 64 * 1024;

LIBSSH2_SESSION* ssh(void* session)
{
    return static_cast<LIBSSH2_SESSION*>(session);
}

LIBSSH2_SFTP* sftp(void* channel)
{
    return static_cast<LIBSSH2_SFTP*>(channel);
}

void initialiseLibssh2Once()
{
    static std::once_flag once;
    std::call_once(once, [] { libssh2_init(0); });
}

class RemoteHandle final {
public:
    explicit RemoteHandle(LIBSSH2_SFTP_HANDLE* handle) : handle_(handle) {}
    ~RemoteHandle()
    {
        if (handle_)
            libssh2_sftp_close_handle(handle_);
    }
    RemoteHandle(const RemoteHandle&) = delete;
    RemoteHandle& operator=(const RemoteHandle&) = delete;

    LIBSSH2_SFTP_HANDLE* get() const { return handle_; }
    // Closes now: a server reports a failed write of the last bytes only here.
    bool close()
    {
        const int code = libssh2_sftp_close_handle(handle_);
        handle_ = nullptr;
        return code == 0;
    }

private:
    LIBSSH2_SFTP_HANDLE* handle_;
};

int knownHostKeyType(int hostKeyType)
{
    switch (hostKeyType) {
    case LIBSSH2_HOSTKEY_TYPE_RSA:
        return LIBSSH2_KNOWNHOST_KEY_SSHRSA;
    case LIBSSH2_HOSTKEY_TYPE_DSS:
        return LIBSSH2_KNOWNHOST_KEY_SSHDSS;
    case LIBSSH2_HOSTKEY_TYPE_ECDSA_256:
        return LIBSSH2_KNOWNHOST_KEY_ECDSA_256;
    case LIBSSH2_HOSTKEY_TYPE_ECDSA_384:
        return LIBSSH2_KNOWNHOST_KEY_ECDSA_384;
    case LIBSSH2_HOSTKEY_TYPE_ECDSA_521:
        return LIBSSH2_KNOWNHOST_KEY_ECDSA_521;
    case LIBSSH2_HOSTKEY_TYPE_ED25519:
        return LIBSSH2_KNOWNHOST_KEY_ED25519;
    default:
        return LIBSSH2_KNOWNHOST_KEY_UNKNOWN;
    }
}

// What the server refused, in the words of an FTP reply.
std::string statusText(unsigned long status)
{
    switch (status) {
    case LIBSSH2_FX_NO_SUCH_FILE:
    case LIBSSH2_FX_NO_SUCH_PATH:
        return "Datei oder Ordner nicht vorhanden";
    case LIBSSH2_FX_PERMISSION_DENIED:
    case LIBSSH2_FX_WRITE_PROTECT:
        return "Zugriff verweigert";
    case LIBSSH2_FX_FILE_ALREADY_EXISTS:
        return "Datei oder Ordner existiert bereits";
    case LIBSSH2_FX_DIR_NOT_EMPTY:
        return "Ordner ist nicht leer";
    case LIBSSH2_FX_NOT_A_DIRECTORY:
        return "Kein Ordner";
    case LIBSSH2_FX_NO_SPACE_ON_FILESYSTEM:
    case LIBSSH2_FX_QUOTA_EXCEEDED:
        return "Kein Platz auf dem Server";
    default:
        return "Vorgang vom Server abgelehnt (SFTP-Status " + std::to_string(status) + ")";
    }
}

bool isLinkOrDirectory(const LIBSSH2_SFTP_ATTRIBUTES& attributes, unsigned long type)
{
    return (attributes.flags & LIBSSH2_SFTP_ATTR_PERMISSIONS) != 0 &&
           (attributes.permissions & LIBSSH2_SFTP_S_IFMT) == type;
}

} // namespace

struct SftpCallbacks {
    // Servers that take passwords only through keyboard-interactive ask one or more prompts; the
    // password is the answer to each.
    static void keyboard(const char*, int, const char*, int, int promptCount,
                         const LIBSSH2_USERAUTH_KBDINT_PROMPT*,
                         LIBSSH2_USERAUTH_KBDINT_RESPONSE* responses, void** abstract)
    {
        const auto* client = static_cast<const SftpClient*>(*abstract);
        for (int i = 0; i < promptCount; ++i) {
            const std::string& password = client->login_->password;
            responses[i].text = strdup(password.c_str());
            responses[i].length = static_cast<unsigned int>(password.size());
        }
    }
};

SftpClient::SftpClient(std::shared_ptr<HostTrust> trust) : trust_(std::move(trust))
{
    if (!trust_)
        trust_ = std::make_shared<HostTrust>();
    initialiseLibssh2Once();
}

SftpClient::~SftpClient()
{
    close();
}

bool SftpClient::connect(const std::string& server, const std::string& user,
                         const std::string& password, bool)
{
    close();
    const auto address = FtpServerAddress::parse(server);
    if (!address)
        return fail(malformedAddress, "Ung\xFCltige Serveradresse");
    if (address->scheme != FtpServerAddress::Scheme::Sftp)
        return fail(unsupported, "Nur SFTP ist hier m\xF6glich");
    if (user.find('\0') != std::string::npos || password.find('\0') != std::string::npos)
        return fail(malformedAddress, "Ung\xFCltige Anmeldedaten");
    // Kept while logged in, as the FTP client keeps them in libcurl, so that a connection the
    // server drops during a pause can be taken up again without asking the user.
    login_ = Login{*address, user, password};
    if (!openSession()) {
        const FtpResponse failed = response_;
        close();
        response_ = failed;
        return false;
    }
    return succeed();
}

// The steps of a login on a fresh socket. On failure the session is released, response_ says
// why, and the login data stay for the caller to keep or drop.
bool SftpClient::openSession()
{
    const auto failed = [this] {
        releaseSession();
        return false;
    };
    if (!openSocket(login_->address))
        return false;
    session_ = libssh2_session_init_ex(nullptr, nullptr, nullptr, this);
    if (!session_) {
        fail(sshFailure, "SSH kann nicht gestartet werden");
        return failed();
    }
    libssh2_session_set_blocking(ssh(session_), 1);
    applyTimeout(timeout_);
    if (libssh2_session_handshake(ssh(session_), socket_) != 0) {
        failSession("SSH-Verbindung fehlgeschlagen");
        return failed();
    }
    if (!hostKeyTrusted(login_->address))
        return failed();
    if (!authenticate(login_->user, login_->password))
        return failed();
    sftp_ = libssh2_sftp_init(ssh(session_));
    if (!sftp_) {
        failSession("SFTP wird vom Server nicht angeboten");
        return failed();
    }
    libssh2_keepalive_config(ssh(session_), 1, 30);
    connected_ = true;
    return true;
}

void SftpClient::setTimeout(std::chrono::milliseconds timeout)
{
    timeout_ = timeout;
    if (session_)
        applyTimeout(timeout_);
}

void SftpClient::applyTimeout(std::chrono::milliseconds timeout)
{
    // libssh2 measures the time a call has waited in whole seconds of time(), so a call that
    // starts just before a second turns over may end up to a second early: a timeout under one
    // second could end a call that had waited only a few milliseconds. One second more keeps
    // every call waiting at least as long as asked.
    libssh2_session_set_timeout(ssh(session_), static_cast<long>(timeout.count()) + 1000);
}

bool SftpClient::openSocket(const FtpServerAddress& address)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(address.host.c_str(), std::to_string(address.port).c_str(), &hints, &found) !=
        0)
        return fail(Failure::base + 6, "Servername nicht gefunden: " + address.host);
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> results(found, &freeaddrinfo);
    for (const addrinfo* candidate = found; candidate; candidate = candidate->ai_next) {
        const int fd =
            socket(candidate->ai_family, candidate->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                   candidate->ai_protocol);
        if (fd < 0)
            continue;
        bool ready = ::connect(fd, candidate->ai_addr, candidate->ai_addrlen) == 0;
        if (!ready && errno == EINPROGRESS) {
            // Short polls, so that cancel() is noticed while a server does not answer.
            for (int waited = 0; waited < connectTimeoutMilliseconds && !cancelRequested_;
                 waited += 200) {
                pollfd writable{fd, POLLOUT, 0};
                if (poll(&writable, 1, 200) > 0) {
                    int error = 0;
                    socklen_t length = sizeof error;
                    ready =
                        getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
                    break;
                }
            }
        }
        if (ready) {
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            socket_ = fd;
            return true;
        }
        ::close(fd);
    }
    if (takeCancel())
        return false;
    return fail(noConnection, "Keine Verbindung zu " + address.authority());
}

bool SftpClient::hostKeyTrusted(const FtpServerAddress& address)
{
    std::size_t length = 0;
    int type = 0;
    const char* key = libssh2_session_hostkey(ssh(session_), &length, &type);
    HostKeyQuestion question;
    question.kind = HostKeyQuestion::Kind::Ssh;
    question.host = address.host;
    question.port = address.port;
    question.fingerprint = HostFingerprint::of(key ? std::string_view(key, length) : "");
    question.reason = "nicht in known_hosts";
    if (!key) {
        return fail(untrustedKeyCode, HostTrust::refusalText(question));
    }

    const std::string& knownHosts = trust_->settings().knownHostsPath;
    if (!knownHosts.empty()) {
        LIBSSH2_KNOWNHOSTS* hosts = libssh2_knownhost_init(ssh(session_));
        // Line by line, so that one line libssh2 does not understand (a newer key type, a
        // marker) does not hide the lines after it.
        std::ifstream file(knownHosts);
        std::string line;
        while (hosts && std::getline(file, line))
            if (!line.empty() && line.front() != '#')
                libssh2_knownhost_readline(hosts, line.data(), line.size(),
                                           LIBSSH2_KNOWNHOST_FILE_OPENSSH);
        libssh2_knownhost* entry = nullptr;
        const int match = hosts ? libssh2_knownhost_checkp(
                                      hosts, address.host.c_str(), address.port, key, length,
                                      LIBSSH2_KNOWNHOST_TYPE_PLAIN | LIBSSH2_KNOWNHOST_KEYENC_RAW |
                                          knownHostKeyType(type),
                                      &entry)
                                : LIBSSH2_KNOWNHOST_CHECK_FAILURE;
        if (hosts)
            libssh2_knownhost_free(hosts);
        if (match == LIBSSH2_KNOWNHOST_CHECK_MATCH)
            return true;
        if (match == LIBSSH2_KNOWNHOST_CHECK_MISMATCH) {
            question.changed = true;
            question.reason = "anderer Schl\xFCssel als in known_hosts";
        }
    }
    if (trust_->accept(question))
        return true;
    return fail(untrustedKeyCode, HostTrust::refusalText(question));
}

bool SftpClient::authenticate(const std::string& user, const std::string& password)
{
    const char* methods =
        libssh2_userauth_list(ssh(session_), user.c_str(), static_cast<unsigned int>(user.size()));
    if (!methods) {
        if (libssh2_userauth_authenticated(ssh(session_)))
            return true;
        return failSession("Anmeldung fehlgeschlagen");
    }
    const std::string offered = methods;
    int code = LIBSSH2_ERROR_AUTHENTICATION_FAILED;
    if (offered.find("password") != std::string::npos)
        code = libssh2_userauth_password_ex(
            ssh(session_), user.c_str(), static_cast<unsigned int>(user.size()), password.c_str(),
            static_cast<unsigned int>(password.size()), nullptr);
    if (code != 0 && offered.find("keyboard-interactive") != std::string::npos)
        code = libssh2_userauth_keyboard_interactive_ex(ssh(session_), user.c_str(),
                                                        static_cast<unsigned int>(user.size()),
                                                        &SftpCallbacks::keyboard);
    if (code == 0)
        return true;
    if (code == LIBSSH2_ERROR_AUTHENTICATION_FAILED || code == LIBSSH2_ERROR_PUBLICKEY_UNVERIFIED)
        return fail(loginRefused, "530 Anmeldung abgelehnt");
    return failSession("Anmeldung fehlgeschlagen");
}

void SftpClient::close()
{
    releaseSession();
    if (login_)
        std::fill(login_->password.begin(), login_->password.end(), '\0');
    login_.reset();
    current_ = "/";
    response_ = FtpResponse{};
}

void SftpClient::releaseSession()
{
    if (sftp_) {
        libssh2_sftp_shutdown(sftp(sftp_));
        sftp_ = nullptr;
    }
    if (session_) {
        // A short goodbye: a server that no longer answers must not hold the window up.
        applyTimeout(std::chrono::milliseconds(1000));
        if (connected_)
            libssh2_session_disconnect(ssh(session_), "");
        libssh2_session_free(ssh(session_));
        session_ = nullptr;
    }
    if (socket_ >= 0) {
        ::close(socket_);
        socket_ = -1;
    }
    connected_ = false;
}

// Servers send on their own (keep-alive answers, window updates), so only an orderly end of the
// stream or an error tells that the connection is gone.
bool SftpClient::connected() const
{
    if (!connected_ || socket_ < 0)
        return false;
    // A server that ends a session sends its goodbye and shuts the socket; what it sent may
    // still wait to be read, so the shut-down side counts, not an empty read.
    pollfd control{socket_, POLLIN | POLLRDHUP, 0};
    if (poll(&control, 1, 0) > 0) {
        char byte = 0;
        const ssize_t count = recv(socket_, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
        if (count == 0 || (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK))
            connected_ = false;
        if (control.revents & (POLLERR | POLLHUP | POLLRDHUP))
            connected_ = false;
    }
    return connected_;
}

bool SftpClient::setCurrentDirectory(const std::string& target)
{
    if (!ensureConnected() || !ensureSendable(target))
        return false;
    const std::string resolved = FtpRemotePath::resolve(current_, target);
    LIBSSH2_SFTP_ATTRIBUTES attributes{};
    if (libssh2_sftp_stat_ex(sftp(sftp_), resolved.c_str(),
                             static_cast<unsigned int>(resolved.size()), LIBSSH2_SFTP_STAT,
                             &attributes) != 0)
        return failServer("Ordner nicht verf\xFC"
                          "gbar");
    if (!isLinkOrDirectory(attributes, LIBSSH2_SFTP_S_IFDIR))
        return fail(refusedByServer, "550 Kein Ordner: " + resolved);
    current_ = resolved;
    return succeed();
}

bool SftpClient::findFiles(const std::string& pattern, std::vector<FtpEntry>& entries)
{
    entries.clear();
    if (!ensureConnected())
        return false;
    RemoteHandle folder(libssh2_sftp_open_ex(sftp(sftp_), current_.c_str(),
                                             static_cast<unsigned int>(current_.size()), 0, 0,
                                             LIBSSH2_SFTP_OPENDIR));
    if (!folder.get())
        return failServer("Ordner kann nicht gelesen werden");
    std::vector<char> name(4096);
    std::vector<FtpEntry> all;
    for (;;) {
        if (takeCancel())
            return false;
        LIBSSH2_SFTP_ATTRIBUTES attributes{};
        const int length = libssh2_sftp_readdir_ex(folder.get(), name.data(), name.size(), nullptr,
                                                   0, &attributes);
        if (length == 0)
            break;
        if (length < 0)
            return failServer("Ordner kann nicht gelesen werden");
        FtpEntry entry;
        entry.name.assign(name.data(), static_cast<std::size_t>(length));
        // The pattern only looks at the name: a link the filter drops costs no stat.
        if (entry.name == "." || entry.name == ".." || !WildcardMatch(pattern, entry.name))
            continue;
        if (isLinkOrDirectory(attributes, LIBSSH2_SFTP_S_IFLNK)) {
            // A link shows as what it leads to, as in an FTP listing.
            const std::string target = path(entry.name);
            LIBSSH2_SFTP_ATTRIBUTES followed{};
            if (libssh2_sftp_stat_ex(sftp(sftp_), target.c_str(),
                                     static_cast<unsigned int>(target.size()), LIBSSH2_SFTP_STAT,
                                     &followed) == 0)
                attributes = followed;
        }
        if (isLinkOrDirectory(attributes, LIBSSH2_SFTP_S_IFDIR)) {
            entry.attributes = FtpEntry::directoryAttribute;
        } else {
            const bool readOnly = (attributes.flags & LIBSSH2_SFTP_ATTR_PERMISSIONS) != 0 &&
                                  (attributes.permissions & LIBSSH2_SFTP_S_IWUSR) == 0;
            entry.attributes =
                FtpEntry::normalAttribute | (readOnly ? FtpEntry::readOnlyAttribute : 0);
            if (attributes.flags & LIBSSH2_SFTP_ATTR_SIZE)
                entry.size = attributes.filesize;
        }
        if (attributes.flags & LIBSSH2_SFTP_ATTR_ACMODTIME)
            entry.lastWrite =
                FtpListingParser::timeFromUnixSeconds(static_cast<std::int64_t>(attributes.mtime));
        all.push_back(std::move(entry));
    }
    entries = std::move(all);
    return succeed();
}

bool SftpClient::getFile(const std::string& remoteName, const std::string& localPath,
                         bool failIfExists, TransferType)
{
    if (!ensureConnected() || !ensureSendable(remoteName))
        return false;
    struct stat existing = {};
    if (failIfExists && lstat(localPath.c_str(), &existing) == 0)
        return fail(localWrite, "Die lokale Datei existiert bereits: " + localPath);
    const std::string remote = path(remoteName);
    RemoteHandle file(libssh2_sftp_open_ex(sftp(sftp_), remote.c_str(),
                                           static_cast<unsigned int>(remote.size()),
                                           LIBSSH2_FXF_READ, 0, LIBSSH2_SFTP_OPENFILE));
    if (!file.get())
        return failServer("Datei kann nicht gelesen werden");
    LIBSSH2_SFTP_ATTRIBUTES attributes{};
    const std::uint64_t total = libssh2_sftp_fstat_ex(file.get(), &attributes, 0) == 0 &&
                                        (attributes.flags & LIBSSH2_SFTP_ATTR_SIZE)
                                    ? attributes.filesize
                                    : 0;
    DownloadTarget target(localPath);
    if (!target.open())
        return fail(localWrite, "Die lokale Datei kann nicht angelegt werden: " +
                                    std::string(std::strerror(target.error())));
    std::vector<char> buffer(chunkBytes);
    std::uint64_t done = 0;
    for (;;) {
        if (takeCancel())
            return false;
        const ssize_t count = libssh2_sftp_read(file.get(), buffer.data(), buffer.size());
        if (count == 0)
            break;
        if (count < 0)
            return failServer("Datei kann nicht gelesen werden");
        if (!target.write(buffer.data(), static_cast<std::size_t>(count)))
            return fail(localWrite, "Die lokale Datei kann nicht geschrieben werden: " +
                                        std::string(std::strerror(target.error())));
        done += static_cast<std::uint64_t>(count);
        if (progress_)
            progress_(done, total);
    }
    if (!target.commit(failIfExists))
        return fail(localWrite, target.error() == EEXIST
                                    ? "Die lokale Datei existiert bereits: " + localPath
                                    : "Die lokale Datei kann nicht geschrieben werden: " +
                                          std::string(std::strerror(target.error())));
    return succeed();
}

bool SftpClient::putFile(const std::string& localPath, const std::string& remoteName, TransferType)
{
    if (!ensureConnected() || !ensureSendable(remoteName))
        return false;
    UploadSource local(localPath);
    if (!local.isOpen())
        return fail(localRead, local.failureText());
    const std::string remote = path(remoteName);
    RemoteHandle file(libssh2_sftp_open_ex(
        sftp(sftp_), remote.c_str(), static_cast<unsigned int>(remote.size()),
        LIBSSH2_FXF_WRITE | LIBSSH2_FXF_CREAT | LIBSSH2_FXF_TRUNC,
        LIBSSH2_SFTP_S_IRUSR | LIBSSH2_SFTP_S_IWUSR | LIBSSH2_SFTP_S_IRGRP | LIBSSH2_SFTP_S_IROTH,
        LIBSSH2_SFTP_OPENFILE));
    if (!file.get())
        return failServer("Datei kann nicht angelegt werden");
    std::vector<char> buffer(chunkBytes);
    std::uint64_t done = 0;
    const std::uint64_t total = local.size();
    for (;;) {
        if (takeCancel())
            return false;
        const ssize_t count = local.read(buffer.data(), buffer.size());
        if (count < 0)
            return fail(localRead, local.failureText());
        if (count == 0)
            break;
        for (ssize_t sent = 0; sent < count;) {
            const ssize_t written = libssh2_sftp_write(file.get(), buffer.data() + sent,
                                                       static_cast<std::size_t>(count - sent));
            if (written < 0)
                return failServer("Datei kann nicht geschrieben werden");
            sent += written;
        }
        done += static_cast<std::uint64_t>(count);
        if (progress_)
            progress_(done, total);
    }
    if (!file.close())
        return failServer("Datei kann nicht geschrieben werden");
    return succeed();
}

bool SftpClient::deleteFile(const std::string& name)
{
    if (!ensureConnected() || !ensureSendable(name))
        return false;
    const std::string target = path(name);
    if (libssh2_sftp_unlink_ex(sftp(sftp_), target.c_str(),
                               static_cast<unsigned int>(target.size())) != 0)
        return failServer("Datei kann nicht gel\xF6scht werden");
    return succeed();
}

bool SftpClient::removeDirectory(const std::string& name)
{
    if (!ensureConnected() || !ensureSendable(name))
        return false;
    const std::string target = path(name);
    if (libssh2_sftp_rmdir_ex(sftp(sftp_), target.c_str(),
                              static_cast<unsigned int>(target.size())) != 0)
        return failServer("Ordner kann nicht entfernt werden");
    return succeed();
}

bool SftpClient::createDirectory(const std::string& name)
{
    if (!ensureConnected() || !ensureSendable(name))
        return false;
    const std::string target = path(name);
    if (libssh2_sftp_mkdir_ex(sftp(sftp_), target.c_str(), static_cast<unsigned int>(target.size()),
                              LIBSSH2_SFTP_S_IRWXU | LIBSSH2_SFTP_S_IRGRP | LIBSSH2_SFTP_S_IXGRP |
                                  LIBSSH2_SFTP_S_IROTH | LIBSSH2_SFTP_S_IXOTH) != 0)
        return failServer("Ordner kann nicht angelegt werden");
    return succeed();
}

bool SftpClient::renameFile(const std::string& from, const std::string& to)
{
    if (!ensureConnected() || !ensureSendable(from) || !ensureSendable(to))
        return false;
    const std::string source = path(from);
    const std::string target = path(to);
    if (libssh2_sftp_rename_ex(sftp(sftp_), source.c_str(),
                               static_cast<unsigned int>(source.size()), target.c_str(),
                               static_cast<unsigned int>(target.size()),
                               LIBSSH2_SFTP_RENAME_OVERWRITE | LIBSSH2_SFTP_RENAME_ATOMIC |
                                   LIBSSH2_SFTP_RENAME_NATIVE) != 0)
        return failServer("Umbenennen nicht m\xF6glich");
    return succeed();
}

FtpResponse SftpClient::lastResponse() const
{
    return response_;
}

void SftpClient::keepAlive()
{
    if (!connected())
        return;
    int nextSeconds = 0;
    if (libssh2_keepalive_send(ssh(session_), &nextSeconds) != 0)
        connected_ = false;
}

std::string SftpClient::securityNotice() const
{
    return connected_ ? "Verbindung verschl\xFCsselt (SSH)" : std::string();
}

bool SftpClient::ensureConnected()
{
    if (connected())
        return true;
    if (!login_)
        return fail(noConnection, Failure::noConnectionText);
    return relogin();
}

// A connection found closed before a call (a server ends idle sessions, or restarted) is opened
// again and the user stays in the same folder. The host key is checked as at the first login.
bool SftpClient::relogin()
{
    releaseSession();
    if (!openSession()) {
        // A refused key or a cancel says more than "lost"; everything else was the connection.
        if (response_.code != untrustedKeyCode && response_.code != cancelledCode)
            fail(connectionLost, Failure::lostConnectionText);
        return false;
    }
    notices_.add(Failure::reloginNotice);
    return true;
}

std::vector<std::string> SftpClient::takeNotices()
{
    return notices_.take();
}

// Names are bytes to SFTP; only a NUL cannot be passed on.
bool SftpClient::ensureSendable(const std::string& name)
{
    if (name.find('\0') == std::string::npos)
        return true;
    return fail(malformedAddress, "Ein Name mit Nullbyte kann nicht gesendet werden");
}

bool SftpClient::takeCancel()
{
    if (!cancelRequested_.exchange(false))
        return false;
    return !fail(cancelledCode, Failure::cancelledText);
}

bool SftpClient::failSession(const char* what)
{
    char* message = nullptr;
    const int error = session_ ? libssh2_session_last_error(ssh(session_), &message, nullptr, 0)
                               : LIBSSH2_ERROR_SOCKET_DISCONNECT;
    const std::string detail = message && *message ? std::string(": ") + message : "";
    switch (error) {
    case LIBSSH2_ERROR_TIMEOUT:
        return fail(timedOut, Failure::timeoutText);
    case LIBSSH2_ERROR_SOCKET_DISCONNECT:
    case LIBSSH2_ERROR_SOCKET_RECV:
    case LIBSSH2_ERROR_SOCKET_SEND:
    case LIBSSH2_ERROR_SOCKET_TIMEOUT:
    case LIBSSH2_ERROR_BANNER_RECV:
    case LIBSSH2_ERROR_BANNER_SEND:
        connected_ = false;
        return fail(connectionLost, Failure::lostConnectionText + detail);
    default:
        return fail(sshFailure, what + detail);
    }
}

bool SftpClient::failServer(const char* what)
{
    if (!session_ || libssh2_session_last_errno(ssh(session_)) != LIBSSH2_ERROR_SFTP_PROTOCOL)
        return failSession(what);
    const unsigned long status = libssh2_sftp_last_error(sftp(sftp_));
    return fail(refusedByServer, "550 " + std::string(what) + ": " + statusText(status));
}

bool SftpClient::fail(unsigned long code, std::string text)
{
    response_ = FtpResponse{code, std::move(text)};
    return false;
}

bool SftpClient::succeed()
{
    response_ = FtpResponse{0, ""};
    return true;
}

std::string SftpClient::path(const std::string& name) const
{
    return FtpRemotePath::join(current_, name);
}

} // namespace vantiro
