#include "platform/CurlFtpClient.h"

#include "core/text/Cp1252Literal.h"

#include "core/ftp/FtpListingParser.h"
#include "core/ftp/RemoteName.h"
#include "core/text/Cp1252.h"
#include "core/text/Wildcard.h"
#include "platform/AsciiLineEnds.h"
#include "platform/CurlCallbacks.h"
#include "platform/CurlFailureText.h"
#include "platform/CurlStringList.h"
#include "platform/CurlTlsSecurity.h"
#include "platform/DownloadTarget.h"
#include "platform/FtpFeatureList.h"
#include "platform/FtpRemotePath.h"
#include "platform/UploadStream.h"

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
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vantiro {
namespace {

// Results of a call that the loop ends itself, beside libcurl's own codes.
constexpr int cancelledResult = CurlMultiLoop::cancelledResult;
constexpr int stalledResult = CurlMultiLoop::stalledResult;
constexpr int noConnectionResult = -3;
constexpr int overlongReplyResult = -4;
constexpr std::chrono::milliseconds quitTime{3000};

using Failure = TransferFailure;
static_assert(Failure::untrustedKey == Failure::base + CURLE_PEER_FAILED_VERIFICATION);
static_assert(Failure::noConnection == Failure::base + CURLE_COULDNT_CONNECT);
static_assert(Failure::lostConnection == Failure::base + CURLE_RECV_ERROR);
static_assert(Failure::localWrite == Failure::base + CURLE_WRITE_ERROR);
static_assert(Failure::localRead == Failure::base + CURLE_READ_ERROR);
static_assert(Failure::malformed == Failure::base + CURLE_URL_MALFORMAT);

CURL* easy(void* handle)
{
    return static_cast<CURL*>(handle);
}

void initialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
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

CurlFtpClient::CurlFtpClient()
    : errorBuffer_(CURL_ERROR_SIZE, '\0'), tls_(std::make_unique<CurlTlsSecurity>(nullptr))
{
    initialiseCurlOnce();
    tls12Ceiling_ = !resumesTls13Sessions();
}

// Servers that require the data connection to resume the control connection's TLS session
// (vsftpd's and proftpd's default) refuse many data connections of libcurl before 8.12 when
// TLS 1.3 is used: it does not always offer the session tickets the server sent after the
// login. With such a libcurl, FTP connections stay at TLS 1.2, where resumption works.
bool CurlFtpClient::resumesTls13Sessions()
{
    constexpr unsigned int fixedIn = 0x080C00; // 8.12.0, with the new TLS session cache
    return curl_version_info(CURLVERSION_NOW)->version_num >= fixedIn;
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
        return failTransport(CURLE_URL_MALFORMAT, "Ungültige Serveradresse"_cp1252);
    if (address->scheme == FtpServerAddress::Scheme::Sftp)
        return failTransport(CURLE_UNSUPPORTED_PROTOCOL, "SFTP ist hier nicht möglich"_cp1252);
    tls_->clearRefusal();
    if (!ensureSendable(user) || !ensureSendable(password))
        return false;
    if (address_.host != address->host || address_.port != address->port || user_ != user) {
        unfinished_.clear();
        listedNames_.clear();
    }
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
    const FtpResponse welcome = response_;
    removeUnfinished();
    response_ = welcome;
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
    // Listed names go back as they came; the set is bounded like a listing.
    if (listedNames_.size() > 200000)
        listedNames_.clear();
    for (FtpEntry& entry : all) {
        listedNames_.insert(entry.name);
        if (wildcardMatch(pattern, entry.name))
            entries.push_back(std::move(entry));
    }
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
        CurlFtpRequest request;
        request.url = url(path, false);
        request.type = type;
        request.skipSizeCheck = ascii;
        const int code = perform(request);
        // The target's own text also covers the stop that keeps the disk from filling up.
        if (code == CURLE_WRITE_ERROR && target.error() != 0)
            return failTransport(CURLE_WRITE_ERROR, target.failureText());
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
    UploadStream file(localPath, type, progress_);
    if (!file.isOpen())
        return failTransport(CURLE_READ_ERROR, file.failureText());

    source_ = [&](char* buffer, std::size_t capacity) -> std::size_t {
        const ssize_t count = file.read(buffer, capacity);
        return count < 0 ? CURL_READFUNC_ABORT : static_cast<std::size_t>(count);
    };
    const std::string path = FtpRemotePath::join(current_, onWire(remoteName));
    bool started = false;
    const bool stored = withConnection([&] {
        // A retry after a new login starts the file again.
        file.rewind();
        CurlFtpRequest request;
        request.url = url(path, false);
        request.type = type;
        request.upload = true;
        request.uploadSize = file.ascii() ? -1 : static_cast<std::int64_t>(file.size());
        const int code = perform(request);
        started = started || std::any_of(replies_.replies().begin(), replies_.replies().end(),
                                         [](const FtpReplyLog::Reply& reply) {
                                             return reply.code == 125 || reply.code == 150;
                                         });
        if (file.failed())
            return failTransport(CURLE_READ_ERROR, file.failureText());
        return finish(code, true);
    });
    source_ = nullptr;
    if (stored) {
        unfinished_.erase(path);
        return true;
    }
    // An upload that did not complete leaves no empty or partial file under its name. A plain
    // refusal of the STOR left the server's file as it was; anything else may have cut it.
    const FtpResponse failure = response_;
    if (started || failure.code >= transportErrorBase) {
        unfinished_.insert(path);
        if (ensureConnected())
            removeUnfinished();
    }
    response_ = failure;
    return false;
}

// Removes the files of uploads that did not complete, as soon as the connection allows; a
// file the server no longer has counts as removed.
void CurlFtpClient::removeUnfinished()
{
    for (auto it = unfinished_.begin(); it != unfinished_.end() && handle_;) {
        if (runCommand("DELE " + *it) || (response_.code >= 400 && response_.code <= 599))
            it = unfinished_.erase(it);
        else
            ++it;
    }
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
    loop_.cancel();
}

void CurlFtpClient::keepAlive()
{
    if (!loggedIn_ || std::chrono::steady_clock::now() - lastUse_ < limits_.keepAliveAfter ||
        !connected())
        return;
    // A connection the server has dropped is left to the next call, which logs in again.
    const FtpResponse kept = response_;
    const auto stallTime = limits_.stallTime;
    limits_.stallTime = std::min(stallTime, limits_.keepAliveReplyTime);
    runCommand("NOOP");
    limits_.stallTime = stallTime;
    response_ = kept;
}

std::vector<std::string> CurlFtpClient::takeNotices()
{
    return notices_.take();
}

bool CurlFtpClient::openConnection()
{
    const bool looping = loop_.open();
    handle_ = curl_easy_init();
    if (!looping || !handle_)
        return failTransport(CURLE_FAILED_INIT, "libcurl kann nicht gestartet werden");
    refuseNewControlConnection_ = false;
    mlsdUnsupported_ = false;
    utf8Names_ = false;
    serverType_ = 0;
    curlType_ = 0;
    replies_.reset();

    CurlFtpRequest login;
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
        if (reply.code == 211 && FtpFeatureList(reply.text).has("UTF8"))
            utf8Offered = true;
    }
    refuseNewControlConnection_ = true;
    connected_ = true;
    // A server that announces UTF8 reads names so (RFC 2640); some take OPTS UTF8 ON as the
    // switch, others (pyftpdlib) refuse the command though they read UTF-8 all along.
    if (utf8Offered)
        runCommand("OPTS UTF8 ON");
    utf8Names_ = utf8Offered;
    response_ = FtpResponse{0, welcome};
    return true;
}

void CurlFtpClient::dropConnection()
{
    if (handle_) {
        curl_easy_cleanup(easy(handle_));
        handle_ = nullptr;
    }
    loop_.close();
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
    removeUnfinished();
    return true;
}

// 522 (vsftpd) and 425 (proftpd) are the refusals of a data connection that did not resume
// the control connection's session.
bool CurlFtpClient::refusedTls13DataConnection() const
{
    return !tls12Ceiling_ && (response_.code == 522 || response_.code == 425) &&
           tls_->notice().find("TLS 1.3") != std::string::npos;
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
                       "Der Name enthält ein Steuerzeichen und kann nicht gesendet werden"_cp1252);
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
    if (refusedTls13DataConnection()) {
        // A libcurl that should resume TLS 1.3 sessions did not; TLS 1.2 from now on.
        tls12Ceiling_ = true;
        return relogin() && attempt();
    }
    if (response_.code != lostConnectionCode || !replies_.replies().empty())
        return false;
    return relogin() && attempt();
}

