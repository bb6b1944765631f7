#include "platform/CurlFtpClient.h"

#include "core/ftp/FtpListingParser.h"
#include "core/ftp/RemoteName.h"
#include "core/generator/modGeneral.h"
#include "core/text/Cp1252.h"
#include "platform/AsciiLineEnds.h"
#include "platform/CurlTlsSecurity.h"
#include "platform/DownloadTarget.h"
#include "platform/FtpRemotePath.h"
#include "platform/UploadSource.h"

#include <curl/curl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vantiro {
namespace {

// A listing beyond this is no folder a person looks at; it only protects the memory.
constexpr std::size_t maxListingBytes = 64 * 1024 * 1024;
// A reply that goes on past this is no answer but a broken or hostile server. libcurl 7 gave up
// there itself; libcurl 8 reads on until its response timeout, all of it kept in the reply log.
constexpr std::size_t maxReplyBytes = 300 * 1024;
// Results of a call that the loop ends itself, beside libcurl's own codes.
constexpr int cancelledResult = -1;
constexpr int stalledResult = -2;
constexpr int noConnectionResult = -3;
constexpr int overlongReplyResult = -4;
constexpr std::chrono::milliseconds quitTime{3000};
// The longest wait in the loop, so that cancel() and the stall limit are noticed soon.
constexpr long longestWaitMilliseconds = 100;

using Failure = TransferFailure;
static_assert(Failure::untrustedKey == Failure::base + CURLE_PEER_FAILED_VERIFICATION);
static_assert(Failure::noConnection == Failure::base + CURLE_COULDNT_CONNECT);
static_assert(Failure::lostConnection == Failure::base + CURLE_RECV_ERROR);
static_assert(Failure::localWrite == Failure::base + CURLE_WRITE_ERROR);
static_assert(Failure::localRead == Failure::base + CURLE_READ_ERROR);
static_assert(Failure::malformed == Failure::base + CURLE_URL_MALFORMAT);

// The user reads what went wrong in German; libcurl's own words follow for whoever helps them.
const char* transportFailureText(int curlCode)
{
    switch (curlCode) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return "Servername nicht gefunden";
    case CURLE_COULDNT_CONNECT:
        return "Keine Verbindung zum Server m\xF6glich";
    case CURLE_SSL_CONNECT_ERROR:
        return "Verschl\xFCsselte Verbindung nicht m\xF6glich";
    case CURLE_USE_SSL_FAILED:
        return "Der Server bietet keine Verschl\xFCsselung an";
    case CURLE_PEER_FAILED_VERIFICATION:
        return "Zertifikat des Servers nicht vertrauensw\xFCrdig";
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
        return "Verbindung zum Server unterbrochen";
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_WEIRD_227_FORMAT:
        return "Unverst\xE4ndliche Antwort des Servers";
    case CURLE_FTP_CANT_GET_HOST:
    case CURLE_FTP_ACCEPT_FAILED:
        return "Keine Datenverbindung zum Server m\xF6glich";
    default:
        return nullptr;
    }
}

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

bool isCompletion(int replyCode)
{
    return replyCode >= 200 && replyCode <= 299;
}

bool isIntermediate(int replyCode)
{
    return replyCode >= 300 && replyCode <= 399;
}

// FEAT lists one feature per line, each indented by a blank.
bool announcesFeature(const std::string& featReply, std::string_view feature)
{
    size_t begin = 0;
    while (begin <= featReply.size()) {
        const size_t end = std::min(featReply.find('\n', begin), featReply.size());
        std::string_view line(featReply.data() + begin, end - begin);
        while (!line.empty() && line.front() == ' ')
            line.remove_prefix(1);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\r'))
            line.remove_suffix(1);
        const size_t blank = line.find(' ');
        if (line.substr(0, blank) == feature)
            return true;
        begin = end + 1;
    }
    return false;
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
    struct stat info = {};
    return lstat(path.c_str(), &info) == 0;
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
    // A file transfer in this type.
    std::optional<TransferType> type;
    // The data as it came off the connection: libcurl turns every CR of a listing it fetches
    // in type A into LF before the write callback, names with a CR included.
    bool rawData = false;
};

