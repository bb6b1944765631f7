#include "platform/SftpClient.h"

#include "core/text/Cp1252Literal.h"
#include "platform/DownloadTarget.h"
#include "platform/FtpRemotePath.h"
#include "platform/HostTrust.h"
#include "platform/KnownHosts.h"
#include "platform/SftpHandle.h"
#include "platform/SftpListingReader.h"
#include "platform/SshFailure.h"
#include "platform/SshHostKeyCheck.h"
#include "platform/SshIo.h"
#include "platform/SshMethodPreferences.h"
#include "platform/TcpConnector.h"
#include "platform/UploadSource.h"

#include <libssh2.h>
#include <libssh2_sftp.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
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
constexpr unsigned long connectionLost = Failure::lostConnection;
constexpr unsigned long sshFailure = SshFailure::sshCode;
constexpr unsigned long loginRefused = 530;
constexpr unsigned long refusedByServer = SshFailure::refusedByServerCode;

constexpr std::chrono::milliseconds goodbyeTime{1000};
constexpr std::size_t chunkBytes = 64 * 1024;
// libssh2 cuts a write into packets of about 30 KB and sends them all before it waits for the
// first answer, so the size of one write is how much is in flight: over a distant link a
// larger one keeps the line busy instead of waiting a round trip for every two packets.
constexpr std::size_t uploadChunkBytes = 1024 * 1024;

LIBSSH2_SFTP* sftp(void* channel)
{
    return static_cast<LIBSSH2_SFTP*>(channel);
}

void initialiseLibssh2Once()
{
    static std::once_flag once;
    std::call_once(once, [] { libssh2_init(0); });
}

// libssh2 1.11.1 marks libssh2_session_callback_set deprecated in favour of a variant that
// 1.10 lacks; the call is the same for both.
template <typename Function>
void setCallback(LIBSSH2_SESSION* session, int type, Function* function)
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    libssh2_session_callback_set(session, type, reinterpret_cast<void*>(function));
#pragma GCC diagnostic pop
}

} // namespace

struct SftpCallbacks {
    // libssh2 reads the connection through here; the start of what the server sends, up to its
    // first key exchange packet, is kept to explain a key exchange that found nothing in common.
    static ssize_t receive(libssh2_socket_t socket, void* buffer, std::size_t length, int flags,
                           void** abstract)
    {
        auto* client = static_cast<SftpClient*>(*abstract);
        SshIo& io = *client->io_;
        // A server that floods the connection (SSH_MSG_IGNORE without end, a version line that
        // never ends) keeps libssh2 reading without a pause; the call ends here at its deadline.
        if (io.abortNow())
            return -ECONNABORTED;
        const ssize_t count = ::recv(socket, buffer, length, flags);
        if (count < 0)
            return -errno;
        io.noteReceived(buffer, static_cast<std::size_t>(count));
        return count;
    }

