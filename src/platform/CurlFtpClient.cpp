#include "platform/CurlFtpClient.h"

#include "core/ftp/FtpListingParser.h"
#include "core/generator/modGeneral.h"
#include "platform/AsciiLineEnds.h"
#include "platform/CurlTlsSecurity.h"
#include "platform/DownloadTarget.h"
#include "platform/FtpRemotePath.h"

#include <curl/curl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantiro {
namespace {

// A listing beyond this is no folder a person looks at; it only protects the memory.
constexpr std::size_t maxListingBytes = 64 * 1024 * 1024;
constexpr long serverReplyTimeoutSeconds = 60;

CURL* easy(void* handle)
{
    return static_cast<CURL*>(handle);
}

void initialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

class StringList final {
public:
    explicit StringList(const std::vector<std::string>& items)
    {
        for (const std::string& item : items)
            list_ = curl_slist_append(list_, item.c_str());
    }
    ~StringList() { curl_slist_free_all(list_); }
    StringList(const StringList&) = delete;
    StringList& operator=(const StringList&) = delete;

    curl_slist* get() const { return list_; }

private:
    curl_slist* list_ = nullptr;
};

class FileDescriptor final {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }

private:
    int fd_;
};

int portOf(const curl_sockaddr* address)
{
    if (address->family == AF_INET) {
        sockaddr_in ipv4{};
        std::memcpy(&ipv4, &address->addr, sizeof ipv4);
        return ntohs(ipv4.sin_port);
    }
    if (address->family == AF_INET6) {
        sockaddr_in6 ipv6{};
        std::memcpy(&ipv6, &address->addr, sizeof ipv6);
        return ntohs(ipv6.sin6_port);
    }
    return -1;
}

bool isRefusal(int replyCode)
{
    return replyCode >= 400 && replyCode <= 599;
}

bool isAcceptance(int replyCode)
{
    return replyCode >= 100 && replyCode <= 399;
}

// Only a server that does not know the command at all gets the LIST fallback; other refusals
// (no such folder, no permission) are answers about the folder.
bool meansCommandUnknown(unsigned long replyCode)
{
    return replyCode == 500 || replyCode == 502;
}

std::string typeCommand(TransferType type)
{
    return type == TransferType::Ascii ? "TYPE A" : "TYPE I";
}

bool localEntryExists(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

ssize_t readRetrying(int fd, char* buffer, std::size_t size)
{
    ssize_t count = 0;
    do {
        count = ::read(fd, buffer, size);
    } while (count < 0 && errno == EINTR);
    return count;
}

FtpTime utcNow()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return FtpListingParser::timeFromUnixSeconds(
        std::chrono::duration_cast<std::chrono::seconds>(now).count());
}

} // namespace

struct CurlFtpClient::Request {
    std::string url;
    bool noBody = false;
    std::vector<std::string> quote;
    std::vector<std::string> preQuote;
    const char* customRequest = nullptr;
    bool upload = false;
    curl_off_t uploadSize = -1;
    // Servers do not report the converted size of an ASCII transfer, some refuse SIZE then.
    bool skipSizeCheck = false;
};

struct CurlCallbacks {
    // Only what the server sends is kept; the commands going out, PASS among them, are never
    // looked at.
    static int debug(CURL*, curl_infotype type, char* data, std::size_t size, void* self)
    {
        if (type == CURLINFO_HEADER_IN)
            static_cast<CurlFtpClient*>(self)->replies_.received({data, size});
        return 0;
    }

    static std::size_t write(char* data, std::size_t size, std::size_t count, void* self)
    {
        auto* client = static_cast<CurlFtpClient*>(self);
        const std::size_t bytes = size * count;
        if (client->sink_ && !client->sink_(data, bytes))
            return 0;
        return bytes;
    }

    static std::size_t read(char* buffer, std::size_t size, std::size_t count, void* self)
    {
        auto* client = static_cast<CurlFtpClient*>(self);
        return client->source_ ? client->source_(buffer, size * count) : 0;
    }

    static curl_socket_t openSocket(void* self, curlsocktype purpose, curl_sockaddr* address)
    {
        const auto* client = static_cast<const CurlFtpClient*>(self);
        if (purpose == CURLSOCKTYPE_IPCXN && !client->allowsSocketTo(portOf(address)))
            return CURL_SOCKET_BAD;
        return socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    }
};

CurlFtpClient::CurlFtpClient()
    : errorBuffer_(CURL_ERROR_SIZE, '\0'), tls_(std::make_unique<CurlTlsSecurity>(nullptr))
{
    initialiseCurlOnce();
}

CurlFtpClient::~CurlFtpClient()
{
    close();
}