struct CurlCallbacks {
    // What the server sends is kept; of what goes out, only the amount is counted, so PASS is
    // never looked at.
    static int debug(CURL*, curl_infotype type, char* data, std::size_t size, void* self)
    {
        auto* client = static_cast<CurlFtpClient*>(self);
        client->activity_ = true;
        switch (type) {
        case CURLINFO_HEADER_IN:
            if (client->replies_.unfinishedSize() + size > maxReplyBytes)
                client->replyTooLong_ = true;
            else
                client->replies_.received({data, size});
            client->bytesMoved_ += size;
            break;
        case CURLINFO_DATA_IN:
            if (client->collectRawData_) {
                if (client->rawData_.size() + size > maxListingBytes)
                    client->rawDataTooLong_ = true;
                else
                    client->rawData_.append(data, size);
            }
            client->bytesMoved_ += size;
            break;
        case CURLINFO_HEADER_OUT:
        case CURLINFO_DATA_OUT:
            client->bytesMoved_ += size;
            break;
        default:
            break;
        }
        return 0;
    }

    // libcurl hands every reply line here too, and reads a reply on until it ends; refusing a
    // line stops it at once.
    static std::size_t header(char*, std::size_t size, std::size_t count, void* self)
    {
        return static_cast<CurlFtpClient*>(self)->replyTooLong_ ? 0 : size * count;
    }

    static std::size_t write(char* data, std::size_t size, std::size_t count, void* self)
    {
        auto* client = static_cast<CurlFtpClient*>(self);
        const std::size_t bytes = size * count;
        if (client->rawDataTooLong_)
            return 0;
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
        auto* client = static_cast<CurlFtpClient*>(self);
        const bool control =
            purpose == CURLSOCKTYPE_IPCXN && portOf(address) == client->address_.port;
        if (control && client->refuseNewControlConnection_) {
            client->refusedSocket_ = true;
            return CURL_SOCKET_BAD;
        }
        const curl_socket_t opened =
            socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
        if (control)
            client->controlSocket_ = opened;
        return opened;
    }