    // Nothing goes out once a call was ended: after DISCONNECT during a login no password.
    static ssize_t send(libssh2_socket_t socket, const void* buffer, std::size_t length, int flags,
                        void** abstract)
    {
        auto* client = static_cast<SftpClient*>(*abstract);
        if (client->io_->abortNow())
            return -ECONNABORTED;
        const ssize_t count = ::send(socket, buffer, length, flags | MSG_NOSIGNAL);
        return count < 0 ? -errno : count;
    }

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

SftpClient::SftpClient(std::shared_ptr<HostTrust> trust)
    : trust_(std::move(trust)), io_(std::make_unique<SshIo>(cancelRequested_, connected_))
{
    io_->setTimeout(std::chrono::milliseconds(defaultTimeoutMilliseconds));
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
        return fail(malformedAddress, "Ungültige Serveradresse"_cp1252);
    if (address->scheme != FtpServerAddress::Scheme::Sftp)
        return fail(unsupported, "Nur SFTP ist hier möglich"_cp1252);
    if (user.find('\0') != std::string::npos || password.find('\0') != std::string::npos)
        return fail(malformedAddress, "Ungültige Anmeldedaten"_cp1252);
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
    // A pinned fingerprint may be that of another of the server's keys (providers publish
    // them all): each key type the server has is tried before the pin refuses it.
    skippedKeyMethods_.clear();
    for (;;) {
        otherKeyWanted_ = false;
        if (openSessionOnce())
            return true;
        if (!otherKeyWanted_)
            return false;
    }
}

bool SftpClient::openSessionOnce()
{
    const auto failed = [this] {
        releaseSession();
        return false;
    };
    if (!openSocket(login_->address))
        return false;
    io_->setSession(libssh2_session_init_ex(nullptr, nullptr, nullptr, this));
    LIBSSH2_SESSION* session = io_->session();
    if (!session) {
        fail(sshFailure, "SSH kann nicht gestartet werden");
        return failed();
    }
    // libssh2 waits only where this client can see it (SshIo::run()), so that a cancel and the
    // deadline of a call are noticed while it waits.
    libssh2_session_set_blocking(session, 0);
    setCallback(session, LIBSSH2_CALLBACK_RECV, &SftpCallbacks::receive);
    setCallback(session, LIBSSH2_CALLBACK_SEND, &SftpCallbacks::send);
    const KnownHosts knownHosts = trust_->settings().knownHostsPath.empty()
                                      ? KnownHosts()
                                      : KnownHosts::read(trust_->settings().knownHostsPath);
    if (!SshMethodPreferences::apply(
            session, knownHosts.keyTypesFor(login_->address.host, login_->address.port),
            skippedKeyMethods_)) {
        fail(sshFailure, "Die SSH-Bibliothek bietet keine sicheren Verfahren an");
        return failed();
    }
    io_->clearReceived();
    io_->keepReceived(true);
    const int handshake =
        io_->run([&] { return libssh2_session_handshake(session, io_->socket()); });
    io_->keepReceived(false);
    if (handshake != 0) {
        // A key exchange that failed because client and server share no method says which
        // methods the server would have wanted.
        const auto weak = handshake == LIBSSH2_ERROR_KEX_FAILURE
                              ? SshMethodPreferences::keyExchangeFailure(session, io_->received())
                              : std::nullopt;
        if (weak)
            fail(sshFailure, *weak);
        else
            failSession("SSH-Verbindung fehlgeschlagen");
        return failed();
    }
    // On refusal response_ holds untrustedKeyCode and the text that names the key.
    const auto refusal =
        SshHostKeyCheck::refusal(session, login_->address, knownHosts, *trust_, [&] {
            otherKeyWanted_ = SshMethodPreferences::skipToAnotherKey(session, io_->received(),
                                                                     skippedKeyMethods_);
            return otherKeyWanted_;
        });
    io_->clearReceived();
    if (refusal) {
        fail(untrustedKeyCode, *refusal);
        return failed();
    }
    // The key question may have taken a while; a DISCONNECT meanwhile sends no password.
    if (takeCancel())
        return failed();
    if (!authenticate(login_->user, login_->password))
        return failed();
    // libssh2 frees this state when it closes the channel itself, but never when the server
    // closed the channel first, as when a connection drops during an upload.
    sftp_ = io_->run([&] { return libssh2_sftp_init(session); });
    if (!sftp_) {
        failSession("SFTP wird vom Server nicht angeboten");
        return failed();
    }
    libssh2_keepalive_config(io_->session(), 1, 30);
    connected_ = true;
    removePartialsOfEarlierConnections();
    return true;
}

void SftpClient::setTimeout(std::chrono::milliseconds timeout)
{
    io_->setTimeout(timeout);
}

bool SftpClient::openSocket(const FtpServerAddress& address)
{
    FtpResponse failure;
    const int socket = TcpConnector::open(address, cancelRequested_, failure);
    if (socket >= 0) {
        io_->setSocket(socket);
        return true;
    }
    if (failure.code == noConnection && takeCancel())
        return false;
    return fail(failure.code, std::move(failure.text));
}

bool SftpClient::authenticate(const std::string& user, const std::string& password)
{
    const char* methods = io_->run([&] {
        return libssh2_userauth_list(io_->session(), user.c_str(),
                                     static_cast<unsigned int>(user.size()));
    });
    if (!methods) {
        if (libssh2_userauth_authenticated(io_->session()))
            return true;
        return failSession("Anmeldung fehlgeschlagen");
    }
    const std::string offered = methods;
    int code = LIBSSH2_ERROR_AUTHENTICATION_FAILED;
    if (offered.find("password") != std::string::npos)
        code = io_->run([&] {
            return libssh2_userauth_password_ex(
                io_->session(), user.c_str(), static_cast<unsigned int>(user.size()),
                password.c_str(), static_cast<unsigned int>(password.size()), nullptr);
        });
    if (code != 0 && io_->aborted() == SshIo::Abort::None &&
        offered.find("keyboard-interactive") != std::string::npos)
        code = io_->run([&] {
            return libssh2_userauth_keyboard_interactive_ex(io_->session(), user.c_str(),
                                                            static_cast<unsigned int>(user.size()),
                                                            &SftpCallbacks::keyboard);
        });
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
    // A short goodbye: a server that no longer answers must not hold the window up. After a
    // cancelled login nothing more is sent.
    const std::chrono::milliseconds timeout = io_->timeout();
    io_->setTimeout(goodbyeTime);
    // libssh2 frees the SFTP state only once its channel's end went out or failed for good; a
    // connection that no longer moves is shut, so that the goodbye fails and nothing leaks.
    if (sftp_) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (io_->run([&] { return libssh2_sftp_shutdown(sftp(sftp_)); }) !=
                LIBSSH2_ERROR_EAGAIN)
                break;
            if (io_->socket() >= 0)
                shutdown(io_->socket(), SHUT_RDWR);
        }
        sftp_ = nullptr;
    }
    if (LIBSSH2_SESSION* session = io_->session()) {
        if (connected_)
            io_->run([&] { return libssh2_session_disconnect(session, ""); });
        // Freeing sends the ends of open channels; once the socket is shut down that fails at
        // once and the memory is freed all the same.
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (io_->run([&] { return libssh2_session_free(session); }) != LIBSSH2_ERROR_EAGAIN)
                break;
            if (io_->socket() >= 0)
                shutdown(io_->socket(), SHUT_RDWR);
        }
        io_->setSession(nullptr);
    }
    io_->setTimeout(timeout);
    if (io_->socket() >= 0) {
        ::close(io_->socket());
        io_->setSocket(-1);
    }
    connected_ = false;
}