// The leading "*" lets libcurl go on when the server refuses the command: a refusal then ends
// only this call, while libcurl would otherwise drop the whole connection. The reply decides:
// a final positive one, or 3xx where the protocol asks for more (RNFR).
bool CurlFtpClient::runCommand(const std::string& command, bool intermediateExpected)
{
    CurlFtpRequest request;
    request.url = url("/", true);
    request.noBody = true;
    request.quote = {"*" + command};
    const int code = perform(request);
    if (code == CURLE_OK && replies_.replyUnfinished()) {
        // libcurl took a line inside a multi-line reply ("550 " in a "250-" reply) for its end.
        // A NOOP brings the rest; as replies and commands no longer pair up afterwards, the
        // connection is given up and the next call logs in again.
        CurlFtpRequest flush;
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
    CurlFtpRequest request;
    request.url = url(current_, true);
    request.customRequest = command;
    request.rawData = true;
    const int code = perform(request);
    listing = std::move(rawData_);
    rawData_.clear();
    if (rawDataTooLong_)
        return failTransport(CURLE_WRITE_ERROR, "Das Verzeichnis ist zu groß"_cp1252);
    return finish(code, true);
}

int CurlFtpClient::perform(const CurlFtpRequest& request)
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
    const CurlStringList quote(request.quote);
    const CurlStringList preQuote(preQuoteCommands);
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOBODY, request.noBody ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_QUOTE, quote.get());
    curl_easy_setopt(curl, CURLOPT_PREQUOTE, preQuote.get());
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.customRequest);
    curl_easy_setopt(curl, CURLOPT_IGNORE_CONTENT_LENGTH, request.skipSizeCheck ? 1L : 0L);
    if (request.upload) {
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE,
                         static_cast<curl_off_t>(request.uploadSize));
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