bool CurlFtpClient::connect(const std::string& server, const std::string& user,
                            const std::string& password, bool passive)
{
    close();
    replies_.setSecret(password);
    const auto address = FtpServerAddress::parse(server);
    if (!address)
        return failLocally(CURLE_URL_MALFORMAT, "Ung\xFCltige Serveradresse");
    if (address->scheme == FtpServerAddress::Scheme::Sftp)
        return failLocally(CURLE_UNSUPPORTED_PROTOCOL, "SFTP ist hier nicht m\xF6glich");
    tls_->clearRefusal();
    if (!ensureSendable(user) || !ensureSendable(password))
        return false;
    address_ = *address;
    user_ = user;
    password_ = password;
    passive_ = passive;
    handle_ = curl_easy_init();
    if (!handle_)
        return failLocally(CURLE_FAILED_INIT, "libcurl kann nicht gestartet werden");

    Request login;
    login.url = url("/", true);
    login.noBody = true;
    const int code = perform(login);
    if (code != CURLE_OK) {
        finish(code, false);
        if (tls_->refused())
            failLocally(CURLE_PEER_FAILED_VERIFICATION, HostTrust::refusalText(*tls_->refused()));
        const FtpResponse refused = response_;
        close();
        response_ = refused;
        return false;
    }
    refuseNewControlConnection_ = true;
    connected_ = true;
    return finish(CURLE_OK, true);
}

void CurlFtpClient::close()
{
    if (handle_) {
        curl_easy_cleanup(easy(handle_));
        handle_ = nullptr;
    }
    std::fill(password_.begin(), password_.end(), '\0');
    password_.clear();
    refuseNewControlConnection_ = false;
    connected_ = false;
    mlsdUnsupported_ = false;
    current_ = "/";
    response_ = FtpResponse{};
}

// An idle control connection has nothing to read: when it has, the server has closed it or
// announced that it will (421).
bool CurlFtpClient::connected() const
{
    if (!connected_ || !handle_)
        return false;
    curl_socket_t socket = CURL_SOCKET_BAD;
    if (curl_easy_getinfo(easy(handle_), CURLINFO_ACTIVESOCKET, &socket) != CURLE_OK ||
        socket == CURL_SOCKET_BAD) {
        connected_ = false;
        return false;
    }
    pollfd control{socket, POLLIN, 0};
    if (poll(&control, 1, 0) > 0)
        connected_ = false;
    return connected_;
}

bool CurlFtpClient::setCurrentDirectory(const std::string& path)
{
    if (!ensureConnected() || !ensureSendable(path))
        return false;
    const std::string target = FtpRemotePath::resolve(current_, path);
    if (!runCommand("CWD " + target))
        return false;
    current_ = target;
    return true;
}

bool CurlFtpClient::findFiles(const std::string& pattern, std::vector<FtpEntry>& entries)
{
    entries.clear();
    if (!ensureConnected())
        return false;
    std::string listing;
    std::vector<FtpEntry> all;
    bool ok = false;
    if (!mlsdUnsupported_) {
        ok = readListing("MLSD", listing);
        if (ok)
            all = FtpListingParser::parseMlsd(listing);
        else if (meansCommandUnknown(response_.code))
            mlsdUnsupported_ = true;
    }
    if (mlsdUnsupported_) {
        ok = readListing("LIST", listing);
        if (ok)
            all = FtpListingParser(utcNow()).parseList(listing);
    }
    for (FtpEntry& entry : all)
        if (WildcardMatch(pattern, entry.name))
            entries.push_back(std::move(entry));
    return ok;
}

bool CurlFtpClient::getFile(const std::string& remoteName, const std::string& localPath,
                            bool failIfExists, TransferType type)
{
    if (!ensureConnected() || !ensureSendable(remoteName))
        return false;
    if (failIfExists && localEntryExists(localPath))
        return failLocally(CURLE_WRITE_ERROR, "Die lokale Datei existiert bereits: " + localPath);
    DownloadTarget target(localPath);
    if (!target.open())
        return failLocally(CURLE_WRITE_ERROR, "Die lokale Datei kann nicht angelegt werden: " +
                                                  std::string(std::strerror(target.error())));

    const bool ascii = type == TransferType::Ascii;
    AsciiLineEnds lineEnds(AsciiLineEnds::Direction::FromNetwork);
    std::string converted;
    sink_ = [&](const char* data, std::size_t size) {
        if (!ascii)
            return target.write(data, size);
        converted.clear();
        lineEnds.convert({data, size}, converted);
        return target.write(converted.data(), converted.size());
    };
    Request request;
    request.url = url(FtpRemotePath::join(current_, remoteName), false);
    request.preQuote = {typeCommand(type)};
    request.skipSizeCheck = ascii;
    const int code = perform(request);
    sink_ = nullptr;

    if (code == CURLE_WRITE_ERROR && target.error() != 0)
        return failLocally(CURLE_WRITE_ERROR, "Die lokale Datei kann nicht geschrieben werden: " +
                                                  std::string(std::strerror(target.error())));
    if (!finish(code, true))
        return false;
    converted.clear();
    lineEnds.finish(converted);
    if (!target.write(converted.data(), converted.size()) || !target.commit(failIfExists)) {
        const std::string reason = target.error() == EEXIST
                                       ? "Die lokale Datei existiert bereits: " + localPath
                                       : "Die lokale Datei kann nicht geschrieben werden: " +
                                             std::string(std::strerror(target.error()));
        return failLocally(CURLE_WRITE_ERROR, reason);
    }
    return true;
}