// Servers send on their own (keep-alive answers, window updates), so only an orderly end of the
// stream or an error tells that the connection is gone.
bool SftpClient::connected() const
{
    const int socket = io_->socket();
    if (!connected_ || socket < 0)
        return false;
    // A server that ends a session sends its goodbye and shuts the socket; what it sent may
    // still wait to be read, so the shut-down side counts, not an empty read.
    pollfd control{socket, POLLIN | POLLRDHUP, 0};
    if (poll(&control, 1, 0) > 0) {
        char byte = 0;
        const ssize_t count = recv(socket, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
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
    if (io_->run([&] {
            return libssh2_sftp_stat_ex(sftp(sftp_), resolved.c_str(),
                                        static_cast<unsigned int>(resolved.size()),
                                        LIBSSH2_SFTP_STAT, &attributes);
        }) != 0)
        return failServer("Ordner nicht verfügbar"_cp1252);
    if (!SftpListingReader::hasType(attributes, LIBSSH2_SFTP_S_IFDIR))
        return fail(refusedByServer, "550 Kein Ordner: " + resolved);
    current_ = resolved;
    return succeed();
}

bool SftpClient::findFiles(const std::string& pattern, std::vector<FtpEntry>& entries)
{
    entries.clear();
    if (!ensureConnected())
        return false;
    SftpHandle folder(*io_, io_->run([&] {
        return libssh2_sftp_open_ex(sftp(sftp_), current_.c_str(),
                                    static_cast<unsigned int>(current_.size()), 0, 0,
                                    LIBSSH2_SFTP_OPENDIR);
    }));
    if (!folder.get())
        return failServer("Ordner kann nicht gelesen werden");
    SftpListingReader reader(*io_, sftp(sftp_), [this] { return takeCancel(); });
    switch (reader.read(folder.get(), current_, pattern, entries)) {
    case SftpListingReader::Outcome::Complete:
        return succeed();
    case SftpListingReader::Outcome::Cancelled:
        return false;
    case SftpListingReader::Outcome::Failed:
        break;
    }
    return failServer("Ordner kann nicht gelesen werden");
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
    SftpHandle file(*io_, io_->run([&] {
        return libssh2_sftp_open_ex(sftp(sftp_), remote.c_str(),
                                    static_cast<unsigned int>(remote.size()), LIBSSH2_FXF_READ, 0,
                                    LIBSSH2_SFTP_OPENFILE);
    }));
    if (!file.get())
        return failServer("Datei kann nicht gelesen werden");
    LIBSSH2_SFTP_ATTRIBUTES attributes{};
    const std::uint64_t total = io_->run([&] {
        return libssh2_sftp_fstat_ex(file.get(), &attributes, 0);
    }) == 0 && (attributes.flags & LIBSSH2_SFTP_ATTR_SIZE)
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
        const ssize_t count =
            io_->run([&] { return libssh2_sftp_read(file.get(), buffer.data(), buffer.size()); });
        if (count == 0)
            break;
        if (count < 0)
            return failServer("Datei kann nicht gelesen werden");
        if (!target.write(buffer.data(), static_cast<std::size_t>(count)))
            return fail(localWrite, target.failureText());
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
    SftpHandle file(*io_, io_->run([&] {
        return libssh2_sftp_open_ex(sftp(sftp_), remote.c_str(),
                                    static_cast<unsigned int>(remote.size()),
                                    LIBSSH2_FXF_WRITE | LIBSSH2_FXF_CREAT | LIBSSH2_FXF_TRUNC,
                                    LIBSSH2_SFTP_S_IRUSR | LIBSSH2_SFTP_S_IWUSR |
                                        LIBSSH2_SFTP_S_IRGRP | LIBSSH2_SFTP_S_IROTH,
                                    LIBSSH2_SFTP_OPENFILE);
    }));
    if (!file.get())
        return failServer("Datei kann nicht angelegt werden");
    bool sent = sendData(file, local);
    if (sent && !file.close())
        sent = failServer("Datei kann nicht geschrieben werden");
    if (sent)
        return succeed();
    // An upload that did not complete, for whatever reason, leaves nothing under the target
    // name: the old file is gone already, and a partial one would pass for the page.
    const FtpResponse failed = response_;
    if (file.get())
        file.close();
    removePartial(remote);
    response_ = failed;
    return false;
}

bool SftpClient::sendData(SftpHandle& file, UploadSource& local)
{
    std::vector<char> buffer(uploadChunkBytes);
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
            const ssize_t written = io_->run([&] {
                return libssh2_sftp_write(file.get(), buffer.data() + sent,
                                          static_cast<std::size_t>(count - sent));
            });
            if (written < 0)
                return failServer("Datei kann nicht geschrieben werden");
            sent += written;
        }
        done += static_cast<std::uint64_t>(count);
        if (progress_)
            progress_(done, total);
    }
    return true;
}