    static int closeSocket(void* self, curl_socket_t socket)
    {
        auto* client = static_cast<CurlFtpClient*>(self);
        if (socket == client->controlSocket_)
            client->controlSocket_ = -1;
        return ::close(socket);
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
        return failTransport(CURLE_URL_MALFORMAT, "Ung\xFCltige Serveradresse");
    if (address->scheme == FtpServerAddress::Scheme::Sftp)
        return failTransport(CURLE_UNSUPPORTED_PROTOCOL, "SFTP ist hier nicht m\xF6glich");
    tls_->clearRefusal();
    if (!ensureSendable(user) || !ensureSendable(password))
        return false;
    address_ = *address;
    user_ = user;
    password_ = password;
    passive_ = passive;
    if (!openConnection()) {
        if (tls_->refused())
            failTransport(CURLE_PEER_FAILED_VERIFICATION, HostTrust::refusalText(*tls_->refused()));
        const FtpResponse refused = response_;
        close();
        response_ = refused;
        return false;
    }
    loggedIn_ = true;
    return true;
}

// The QUIT goes out through the loop, with a short limit: libcurl's own QUIT when it closes a
// connection waits up to two minutes for a server that has stopped answering.
void CurlFtpClient::close()
{
    if (connected()) {
        const Limits kept = limits_;
        limits_.stallBytes = 1;
        limits_.stallTime = std::min(limits_.stallTime, quitTime);
        runCommand("QUIT");
        limits_ = kept;
    }
    abandonConnection();
    std::fill(password_.begin(), password_.end(), '\0');
    password_.clear();
    loggedIn_ = false;
    current_ = "/";
    response_ = FtpResponse{};
}

// An idle control connection has nothing to read: when it has, the server has closed it or
// announced that it will (421).
bool CurlFtpClient::connected() const
{
    if (!connected_ || !handle_ || controlSocket_ < 0) {
        connected_ = false;
        return false;
    }
    pollfd control{controlSocket_, POLLIN, 0};
    if (poll(&control, 1, 0) > 0)
        connected_ = false;
    return connected_;
}

bool CurlFtpClient::setCurrentDirectory(const std::string& path)
{
    if (!ensureSendable(path))
        return false;
    const std::string target = FtpRemotePath::resolve(current_, onWire(path));
    return withConnection([&] {
        if (!runCommand("CWD " + target))
            return false;
        current_ = target;
        return true;
    });
}

bool CurlFtpClient::findFiles(const std::string& pattern, std::vector<FtpEntry>& entries)
{
    entries.clear();
    std::vector<FtpEntry> all;
    const bool ok = withConnection([&] {
        std::string listing;
        bool read = false;
        all.clear();
        if (!mlsdUnsupported_) {
            read = readListing("MLSD", listing);
            if (read)
                all = FtpListingParser::parseMlsd(listing);
            else if (meansCommandUnknown(response_.code))
                mlsdUnsupported_ = true;
        }
        if (mlsdUnsupported_) {
            read = readListing("LIST", listing);
            if (read)
                all = FtpListingParser(utcNow()).parseList(listing);
        }
        return read;
    });
    for (FtpEntry& entry : all)
        if (WildcardMatch(pattern, entry.name))
            entries.push_back(std::move(entry));
    return ok;
}

bool CurlFtpClient::getFile(const std::string& remoteName, const std::string& localPath,
                            bool failIfExists, TransferType type)
{
    if (!ensureSendable(remoteName) || !ensureConnected())
        return false;
    if (failIfExists && localEntryExists(localPath))
        return failTransport(CURLE_WRITE_ERROR, "Die lokale Datei existiert bereits: " + localPath);
    DownloadTarget target(localPath);
    if (!target.open())
        return failTransport(CURLE_WRITE_ERROR, "Die lokale Datei kann nicht angelegt werden: " +
                                                    std::string(std::strerror(target.error())));

    const bool ascii = type == TransferType::Ascii;
    AsciiLineEnds lineEnds(AsciiLineEnds::Direction::FromNetwork);
    std::string converted;
    std::uint64_t received = 0;
    sink_ = [&](const char* data, std::size_t size) {
        received += size;
        if (progress_) {
            curl_off_t total = -1;
            curl_easy_getinfo(easy(handle_), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &total);
            progress_(received, total > 0 ? static_cast<std::uint64_t>(total) : 0);
        }
        if (!ascii)
            return target.write(data, size);
        converted.clear();
        lineEnds.convert({data, size}, converted);
        return target.write(converted.data(), converted.size());
    };
    const std::string path = FtpRemotePath::join(current_, onWire(remoteName));
    const bool fetched = withConnection([&] {
        Request request;
        request.url = url(path, false);
        request.type = type;
        request.skipSizeCheck = ascii;
        const int code = perform(request);
        if (code == CURLE_WRITE_ERROR && target.error() != 0)
            return failTransport(CURLE_WRITE_ERROR,
                                 "Die lokale Datei kann nicht geschrieben werden: " +
                                     std::string(std::strerror(target.error())));
        return finish(code, true);
    });
    sink_ = nullptr;
    if (!fetched)
        return false;
    converted.clear();
    lineEnds.finish(converted);
    if (!target.write(converted.data(), converted.size()) || !target.commit(failIfExists)) {
        const std::string reason = target.error() == EEXIST
                                       ? "Die lokale Datei existiert bereits: " + localPath
                                       : "Die lokale Datei kann nicht geschrieben werden: " +
                                             std::string(std::strerror(target.error()));
        return failTransport(CURLE_WRITE_ERROR, reason);
    }
    return true;
}

bool CurlFtpClient::putFile(const std::string& localPath, const std::string& remoteName,
                            TransferType type)
{
    if (!ensureSendable(remoteName) || !ensureConnected())
        return false;
    UploadSource file(localPath);
    if (!file.isOpen())
        return failTransport(CURLE_READ_ERROR, file.failureText());

    const bool ascii = type == TransferType::Ascii;
    const std::uint64_t size = file.size();
    AsciiLineEnds lineEnds(AsciiLineEnds::Direction::ToNetwork);
    std::string pending;
    std::size_t sent = 0;
    std::uint64_t read = 0;
    bool readFailed = false;
    auto readFile = [&](char* buffer, std::size_t capacity) -> ssize_t {
        const ssize_t count = file.read(buffer, capacity);
        readFailed = count < 0;
        if (count > 0) {
            read += static_cast<std::uint64_t>(count);
            if (progress_)
                progress_(read, size);
        }
        return count;
    };
    source_ = [&](char* buffer, std::size_t capacity) -> std::size_t {
        if (!ascii) {
            const ssize_t count = readFile(buffer, capacity);
            return count < 0 ? CURL_READFUNC_ABORT : static_cast<std::size_t>(count);
        }
        while (sent == pending.size()) {
            char chunk[16384];
            const ssize_t count = readFile(chunk, sizeof chunk);
            if (count <= 0)
                return count < 0 ? CURL_READFUNC_ABORT : 0;
            pending.clear();
            sent = 0;
            lineEnds.convert({chunk, static_cast<std::size_t>(count)}, pending);
        }
        const std::size_t count = std::min(capacity, pending.size() - sent);
        std::memcpy(buffer, pending.data() + sent, count);
        sent += count;
        return count;
    };
    const std::string path = FtpRemotePath::join(current_, onWire(remoteName));
    const bool stored = withConnection([&] {
        // A retry after a new login starts the file again.
        file.rewind();
        lineEnds = AsciiLineEnds(AsciiLineEnds::Direction::ToNetwork);
        pending.clear();
        sent = 0;
        read = 0;
        Request request;
        request.url = url(path, false);
        request.type = type;
        request.upload = true;
        request.uploadSize = ascii ? -1 : static_cast<curl_off_t>(size);
        const int code = perform(request);
        if (readFailed)
            return failTransport(CURLE_READ_ERROR, file.failureText());
        return finish(code, true);
    });
    source_ = nullptr;
    if (!stored && response_.code == cancelledCode) {
        // A cancelled upload leaves no half file on the server.
        const FtpResponse cancelled = response_;
        if (ensureConnected())
            runCommand("DELE " + path);
        response_ = cancelled;
    }
    return stored;
}

bool CurlFtpClient::deleteFile(const std::string& name)
{
    return ensureSendable(name) && withConnection([&] {
               return runCommand("DELE " + FtpRemotePath::join(current_, onWire(name)));
           });
}

bool CurlFtpClient::removeDirectory(const std::string& name)
{
    return ensureSendable(name) && withConnection([&] {
               return runCommand("RMD " + FtpRemotePath::join(current_, onWire(name)));
           });
}

bool CurlFtpClient::createDirectory(const std::string& name)
{
    return ensureSendable(name) && withConnection([&] {
               return runCommand("MKD " + FtpRemotePath::join(current_, onWire(name)));
           });
}

bool CurlFtpClient::renameFile(const std::string& from, const std::string& to)
{
    return ensureSendable(from) && ensureSendable(to) && withConnection([&] {
               return runCommand("RNFR " + FtpRemotePath::join(current_, onWire(from)), true) &&
                      runCommand("RNTO " + FtpRemotePath::join(current_, onWire(to)));
           });
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

void CurlFtpClient::cancel()
{
    cancelRequested_ = true;
    const std::lock_guard lock(multiMutex_);
    if (multi_)
        curl_multi_wakeup(static_cast<CURLM*>(multi_));
}

void CurlFtpClient::keepAlive()
{
    if (!loggedIn_ || std::chrono::steady_clock::now() - lastUse_ < limits_.keepAliveAfter ||
        !connected())
        return;
    // A connection the server has dropped is left to the next call, which logs in again.
    const FtpResponse kept = response_;
    runCommand("NOOP");
    response_ = kept;
}

std::vector<std::string> CurlFtpClient::takeNotices()
{
    return notices_.take();
}

bool CurlFtpClient::openConnection()
{
    {
        const std::lock_guard lock(multiMutex_);
        multi_ = curl_multi_init();
    }
    handle_ = curl_easy_init();
    if (!multi_ || !handle_)
        return failTransport(CURLE_FAILED_INIT, "libcurl kann nicht gestartet werden");
    refuseNewControlConnection_ = false;
    mlsdUnsupported_ = false;
    utf8Names_ = false;
    serverType_ = 0;
    curlType_ = 0;
    replies_.reset();

    Request login;
    login.url = url("/", true);
    login.noBody = true;
    login.quote = {"*FEAT"};
    const int code = perform(login);
    if (code != CURLE_OK)
        return finish(code, false);
    std::string welcome;
    bool utf8Offered = false;
    for (const FtpReplyLog::Reply& reply : replies_.replies()) {
        if (reply.code == 230)
            welcome = reply.text;
        if (reply.code == 211 && announcesFeature(reply.text, "UTF8"))
            utf8Offered = true;
    }
    refuseNewControlConnection_ = true;
    connected_ = true;
    // Names go out in UTF-8 only when the server has agreed to read them so.
    utf8Names_ = utf8Offered && runCommand("OPTS UTF8 ON");
    response_ = FtpResponse{0, welcome};
    return true;
}

void CurlFtpClient::dropConnection()
{
    if (handle_) {
        curl_easy_cleanup(easy(handle_));
        handle_ = nullptr;
    }
    {
        const std::lock_guard lock(multiMutex_);
        if (multi_)
            curl_multi_cleanup(static_cast<CURLM*>(multi_));
        multi_ = nullptr;
    }
    refuseNewControlConnection_ = false;
    connected_ = false;
    controlSocket_ = -1;
}

bool CurlFtpClient::relogin()
{
    abandonConnection();
    if (!openConnection()) {
        const FtpResponse cause = response_;
        dropConnection();
        if (cause.code == cancelledCode)
            return failLocally(cancelledCode, Failure::cancelledText);
        return failLocally(lostConnectionCode, Failure::lostConnectionText);
    }
    // Every command names its full path; the CWD only takes the server back to where the user
    // stands, as a fresh login would be elsewhere.
    runCommand("CWD " + current_);
    if (!handle_)
        return failLocally(lostConnectionCode, Failure::lostConnectionText);
    notices_.add(Failure::reloginNotice);
    return true;
}

bool CurlFtpClient::ensureConnected()
{
    if (!loggedIn_)
        return failTransport(CURLE_COULDNT_CONNECT, Failure::noConnectionText);
    if (connected())
        return true;
    return relogin();
}

// A control byte in a name would end the command early or be refused by libcurl; such a name
// is never sent, and the connection stays as it is for the next one.
bool CurlFtpClient::ensureSendable(const std::string& text)
{
    const bool control = std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
    if (!control)
        return true;
    return failLocally(unsendableNameCode,
                       "Der Name enth\xE4lt ein Steuerzeichen und kann nicht gesendet werden");
}

// A connection the server has closed before this call is taken up again by ensureConnected().
// One that turns out dead inside the call before the server answered anything is logged in
// again once and the call is made again; nothing of it reached the server.
template <typename Attempt> bool CurlFtpClient::withConnection(Attempt attempt)
{
    if (!ensureConnected())
        return false;
    if (attempt())
        return true;
    if (response_.code != lostConnectionCode || !replies_.replies().empty())
        return false;
    return relogin() && attempt();
}

// The leading "*" lets libcurl go on when the server refuses the command: a refusal then ends
// only this call, while libcurl would otherwise drop the whole connection. The reply decides:
// a final positive one, or 3xx where the protocol asks for more (RNFR).
bool CurlFtpClient::runCommand(const std::string& command, bool intermediateExpected)
{
    Request request;
    request.url = url("/", true);
    request.noBody = true;
    request.quote = {"*" + command};
    const int code = perform(request);
    if (code == CURLE_OK && replies_.replyUnfinished()) {
        // libcurl took a line inside a multi-line reply ("550 " in a "250-" reply) for its end.
        // A NOOP brings the rest; as replies and commands no longer pair up afterwards, the
        // connection is given up and the next call logs in again.
        Request flush;
        flush.url = url("/", true);
        flush.noBody = true;
        flush.quote = {"*NOOP"};
        perform(flush);
        const std::vector<FtpReplyLog::Reply> flushed = replies_.replies();
        abandonConnection();
        if (flushed.empty())
            return failLocally(lostConnectionCode, Failure::lostConnectionText);
        const FtpReplyLog::Reply& reply = flushed.front();
        response_ = FtpResponse{static_cast<unsigned long>(reply.code), reply.text};
        if (isCompletion(reply.code) || (intermediateExpected && isIntermediate(reply.code)))
            response_.code = 0;
        return response_.code == 0;
    }
    const int reply = replies_.lastCode();
    const bool accepted = isCompletion(reply) || (intermediateExpected && isIntermediate(reply));
    if (code == CURLE_OK && !accepted && reply > 0 && reply < 200) {
        // A preliminary reply alone: the final one is still to come and would answer the next
        // command, so this connection is given up.
        finish(code, false);
        abandonConnection();
        return false;
    }
    return finish(code, accepted);
}

bool CurlFtpClient::readListing(const char* command, std::string& listing)
{
    Request request;
    request.url = url(current_, true);
    request.customRequest = command;
    request.rawData = true;
    const int code = perform(request);
    listing = std::move(rawData_);
    rawData_.clear();
    if (rawDataTooLong_)
        return failTransport(CURLE_WRITE_ERROR, "Das Verzeichnis ist zu gro\xDF");
    return finish(code, true);
}

int CurlFtpClient::perform(const Request& request)
{
    replies_.clearLast();
    if (!handle_)
        return noConnectionResult;
    CURL* curl = easy(handle_);
    // A reset keeps the live connection; every call starts from the same options.
    curl_easy_reset(curl);
    applyCommonOptions();
    // libcurl sends TYPE I before a file transfer and TYPE A before a listing whenever it last
    // sent the other; the TYPE A of an ASCII transfer is this client's own. Kept track of, so
    // that a run of files in one type costs no TYPE command per file.
    std::vector<std::string> preQuoteCommands = request.preQuote;
    char serverTypeAfter = 0;
    char curlTypeAfter = 0;
    if (request.type) {
        const char wanted = *request.type == TransferType::Ascii ? 'A' : 'I';
        const char before = curlType_ == 'I' ? serverType_ : curlType_ == 'A' ? 'I' : 0;
        if (before != wanted)
            preQuoteCommands.push_back(typeCommand(*request.type));
        serverTypeAfter = wanted;
        curlTypeAfter = 'I';
    } else if (request.customRequest) {
        serverTypeAfter = 'A';
        curlTypeAfter = 'A';
    } else {
        serverTypeAfter = serverType_;
        curlTypeAfter = curlType_;
    }
    const StringList quote(request.quote);
    const StringList preQuote(preQuoteCommands);
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
    refusedSocket_ = false;
    rawData_.clear();
    rawDataTooLong_ = false;
    replyTooLong_ = false;
    collectRawData_ = request.rawData;
    const int code = drive();
    serverType_ = code == CURLE_OK ? serverTypeAfter : 0;
    curlType_ = code == CURLE_OK ? curlTypeAfter : 0;
    collectRawData_ = false;
    lastUse_ = std::chrono::steady_clock::now();
    connected(); // notices a connection that was lost during this call
    return code;
}

// libcurl's own blocking loop waits up to a second on its poll whenever libcurl watches no
// socket, as between reading a buffered passive-mode reply and opening the data connection.
// Here the loop performs again at once while anything moved, and waits on the sockets only
// when libcurl really waits for them.
int CurlFtpClient::drive()
{
    auto* multi = static_cast<CURLM*>(multi_);
    CURL* curl = easy(handle_);
    if (cancelRequested_.exchange(false))
        return cancelledResult;
    if (curl_multi_add_handle(multi, curl) != CURLM_OK)
        return CURLE_FAILED_INIT;
    int result = CURLE_OK;
    auto windowStart = std::chrono::steady_clock::now();
    std::uint64_t windowBytes = bytesMoved_;
    int quietRounds = 0;
    for (;;) {
        activity_ = false;
        int running = 0;
        curl_multi_perform(multi, &running);
        bool done = false;
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE) {
                result = message->data.result;
                done = true;
            }
        }
        if (replyTooLong_) {
            result = overlongReplyResult;
            break;
        }
        if (done || running == 0)
            break;
        if (cancelRequested_.exchange(false)) {
            result = cancelledResult;
            break;
        }
        const auto now = std::chrono::steady_clock::now();
        if (bytesMoved_ - windowBytes >= limits_.stallBytes) {
            windowStart = now;
            windowBytes = bytesMoved_;
        } else if (now - windowStart >= limits_.stallTime) {
            result = stalledResult;
            break;
        }
        if (activity_) {
            quietRounds = 0;
            continue;
        }
        fd_set readable, writable, failed;
        FD_ZERO(&readable);
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        int highestSocket = -1;
        curl_multi_fdset(multi, &readable, &writable, &failed, &highestSocket);
        long wait = longestWaitMilliseconds;
        if (highestSocket < 0) {
            wait = quietRounds++ < 16 ? 0 : 1;
        } else {
            long due = -1;
            curl_multi_timeout(multi, &due);
            if (due >= 0)
                wait = std::min(wait, due);
        }
        curl_multi_poll(multi, nullptr, 0, static_cast<int>(wait), nullptr);
    }
    curl_multi_remove_handle(multi, curl);
    if (result == cancelledResult || result == stalledResult || result == overlongReplyResult)
        abandonConnection();
    return result;
}