bool CurlFtpClient::putFile(const std::string& localPath, const std::string& remoteName,
                            TransferType type)
{
    if (!ensureConnected() || !ensureSendable(remoteName))
        return false;
    const FileDescriptor file(::open(localPath.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (file.get() < 0 || fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return failLocally(CURLE_READ_ERROR,
                           "Die lokale Datei kann nicht gelesen werden: " + localPath);

    const bool ascii = type == TransferType::Ascii;
    AsciiLineEnds lineEnds(AsciiLineEnds::Direction::ToNetwork);
    std::string pending;
    std::size_t sent = 0;
    bool readFailed = false;
    source_ = [&](char* buffer, std::size_t capacity) -> std::size_t {
        if (!ascii) {
            const ssize_t count = readRetrying(file.get(), buffer, capacity);
            readFailed = count < 0;
            return readFailed ? CURL_READFUNC_ABORT : static_cast<std::size_t>(count);
        }
        while (sent == pending.size()) {
            char chunk[16384];
            const ssize_t count = readRetrying(file.get(), chunk, sizeof chunk);
            readFailed = count < 0;
            if (count <= 0)
                return readFailed ? CURL_READFUNC_ABORT : 0;
            pending.clear();
            sent = 0;
            lineEnds.convert({chunk, static_cast<std::size_t>(count)}, pending);
        }
        const std::size_t count = std::min(capacity, pending.size() - sent);
        std::memcpy(buffer, pending.data() + sent, count);
        sent += count;
        return count;
    };
    Request request;
    request.url = url(FtpRemotePath::join(current_, remoteName), false);
    request.preQuote = {typeCommand(type)};
    request.upload = true;
    request.uploadSize = ascii ? -1 : static_cast<curl_off_t>(info.st_size);
    const int code = perform(request);
    source_ = nullptr;

    if (readFailed)
        return failLocally(CURLE_READ_ERROR,
                           "Die lokale Datei kann nicht gelesen werden: " + localPath);
    return finish(code, true);
}

bool CurlFtpClient::deleteFile(const std::string& name)
{
    return ensureConnected() && ensureSendable(name) &&
           runCommand("DELE " + FtpRemotePath::join(current_, name));
}

bool CurlFtpClient::removeDirectory(const std::string& name)
{
    return ensureConnected() && ensureSendable(name) &&
           runCommand("RMD " + FtpRemotePath::join(current_, name));
}

bool CurlFtpClient::createDirectory(const std::string& name)
{
    return ensureConnected() && ensureSendable(name) &&
           runCommand("MKD " + FtpRemotePath::join(current_, name));
}

bool CurlFtpClient::renameFile(const std::string& from, const std::string& to)
{
    return ensureConnected() && ensureSendable(from) && ensureSendable(to) &&
           runCommand("RNFR " + FtpRemotePath::join(current_, from)) &&
           runCommand("RNTO " + FtpRemotePath::join(current_, to));
}

void CurlFtpClient::setHostTrust(std::shared_ptr<HostTrust> trust)
{
    tls_->setTrust(std::move(trust));
}

std::string CurlFtpClient::securityNotice() const
{
    return handle_ && connected_ ? tls_->notice() : std::string();
}

FtpResponse CurlFtpClient::lastResponse() const
{
    return response_;
}

bool CurlFtpClient::ensureConnected()
{
    if (connected())
        return true;
    if (refuseNewControlConnection_)
        return failLocally(CURLE_RECV_ERROR, "Die Verbindung zum Server wurde getrennt");
    return failLocally(CURLE_COULDNT_CONNECT, "Keine Verbindung zum Server");
}

// A line break in a name would end the command early and let the rest of the name pass for a
// command of its own; such a name is never sent.
bool CurlFtpClient::ensureSendable(const std::string& text)
{
    if (text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos)
        return true;
    return failLocally(CURLE_URL_MALFORMAT,
                       "Ein Text mit Zeilenumbruch kann nicht gesendet werden");
}

// The leading "*" lets libcurl go on when the server refuses the command: a refusal then ends
// only this call, while libcurl would otherwise drop the whole connection. The reply decides.
bool CurlFtpClient::runCommand(const std::string& command)
{
    Request request;
    request.url = url("/", true);
    request.noBody = true;
    request.quote = {"*" + command};
    const int code = perform(request);
    return finish(code, isAcceptance(replies_.lastCode()));
}

bool CurlFtpClient::readListing(const char* command, std::string& listing)
{
    listing.clear();
    sink_ = [&listing](const char* data, std::size_t size) {
        if (listing.size() + size > maxListingBytes)
            return false;
        listing.append(data, size);
        return true;
    };
    Request request;
    request.url = url(current_, true);
    request.customRequest = command;
    const int code = perform(request);
    sink_ = nullptr;
    return finish(code, true);
}

int CurlFtpClient::perform(const Request& request)
{
    CURL* curl = easy(handle_);
    // A reset keeps the live connection; every call starts from the same options.
    curl_easy_reset(curl);
    applyCommonOptions();
    const StringList quote(request.quote);
    const StringList preQuote(request.preQuote);
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOBODY, request.noBody ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_QUOTE, quote.get());
    curl_easy_setopt(curl, CURLOPT_PREQUOTE, preQuote.get());
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.customRequest);
    curl_easy_setopt(curl, CURLOPT_IGNORE_CONTENT_LENGTH, request.skipSizeCheck ? 1L : 0L);
    if (request.upload) {
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, request.uploadSize);
    }
    errorBuffer_[0] = '\0';
    replies_.clearLast();
    const CURLcode code = curl_easy_perform(curl);
    connected(); // notices a connection that was lost during this call
    return code;
}