int CurlFtpClient::drive()
{
    if (loop_.consumeCancel())
        return cancelledResult;
    int result = loop_.run(handle_, limits_.stallBytes, limits_.stallTime);
    // The header callback refused the line that made the reply too long.
    if (replyTooLong_)
        result = overlongReplyResult;
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
    if (tls12Ceiling_)
        curl_easy_setopt(curl, CURLOPT_SSLVERSION,
                         static_cast<long>(CURL_SSLVERSION_TLSv1_2) |
                             static_cast<long>(CURL_SSLVERSION_MAX_TLSv1_2));
    // The program has no proxy setting: ftp_proxy and all_proxy, set for a desktop's browser,
    // would send the login to a proxy that mostly does not speak FTP.
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
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
    // libcurl reports a 421 (too many connections, idle limit reached) as a timeout of its own;
    // the server's words say what happened.
    if (curlCode == CURLE_OPERATION_TIMEDOUT && replies_.lastCode() == 421)
        return failLocally(421, replies_.lastText());
    if (curlCode == stalledResult || curlCode == CURLE_OPERATION_TIMEDOUT)
        return failLocally(timeoutCode, Failure::timeoutText);
    if (curlCode == noConnectionResult || curlCode == overlongReplyResult)
        return failLocally(lostConnectionCode, Failure::lostConnectionText);
    if (curlCode == CURLE_OK && serverAccepted) {
        response_ = FtpResponse{0, replies_.lastText()};
        return true;
    }
    const int reply = replies_.lastCode();
    if (curlCode == CURLE_USE_SSL_FAILED) {
        // The server's refusal of AUTH TLS reads like a login problem ("530 Please login with
        // USER and PASS."); the user's question is whether the server encrypts at all.
        const std::string detail = replies_.lastText();
        return failTransport(curlCode, std::string(CurlFailureText::german(curlCode)) +
                                           (detail.empty() ? "" : " (" + detail + ")"));
    }
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
    const char* german = CurlFailureText::german(curlCode);
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

// A server gets names in UTF-8 only when it announced UTF8, else in Windows-1252. Names typed in
// the core are Windows-1252, names of local files and typed in the window UTF-8; each is
// converted where needed. Bytes as the server listed them go back unchanged, and so does a name
// that Windows-1252 cannot hold. A path is looked at folder by folder, as it may join a listed
// folder and a typed name.
std::string CurlFtpClient::onWire(const std::string& path) const
{
    const bool ascii = std::all_of(path.begin(), path.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii || (utf8Names_ && isUtf8(path)))
        return path;
    std::string wire;
    size_t begin = 0;
    while (begin <= path.size()) {
        const size_t end = std::min(path.find('/', begin), path.size());
        const std::string segment = path.substr(begin, end - begin);
        if (utf8Names_) {
            wire += isUtf8(segment) ? segment : Cp1252::toUtf8(segment);
        } else if (isUtf8(segment) && !listedNames_.contains(segment)) {
            const std::string narrow = Cp1252::fromUtf8(segment);
            wire += Cp1252::toUtf8(narrow) == segment ? narrow : segment;
        } else {
            wire += segment;
        }
        if (end < path.size())
            wire += '/';
        begin = end + 1;
    }
    return wire;
}

} // namespace vantiro