// A connection left in the middle of a command or a transfer is of no further use: what the
// server sends next would answer the wrong command. The socket is shut first, so that
// libcurl's closing QUIT does not wait on a server that has stopped answering.
void CurlFtpClient::abandonConnection()
{
    if (controlSocket_ >= 0)
        shutdown(controlSocket_, SHUT_RDWR);
    dropConnection();
}

// Everything a connection's easy handle needs, whatever the call.
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
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(limits_.connectTimeout.count()));
    // Slow calls are ended by the loop's own limit; the connection itself may idle for hours.
    curl_easy_setopt(curl, CURLOPT_MAXAGE_CONN, static_cast<long>(limits_.connectionAge.count()));
    curl_easy_setopt(curl, CURLOPT_FTP_USE_EPSV, 1L);
    if (!passive_)
        curl_easy_setopt(curl, CURLOPT_FTPPORT, "-");
    // A passive reply naming another host is not followed: the data goes to the server only.
    curl_easy_setopt(curl, CURLOPT_FTP_SKIP_PASV_IP, 1L);
    curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(curl, CURLOPT_OPENSOCKETFUNCTION, &CurlCallbacks::openSocket);
    curl_easy_setopt(curl, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(curl, CURLOPT_CLOSESOCKETFUNCTION, &CurlCallbacks::closeSocket);
    curl_easy_setopt(curl, CURLOPT_CLOSESOCKETDATA, this);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &CurlCallbacks::header);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CurlCallbacks::write);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, &CurlCallbacks::read);
    curl_easy_setopt(curl, CURLOPT_READDATA, this);
}