void SftpClient::removePartial(const std::string& remote)
{
    if (connected_ && io_->run([&] {
            return libssh2_sftp_unlink_ex(sftp(sftp_), remote.c_str(),
                                          static_cast<unsigned int>(remote.size()));
        }) == 0)
        return;
    // The connection is gone: the file goes at the next login to this server as this user.
    if (connected_ || !login_)
        return;
    const std::string owner = login_->address.authority() + " " + login_->user;
    if (partialsOwner_ != owner)
        partials_.clear();
    partialsOwner_ = owner;
    partials_.push_back(remote);
}

void SftpClient::removePartialsOfEarlierConnections()
{
    if (partials_.empty() || partialsOwner_ != login_->address.authority() + " " + login_->user)
        return;
    for (const std::string& remote : std::exchange(partials_, {}))
        io_->run([&] {
            return libssh2_sftp_unlink_ex(sftp(sftp_), remote.c_str(),
                                          static_cast<unsigned int>(remote.size()));
        });
}

bool SftpClient::deleteFile(const std::string& name)
{
    if (!ensureConnected() || !ensureSendable(name))
        return false;
    const std::string target = path(name);
    if (io_->run([&] {
            return libssh2_sftp_unlink_ex(sftp(sftp_), target.c_str(),
                                          static_cast<unsigned int>(target.size()));
        }) != 0)
        return failServer("Datei kann nicht gelöscht werden"_cp1252);
    return succeed();
}

