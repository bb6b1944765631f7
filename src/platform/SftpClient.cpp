#include "platform/SftpClient.h"

#include "core/ftp/FtpListingParser.h"
#include "core/ftp/RemoteListing.h"
#include "core/text/Cp1252Literal.h"
#include "core/text/Wildcard.h"
#include "platform/DownloadTarget.h"
#include "platform/FtpRemotePath.h"
#include "platform/HostFingerprint.h"
#include "platform/HostTrust.h"
#include "platform/KnownHosts.h"
#include "platform/UploadSource.h"

#include <libssh2.h>
#include <libssh2_sftp.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <type_traits>
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
// The longest wait for the socket in one go: a cancel is noticed that soon.
constexpr long long waitStepMilliseconds = 100;
constexpr std::chrono::milliseconds goodbyeTime{1000};
constexpr std::size_t chunkBytes = 64 * 1024;
// Set by us, never by a server: the attributes of a readdir that reached the end of the folder.
constexpr unsigned long endOfFolder = 0xFFFFFFFFUL;
// Longer names exist on no file system a server runs on (PATH_MAX).
constexpr std::size_t maxNameBytes = 4096;
// Enough for the version line and the first key exchange packet.
constexpr std::size_t keptBytes = 64 * 1024;

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

// What OpenSSH 9 offers by default, in its order; of these only what the linked libssh2 has is
// offered, and nothing weaker (no SHA-1 key exchange or host key signature, no CBC, RC4, 3DES,
// Blowfish or MD5).
constexpr const char* keyExchanges[] = {
    "curve25519-sha256", "curve25519-sha256@libssh.org", "ecdh-sha2-nistp256", "ecdh-sha2-nistp384",
    "ecdh-sha2-nistp521", "diffie-hellman-group-exchange-sha256", "diffie-hellman-group16-sha512",
    "diffie-hellman-group18-sha512", "diffie-hellman-group14-sha256",
    // Not methods but signals that go in the same list, where libssh2 has them.
    "ext-info-c", "kex-strict-c-v00@openssh.com"};
constexpr const char* ciphers[] = {"chacha20-poly1305@openssh.com",
                                   "aes128-ctr",
                                   "aes192-ctr",
                                   "aes256-ctr",
                                   "aes128-gcm@openssh.com",
                                   "aes256-gcm@openssh.com"};
constexpr const char* macs[] = {"hmac-sha2-256-etm@openssh.com",
                                "hmac-sha2-512-etm@openssh.com",
                                "hmac-sha1-etm@openssh.com",
                                "hmac-sha2-256",
                                "hmac-sha2-512",
                                "hmac-sha1"};
constexpr const char* hostKeys[] = {"ssh-ed25519",         "ecdsa-sha2-nistp256",
                                    "ecdsa-sha2-nistp384", "ecdsa-sha2-nistp521",
                                    "rsa-sha2-512",        "rsa-sha2-256"};

// The host key methods that verify a key of a type known_hosts lists: an RSA key is checked
// with SHA-2 signatures only.
std::vector<std::string> hostKeyMethodsFor(const std::string& knownType)
{
    if (knownType == "ssh-rsa")
        return {"rsa-sha2-512", "rsa-sha2-256"};
    if (std::find(std::begin(hostKeys), std::end(hostKeys), knownType) != std::end(hostKeys))
        return {knownType};
    return {};
}

std::vector<std::string> supportedMethods(LIBSSH2_SESSION* session, int type)
{
    const char** algorithms = nullptr;
    const int count = libssh2_session_supported_algs(session, type, &algorithms);
    std::vector<std::string> supported;
    for (int i = 0; i < count; ++i)
        supported.emplace_back(algorithms[i]);
    if (count > 0)
        libssh2_free(session, static_cast<void*>(algorithms));
    return supported;
}

// The wanted methods that libssh2 supports, in the order wanted, each once.
std::vector<std::string> offered(LIBSSH2_SESSION* session, int type,
                                 const std::vector<std::string>& wanted)
{
    const std::vector<std::string> supported = supportedMethods(session, type);
    std::vector<std::string> result;
    for (const std::string& method : wanted)
        if (std::find(supported.begin(), supported.end(), method) != supported.end() &&
            std::find(result.begin(), result.end(), method) == result.end())
            result.push_back(method);
    return result;
}