bool CurlFtpClient::finish(int curlCode, bool serverAccepted)
{
    if (curlCode == cancelledResult)
        return failLocally(cancelledCode, Failure::cancelledText);
    if (curlCode == stalledResult || curlCode == CURLE_OPERATION_TIMEDOUT)
        return failLocally(timeoutCode, Failure::timeoutText);
    if (curlCode == noConnectionResult || curlCode == overlongReplyResult)
        return failLocally(lostConnectionCode, Failure::lostConnectionText);
    if (curlCode == CURLE_OK && serverAccepted) {
        response_ = FtpResponse{0, replies_.lastText()};
        return true;
    }
    const int reply = replies_.lastCode();
    if (isRefusal(reply) || (curlCode == CURLE_OK && reply != 0)) {
        response_ = FtpResponse{static_cast<unsigned long>(reply), replies_.lastText()};
        return false;
    }
    if ((refuseNewControlConnection_ && !connected()) || refusedSocket_)
        return failLocally(lostConnectionCode, Failure::lostConnectionText);
    if (curlCode == CURLE_OK)
        return failTransport(CURLE_WEIRD_SERVER_REPLY, replies_.unfinishedText());
    const std::string detail =
        errorBuffer_[0] != '\0' ? errorBuffer_.data() : curl_easy_strerror(CURLcode(curlCode));
    const char* german = transportFailureText(curlCode);
    return failTransport(curlCode, german ? std::string(german) + " (" + detail + ")" : detail);
}