bool SftpClient::removeDirectory(const std::string& name)
{
    if (!ensureConnected() || !ensureSendable(name))
        return false;
    const std::string target = path(name);
    if (io_->run([&] {
            return libssh2_sftp_rmdir_ex(sftp(sftp_), target.c_str(),
                                         static_cast<unsigned int>(target.size()));
        }) != 0)
        return failServer("Ordner kann nicht entfernt werden");
    return succeed();
}

bool SftpClient::createDirectory(const std::string& name)
{
    if (!ensureConnected() || !ensureSendable(name))
        return false;
    const std::string target = path(name);
    if (io_->run([&] {
            return libssh2_sftp_mkdir_ex(
                sftp(sftp_), target.c_str(), static_cast<unsigned int>(target.size()),
                LIBSSH2_SFTP_S_IRWXU | LIBSSH2_SFTP_S_IRGRP | LIBSSH2_SFTP_S_IXGRP |
                    LIBSSH2_SFTP_S_IROTH | LIBSSH2_SFTP_S_IXOTH);
        }) != 0)
        return failServer("Ordner kann nicht angelegt werden");
    return succeed();
}

bool SftpClient::renameFile(const std::string& from, const std::string& to)
{
    if (!ensureConnected() || !ensureSendable(from) || !ensureSendable(to))
        return false;
    const std::string source = path(from);
    const std::string target = path(to);
    if (io_->run([&] {
            return libssh2_sftp_rename_ex(
                sftp(sftp_), source.c_str(), static_cast<unsigned int>(source.size()),
                target.c_str(), static_cast<unsigned int>(target.size()),
                LIBSSH2_SFTP_RENAME_OVERWRITE | LIBSSH2_SFTP_RENAME_ATOMIC |
                    LIBSSH2_SFTP_RENAME_NATIVE);
        }) != 0)
        return failServer("Umbenennen nicht möglich"_cp1252);
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
    if (io_->run([&] { return libssh2_keepalive_send(io_->session(), &nextSeconds); }) != 0)
        connected_ = false;
}

std::string SftpClient::securityNotice() const
{
    return connected_ ? "Verbindung verschlüsselt (SSH)"_cp1252 : std::string();
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
    return failWith(SshFailure::ofSession(io_->session(), io_->aborted(), what));
}

bool SftpClient::failServer(const char* what)
{
    return failWith(SshFailure::ofServer(io_->session(), sftp(sftp_), io_->aborted(), what));
}

// A cancel that ended a call is used up; a connection found broken counts as gone.
bool SftpClient::failWith(FtpResponse failure)
{
    if (failure.code == cancelledCode)
        cancelRequested_ = false;
    if (failure.code == connectionLost)
        connected_ = false;
    return fail(failure.code, std::move(failure.text));
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