void CurlFtpClient::applyCommonOptions()
{
    CURL* curl = easy(handle_);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp,ftps");
    tls_->apply(curl, address_);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer_.data());
    // Verbose output goes to the debug callback only, which keeps the server's replies.
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, &CurlCallbacks::debug);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
    if (!user_.empty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user_.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password_.c_str());
    }
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, connectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, stalledTransferSeconds);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, serverReplyTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_FTP_USE_EPSV, 1L);
    if (!passive_)
        curl_easy_setopt(curl, CURLOPT_FTPPORT, "-");
    // A passive reply naming another host is not followed: the data goes to the server only.
    curl_easy_setopt(curl, CURLOPT_FTP_SKIP_PASV_IP, 1L);
    curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(curl, CURLOPT_OPENSOCKETFUNCTION, &CurlCallbacks::openSocket);
    curl_easy_setopt(curl, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CurlCallbacks::write);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, &CurlCallbacks::read);
    curl_easy_setopt(curl, CURLOPT_READDATA, this);
}

bool CurlFtpClient::finish(int curlCode, bool serverAccepted)
{
    if (curlCode == CURLE_OK && serverAccepted) {
        response_ = FtpResponse{0, replies_.lastText()};
        return true;
    }
    const int reply = replies_.lastCode();
    if (isRefusal(reply)) {
        response_ = FtpResponse{static_cast<unsigned long>(reply), replies_.lastText()};
        return false;
    }
    if (refuseNewControlConnection_ && !connected_)
        return failLocally(CURLE_RECV_ERROR, "Die Verbindung zum Server wurde getrennt");
    if (curlCode == CURLE_OK)
        return failLocally(CURLE_WEIRD_SERVER_REPLY, replies_.lastText());
    const std::string text =
        errorBuffer_[0] != '\0' ? errorBuffer_.data() : curl_easy_strerror(CURLcode(curlCode));
    return failLocally(curlCode, text);
}

bool CurlFtpClient::failLocally(int curlCode, std::string text)
{
    response_ =
        FtpResponse{transportErrorBase + static_cast<unsigned long>(curlCode), std::move(text)};
    return false;
}

std::string CurlFtpClient::url(const std::string& absolutePath, bool folder) const
{
    return std::string(CurlTlsSecurity::urlScheme(address_)) + "://" + address_.authority() + "/" +
           FtpRemotePath::urlPath(absolutePath, folder);
}

// Once logged in, a new connection to the control port would be a second login that libcurl
// makes on its own when the first connection has died; it is refused, so the loss shows.
// Passive data connections go to other ports and pass.
bool CurlFtpClient::allowsSocketTo(int port) const
{
    return !refuseNewControlConnection_ || port != address_.port;
}

} // namespace vantiro