bool CurlFtpClient::failLocally(unsigned long code, std::string text)
{
    response_ = FtpResponse{code, std::move(text)};
    return false;
}

bool CurlFtpClient::failTransport(int curlCode, std::string text)
{
    return failLocally(transportErrorBase + static_cast<unsigned long>(curlCode), std::move(text));
}

std::string CurlFtpClient::url(const std::string& absolutePath, bool folder) const
{
    return std::string(CurlTlsSecurity::urlScheme(address_)) + "://" + address_.authority() + "/" +
           FtpRemotePath::urlPath(absolutePath, folder);
}

// Names typed by the user are Windows-1252; a server that reads UTF-8 gets them so. Bytes that
// are UTF-8 already (names as the server listed them) go back unchanged. A path is looked at
// folder by folder, as it may join a listed folder and a typed name.
std::string CurlFtpClient::onWire(const std::string& path) const
{
    if (!utf8Names_ || IsUtf8(path))
        return path;
    std::string wire;
    size_t begin = 0;
    while (begin <= path.size()) {
        const size_t end = std::min(path.find('/', begin), path.size());
        const std::string segment = path.substr(begin, end - begin);
        wire += IsUtf8(segment) ? segment : Cp1252::toUtf8(segment);
        if (end < path.size())
            wire += '/';
        begin = end + 1;
    }
    return wire;
}

} // namespace vantiro