std::string joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ",") + name;
    return text;
}

std::vector<std::string> splitNames(std::string_view list)
{
    std::vector<std::string> names;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        names.emplace_back(list.substr(0, comma));
        list.remove_prefix(comma == std::string_view::npos ? list.size() : comma + 1);
    }
    return names;
}

bool shareAny(const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    return std::any_of(a.begin(), a.end(), [&](const std::string& name) {
        return std::find(b.begin(), b.end(), name) != b.end();
    });
}

// The method lists of the server's first key exchange packet (SSH_MSG_KEXINIT), read from the
// bytes it sent before anything was encrypted: key exchange, host key, ciphers and MACs (each
// in both directions). Empty when the bytes hold no such packet.
std::vector<std::vector<std::string>> serverMethodLists(std::string_view stream)
{
    // Lines before the version line are allowed; the packet follows the version line.
    for (;;) {
        const std::size_t end = stream.find('\n');
        if (end == std::string_view::npos)
            return {};
        const bool version = stream.compare(0, 4, "SSH-") == 0;
        stream.remove_prefix(end + 1);
        if (version)
            break;
    }
    const auto number = [&](std::size_t at) {
        return (std::size_t{static_cast<unsigned char>(stream[at])} << 24) |
               (std::size_t{static_cast<unsigned char>(stream[at + 1])} << 16) |
               (std::size_t{static_cast<unsigned char>(stream[at + 2])} << 8) |
               std::size_t{static_cast<unsigned char>(stream[at + 3])};
    };
    constexpr unsigned char kexinit = 20;
    if (stream.size() < 6 + 16 || static_cast<unsigned char>(stream[5]) != kexinit)
        return {};
    std::size_t at = 6 + 16;
    std::vector<std::vector<std::string>> lists;
    for (int i = 0; i < 6; ++i) {
        if (stream.size() < at + 4 || stream.size() - at - 4 < number(at))
            return {};
        lists.push_back(splitNames(stream.substr(at + 4, number(at))));
        at += 4 + number(at);
    }
    return lists;
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

// An open remote file or folder, closed when it goes.
class SftpClient::Handle final {
public:
    Handle(SftpClient& client, LIBSSH2_SFTP_HANDLE* handle) : client_(client), handle_(handle) {}
    ~Handle()
    {
        if (handle_)
            close();
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    LIBSSH2_SFTP_HANDLE* get() const { return handle_; }
    // Closes now: a server reports a failed write of the last bytes only here.
    bool close()
    {
        LIBSSH2_SFTP_HANDLE* handle = std::exchange(handle_, nullptr);
        return client_.io([&] { return libssh2_sftp_close_handle(handle); }) == 0;
    }

private:
    SftpClient& client_;
    LIBSSH2_SFTP_HANDLE* handle_;
};

struct SftpCallbacks {
    // libssh2 reads the connection through here; the start of what the server sends, up to its
    // first key exchange packet, is kept to explain a key exchange that found nothing in common.
    static ssize_t receive(libssh2_socket_t socket, void* buffer, std::size_t length, int flags,
                           void** abstract)
    {
        auto* client = static_cast<SftpClient*>(*abstract);
        // A server that floods the connection (SSH_MSG_IGNORE without end, a version line that
        // never ends) keeps libssh2 reading without a pause; the call ends here at its deadline.
        if (client->abortNow())
            return -ECONNABORTED;
        const ssize_t count = ::recv(socket, buffer, length, flags);
        if (count < 0)
            return -errno;
        if (client->keepReceived_ && client->received_.size() < keptBytes)
            client->received_.append(
                static_cast<const char*>(buffer),
                std::min(static_cast<std::size_t>(count), keptBytes - client->received_.size()));
        return count;
    }

    // Nothing goes out once a call was ended: after DISCONNECT during a login no password.
    static ssize_t send(libssh2_socket_t socket, const void* buffer, std::size_t length, int flags,
                        void** abstract)
    {
        auto* client = static_cast<SftpClient*>(*abstract);
        if (client->abortNow())
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
    session_ = libssh2_session_init_ex(nullptr, nullptr, nullptr, this);
    if (!session_) {
        fail(sshFailure, "SSH kann nicht gestartet werden");
        return failed();
    }
    // libssh2 waits only where this client can see it (io()), so that a cancel and the deadline
    // of a call are noticed while it waits.
    libssh2_session_set_blocking(ssh(session_), 0);
    setCallback(ssh(session_), LIBSSH2_CALLBACK_RECV, &SftpCallbacks::receive);
    setCallback(ssh(session_), LIBSSH2_CALLBACK_SEND, &SftpCallbacks::send);
    const KnownHosts knownHosts = trust_->settings().knownHostsPath.empty()
                                      ? KnownHosts()
                                      : KnownHosts::read(trust_->settings().knownHostsPath);
    if (!preferMethods(knownHosts.keyTypesFor(login_->address.host, login_->address.port)))
        return failed();
    received_.clear();
    keepReceived_ = true;
    const int handshake = io([&] { return libssh2_session_handshake(ssh(session_), socket_); });
    keepReceived_ = false;
    if (handshake != 0) {
        if (handshake == LIBSSH2_ERROR_KEX_FAILURE && explainKeyExchangeFailure())
            return failed();
        failSession("SSH-Verbindung fehlgeschlagen");
        return failed();
    }
    const bool trusted = hostKeyTrusted(login_->address, knownHosts);
    received_.clear();
    received_.shrink_to_fit();
    if (!trusted)
        return failed();
    // The key question may have taken a while; a DISCONNECT meanwhile sends no password.
    if (takeCancel())
        return failed();
    if (!authenticate(login_->user, login_->password))
        return failed();
    sftp_ = io([&] { return libssh2_sftp_init(ssh(session_)); });
    if (!sftp_) {
        failSession("SFTP wird vom Server nicht angeboten");
        return failed();
    }
    libssh2_keepalive_config(ssh(session_), 1, 30);
    connected_ = true;
    removePartialsOfEarlierConnections();
    return true;
}

// Known key types of the server first, so that libssh2 asks for a key that known_hosts can
// vouch for; then the usual order.
bool SftpClient::preferMethods(const std::vector<std::string>& knownKeyTypes)
{
    LIBSSH2_SESSION* session = ssh(session_);
    std::vector<std::string> wantedKeys;
    for (const std::string& type : knownKeyTypes)
        for (std::string& method : hostKeyMethodsFor(type))
            wantedKeys.push_back(std::move(method));
    wantedKeys.insert(wantedKeys.end(), std::begin(hostKeys), std::end(hostKeys));
    std::erase_if(wantedKeys, [this](const std::string& method) {
        return std::find(skippedKeyMethods_.begin(), skippedKeyMethods_.end(), method) !=
               skippedKeyMethods_.end();
    });
    const struct {
        int type;
        std::vector<std::string> wanted;
    } preferences[] = {
        {LIBSSH2_METHOD_KEX, {std::begin(keyExchanges), std::end(keyExchanges)}},
        {LIBSSH2_METHOD_HOSTKEY, wantedKeys},
        {LIBSSH2_METHOD_CRYPT_CS, {std::begin(ciphers), std::end(ciphers)}},
        {LIBSSH2_METHOD_CRYPT_SC, {std::begin(ciphers), std::end(ciphers)}},
        {LIBSSH2_METHOD_MAC_CS, {std::begin(macs), std::end(macs)}},
        {LIBSSH2_METHOD_MAC_SC, {std::begin(macs), std::end(macs)}},
    };
    for (const auto& preference : preferences) {
        const std::string list = joined(offered(session, preference.type, preference.wanted));
        if (list.empty() ||
            libssh2_session_method_pref(session, preference.type, list.c_str()) != 0)
            return fail(sshFailure, "Die SSH-Bibliothek bietet keine sicheren Verfahren an");
    }
    return true;
}

// A key exchange that failed because client and server share no method says which methods the
// server would have wanted, in the user's words. False when that was not the cause.
bool SftpClient::explainKeyExchangeFailure()
{
    const auto server = serverMethodLists(received_);
    if (server.size() < 6)
        return false;
    LIBSSH2_SESSION* session = ssh(session_);
    const auto ours = [&](int type, const auto& wanted) {
        return offered(session, type, {std::begin(wanted), std::end(wanted)});
    };
    const std::vector<std::string> serverKeys = server[1];
    if (!shareAny(serverKeys, ours(LIBSSH2_METHOD_HOSTKEY, hostKeys))) {
        const bool rsaOnly = std::all_of(serverKeys.begin(), serverKeys.end(), [](const auto& m) {
            return m == "ssh-rsa" || m == "rsa-sha2-256" || m == "rsa-sha2-512";
        });
        const bool rsaSha2 = shareAny(supportedMethods(session, LIBSSH2_METHOD_HOSTKEY),
                                      {"rsa-sha2-256", "rsa-sha2-512"});
        if (rsaOnly && !rsaSha2)
            return !fail(
                sshFailure,
                "Der Server weist sich nur mit einem RSA-Schlüssel aus, und die SSH-Bibliothek dieses Systems (libssh2 "_cp1252 +
                    std::string(libssh2_version(0)) +
                    ") kann RSA-Schlüssel nur mit SHA-1 prüfen (ssh-rsa), das als unsicher gilt und das OpenSSH seit Version 8.8 ablehnt. Abhilfe: libssh2 ab 1.11 oder ein ed25519- oder ECDSA-Schlüssel auf dem Server"_cp1252);
        return !fail(
            sshFailure,
            "Der Server bietet nur veraltete, unsichere Verfahren an (Serverschlüssel: "_cp1252 +
                joined(serverKeys) + "); keine Verbindung");
    }
    const struct {
        const char* what;
        std::size_t list;
        std::vector<std::string> ours;
    } parts[] = {
        {"Schlüsselaustausch"_cp1252, 0, ours(LIBSSH2_METHOD_KEX, keyExchanges)},
        {"Verschlüsselung"_cp1252, 2, ours(LIBSSH2_METHOD_CRYPT_CS, ciphers)},
        {"Verschlüsselung"_cp1252, 3, ours(LIBSSH2_METHOD_CRYPT_SC, ciphers)},
        {"Prüfsumme"_cp1252, 4, ours(LIBSSH2_METHOD_MAC_CS, macs)},
        {"Prüfsumme"_cp1252, 5, ours(LIBSSH2_METHOD_MAC_SC, macs)},
    };
    for (const auto& part : parts) {
        // An AEAD cipher brings its own check; the MAC list then does not matter.
        const bool aeadOnly =
            part.list >= 4 &&
            std::all_of(server[part.list - 2].begin(), server[part.list - 2].end(),
                        [](const std::string& cipher) {
                            return cipher.find("gcm") != std::string::npos ||
                                   cipher.find("poly1305") != std::string::npos;
                        });
        if (!aeadOnly && !shareAny(server[part.list], part.ours))
            return !fail(sshFailure, std::string("Der Server bietet nur veraltete, unsichere "
                                                 "Verfahren an (") +
                                         part.what + ": " + joined(server[part.list]) +
                                         "); keine Verbindung");
    }
    return false;
}

void SftpClient::setTimeout(std::chrono::milliseconds timeout)
{
    timeout_ = timeout;
}

// Every libssh2 call runs here: its own deadline on the wall clock, the waits for the socket
// in short steps, and an end at once on cancel() or at the deadline. A call that was ended
// leaves the session unusable (libssh2 cannot take up a call it did not finish), so the socket
// is shut down and the next call logs in again.
template <typename Call> auto SftpClient::io(Call call) -> decltype(call())
{
    deadline_ = std::chrono::steady_clock::now() + timeout_;
    aborted_ = Abort::None;
    cancelSeen_.reset();
    for (;;) {
        auto result = call();
        bool blocked = false;
        if constexpr (std::is_pointer_v<decltype(result)>)
            blocked = result == nullptr && session_ &&
                      libssh2_session_last_errno(ssh(session_)) == LIBSSH2_ERROR_EAGAIN;
        else
            blocked = result == LIBSSH2_ERROR_EAGAIN;
        if (!blocked || !waitForSocket())
            return result;
    }
}

bool SftpClient::waitForSocket()
{
    for (;;) {
        if (abortNow())
            return false;
        const int directions = libssh2_session_block_directions(ssh(session_));
        short events = 0;
        if (directions & LIBSSH2_SESSION_BLOCK_INBOUND)
            events |= POLLIN;
        if (directions & LIBSSH2_SESSION_BLOCK_OUTBOUND)
            events |= POLLOUT;
        pollfd socket{socket_, events ? events : short(POLLIN), 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline_ - std::chrono::steady_clock::now());
        const int wait =
            static_cast<int>(std::clamp<long long>(left.count(), 0, waitStepMilliseconds));
        if (poll(&socket, 1, wait) != 0)
            return true;
    }
}

// Whether the running call must end now. A cancel ends a login at once; a call on an open
// connection gets a moment to finish, so that a transfer stopped between two blocks keeps the
// connection (and can remove its partial file) while a call the server does not answer ends
// within a second.
bool SftpClient::abortNow()
{
    if (aborted_ != Abort::None)
        return true;
    const auto now = std::chrono::steady_clock::now();
    if (cancelRequested_) {
        if (!cancelSeen_)
            cancelSeen_ = now;
        if (!connected_ || now - *cancelSeen_ >= cancelGrace)
            aborted_ = Abort::Cancelled;
    }
    if (aborted_ == Abort::None && now >= deadline_)
        aborted_ = Abort::TimedOut;
    if (aborted_ == Abort::None)
        return false;
    connected_ = false;
    if (socket_ >= 0)
        shutdown(socket_, SHUT_RDWR);
    return true;
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
            socket_ = fd;
            return true;
        }
        ::close(fd);
    }
    if (takeCancel())
        return false;
    return fail(noConnection, "Keine Verbindung zu " + address.authority());
}

bool SftpClient::hostKeyTrusted(const FtpServerAddress& address, const KnownHosts& knownHosts)
{
    std::size_t length = 0;
    int type = 0;
    const char* key = libssh2_session_hostkey(ssh(session_), &length, &type);
    const std::string_view blob = key ? std::string_view(key, length) : std::string_view();
    HostKeyQuestion question;
    question.kind = HostKeyQuestion::Kind::Ssh;
    question.host = address.host;
    question.port = address.port;
    question.fingerprint = HostFingerprint::of(blob);
    question.hexFingerprint = HostFingerprint::hexOf(blob);
    question.reason = "nicht in known_hosts";
    if (!key)
        return fail(untrustedKeyCode, HostTrust::refusalText(question));

    switch (knownHosts.check(address.host, address.port, blob)) {
    case KnownHosts::Verdict::Revoked:
        // OpenSSH refuses a revoked key whatever else vouches for it, and so does this.
        question.reason = "in known_hosts als widerrufen markiert (@revoked)";
        return fail(untrustedKeyCode, HostTrust::refusalText(question));
    case KnownHosts::Verdict::Match:
        if (trust_->systemVouchingCounts())
            return true;
        break;
    case KnownHosts::Verdict::Changed:
        question.changed = true;
        question.reason = "anderer Schlüssel als in known_hosts"_cp1252;
        break;
    case KnownHosts::Verdict::CertificateAuthorityOnly:
        question.reason =
            "known_hosts nennt für diesen Server nur eine Zertifizierungsstelle (@cert-authority); Host-Zertifikate werden nicht unterstützt"_cp1252;
        break;
    case KnownHosts::Verdict::Unknown: {
        const auto known = knownHosts.keyTypesFor(address.host, address.port);
        const bool rsaSha2 = shareAny(supportedMethods(ssh(session_), LIBSSH2_METHOD_HOSTKEY),
                                      {"rsa-sha2-256", "rsa-sha2-512"});
        if (!known.empty() && !rsaSha2 &&
            std::all_of(known.begin(), known.end(), [](const auto& t) { return t == "ssh-rsa"; }))
            question.reason =
                "known_hosts nennt nur den RSA-Schlüssel des Servers, den die SSH-Bibliothek dieses Systems (libssh2 "_cp1252 +
                std::string(libssh2_version(0)) +
                ") nur mit dem unsicheren SHA-1 prüfen könnte"_cp1252;
        break;
    }
    }
    if (!trust_->systemVouchingCounts() && !trust_->matchesPin(question) && skipToAnotherKey())
        return fail(untrustedKeyCode, HostTrust::refusalText(question));
    if (trust_->accept(question))
        return true;
    return fail(untrustedKeyCode, HostTrust::refusalText(question));
}

// Notes the host key method just used as one not to ask for again; true when the server has a
// key of another type that could be asked for instead.
bool SftpClient::skipToAnotherKey()
{
    const char* used = libssh2_session_methods(ssh(session_), LIBSSH2_METHOD_HOSTKEY);
    const auto server = serverMethodLists(received_);
    if (!used || server.size() < 2)
        return false;
    // The two RSA methods check the same key.
    const bool rsa = std::string_view(used).compare(0, 8, "rsa-sha2") == 0;
    for (const std::string& method : rsa ? std::vector<std::string>{"rsa-sha2-512", "rsa-sha2-256"}
                                         : std::vector<std::string>{used})
        skippedKeyMethods_.push_back(method);
    for (const std::string& method :
         offered(ssh(session_), LIBSSH2_METHOD_HOSTKEY, {std::begin(hostKeys), std::end(hostKeys)}))
        if (std::find(server[1].begin(), server[1].end(), method) != server[1].end() &&
            std::find(skippedKeyMethods_.begin(), skippedKeyMethods_.end(), method) ==
                skippedKeyMethods_.end()) {
            otherKeyWanted_ = true;
            return true;
        }
    return false;
}

bool SftpClient::authenticate(const std::string& user, const std::string& password)
{
    const char* methods = io([&] {
        return libssh2_userauth_list(ssh(session_), user.c_str(),
                                     static_cast<unsigned int>(user.size()));
    });
    if (!methods) {
        if (libssh2_userauth_authenticated(ssh(session_)))
            return true;
        return failSession("Anmeldung fehlgeschlagen");
    }
    const std::string offered = methods;
    int code = LIBSSH2_ERROR_AUTHENTICATION_FAILED;
    if (offered.find("password") != std::string::npos)
        code = io([&] {
            return libssh2_userauth_password_ex(
                ssh(session_), user.c_str(), static_cast<unsigned int>(user.size()),
                password.c_str(), static_cast<unsigned int>(password.size()), nullptr);
        });
    if (code != 0 && aborted_ == Abort::None &&
        offered.find("keyboard-interactive") != std::string::npos)
        code = io([&] {
            return libssh2_userauth_keyboard_interactive_ex(ssh(session_), user.c_str(),
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
    const std::chrono::milliseconds timeout = std::exchange(timeout_, goodbyeTime);
    if (sftp_) {
        io([&] { return libssh2_sftp_shutdown(sftp(sftp_)); });
        sftp_ = nullptr;
    }
    if (session_) {
        if (connected_)
            io([&] { return libssh2_session_disconnect(ssh(session_), ""); });
        // Freeing sends the ends of open channels; once the socket is shut down that fails at
        // once and the memory is freed all the same.
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (io([&] { return libssh2_session_free(ssh(session_)); }) != LIBSSH2_ERROR_EAGAIN)
                break;
            if (socket_ >= 0)
                shutdown(socket_, SHUT_RDWR);
        }
        session_ = nullptr;
    }
    timeout_ = timeout;
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
    if (io([&] {
            return libssh2_sftp_stat_ex(sftp(sftp_), resolved.c_str(),
                                        static_cast<unsigned int>(resolved.size()),
                                        LIBSSH2_SFTP_STAT, &attributes);
        }) != 0)
        return failServer("Ordner nicht verfügbar"_cp1252);
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
    Handle folder(*this, io([&] {
        return libssh2_sftp_open_ex(sftp(sftp_), current_.c_str(),
                                    static_cast<unsigned int>(current_.size()), 0, 0,
                                    LIBSSH2_SFTP_OPENDIR);
    }));
    if (!folder.get())
        return failServer("Ordner kann nicht gelesen werden");
    // Room for any name an SFTP packet can carry, so that a long one is skipped here instead of
    // failing the folder in libssh2.
    std::vector<char> name(256 * 1024 + 1);
    std::vector<FtpEntry> all;
    // The limits hold while the folder is read, so an endless listing cannot fill the memory;
    // an entry counts with its name and the room its record takes.
    std::size_t bytes = 0;
    for (;;) {
        if (takeCancel())
            return false;
        LIBSSH2_SFTP_ATTRIBUTES attributes{};
        // libssh2 leaves the attributes alone at the end of the folder, and only there: an entry
        // with an empty name also reads as length 0.
        attributes.flags = endOfFolder;
        const int length = io([&] {
            return libssh2_sftp_readdir_ex(folder.get(), name.data(), name.size(), nullptr, 0,
                                           &attributes);
        });
        if (length == 0 && attributes.flags == endOfFolder)
            break;
        if (length < 0 && length != LIBSSH2_ERROR_BUFFER_TOO_SMALL)
            return failServer("Ordner kann nicht gelesen werden");
        bytes += std::max(length, 0) + sizeof(FtpEntry);
        if (bytes > maxListingBytes)
            break;
        // No file can be named so: skipped, and the rest of the folder is read.
        if (length <= 0 || static_cast<std::size_t>(length) >= maxNameBytes)
            continue;
        FtpEntry entry;
        entry.name.assign(name.data(), static_cast<std::size_t>(length));
        // The pattern only looks at the name: a link the filter drops costs no stat.
        if (entry.name == "." || entry.name == ".." || !wildcardMatch(pattern, entry.name))
            continue;
        if (isLinkOrDirectory(attributes, LIBSSH2_SFTP_S_IFLNK)) {
            // A link shows as what it leads to, as in an FTP listing.
            const std::string target = path(entry.name);
            LIBSSH2_SFTP_ATTRIBUTES followed{};
            if (io([&] {
                    return libssh2_sftp_stat_ex(sftp(sftp_), target.c_str(),
                                                static_cast<unsigned int>(target.size()),
                                                LIBSSH2_SFTP_STAT, &followed);
                }) == 0)
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
        // One more than a listing shows, so that it can tell that entries are missing.
        if (all.size() > RemoteListing::maxEntries)
            break;
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
    Handle file(*this, io([&] {
        return libssh2_sftp_open_ex(sftp(sftp_), remote.c_str(),
                                    static_cast<unsigned int>(remote.size()), LIBSSH2_FXF_READ, 0,
                                    LIBSSH2_SFTP_OPENFILE);
    }));
    if (!file.get())
        return failServer("Datei kann nicht gelesen werden");
    LIBSSH2_SFTP_ATTRIBUTES attributes{};
    const std::uint64_t total =
        io([&] { return libssh2_sftp_fstat_ex(file.get(), &attributes, 0); }) == 0 &&
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
        const ssize_t count =
            io([&] { return libssh2_sftp_read(file.get(), buffer.data(), buffer.size()); });
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
    Handle file(*this, io([&] {
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

bool SftpClient::sendData(Handle& file, UploadSource& local)
{
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
            const ssize_t written = io([&] {
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
    if (connected_ && io([&] {
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
        io([&] {
            return libssh2_sftp_unlink_ex(sftp(sftp_), remote.c_str(),
                                          static_cast<unsigned int>(remote.size()));
        });
}

bool SftpClient::deleteFile(const std::string& name)
{
    if (!ensureConnected() || !ensureSendable(name))
        return false;
    const std::string target = path(name);
    if (io([&] {
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
    if (io([&] {
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
    if (io([&] {
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
    if (io([&] {
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
    if (io([&] { return libssh2_keepalive_send(ssh(session_), &nextSeconds); }) != 0)
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
    if (aborted_ == Abort::Cancelled) {
        cancelRequested_ = false;
        return fail(cancelledCode, Failure::cancelledText);
    }
    if (aborted_ == Abort::TimedOut)
        return fail(timedOut, Failure::timeoutText);
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
    if (!session_ || aborted_ != Abort::None ||
        libssh2_session_last_errno(ssh(session_)) != LIBSSH2_ERROR_SFTP_PROTOCOL)
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
