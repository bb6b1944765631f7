#pragma once

#include "core/ftp/FtpClient.h"
#include "platform/CurlFtpRequest.h"
#include "platform/CurlMultiLoop.h"
#include "platform/FtpReplyLog.h"
#include "platform/FtpServerAddress.h"
#include "platform/NoticeQueue.h"
#include "platform/TransferFailure.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace vantiro {

class CurlTlsSecurity;
class HostTrust;

// The uploader's FTP operations on libcurl. One object is one logged-in control connection that
// every later call reuses. libcurl is never allowed to open a second control connection behind
// the caller's back: when the server has closed the connection, the next call logs in again
// once itself, leaves a note in takeNotices() and goes on; only when that fails does the call
// fail with lostConnectionCode.
//
// Every call runs libcurl's multi interface in a loop of its own (CurlMultiLoop), which ends a
// call that moves too few bytes and watches the cancel flag.
//
// The current folder is kept here, not on the server: every command names its file or folder by
// its full path from "/", and setCurrentDirectory() changes the kept folder only after the server
// has accepted a CWD to it. Listings use MLSD and fall back to LIST on servers that lack it.
//
// lastResponse().code is 0 after success. Otherwise it is the server's reply code (400 to 599,
// or a 1xx/3xx reply where a final one was due) when the server refused, or one of the codes
// below, or 12000 plus libcurl's error number for other failures of the connection or a local
// file (12007 no connection to the server, 12023 a local file that cannot be written or already
// exists, 12026 a local file that cannot be read). The text is the server's last reply, whole,
// or a German description of the local failure; the password never appears in it.
class CurlFtpClient final : public FtpClient {
public:
    static constexpr unsigned long transportErrorBase = TransferFailure::base;
    static constexpr unsigned long timeoutCode = TransferFailure::timeout;
    static constexpr unsigned long unsendableNameCode = TransferFailure::malformed;
    static constexpr unsigned long lostConnectionCode = TransferFailure::lostConnection;

    // How long a connection may stay quiet and how slow a call may be. The defaults suit real
    // hosts; tests make them short.
    struct Limits {
        // keepAlive() sends a NOOP once the connection has been idle this long.
        std::chrono::milliseconds keepAliveAfter{30000};
        // A NOOP of keepAlive() unanswered this long is given up (the next call logs in again),
        // so that the window's commands never wait for it up to stallTime.
        std::chrono::milliseconds keepAliveReplyTime{5000};
        // A call that moves fewer than stallBytes (commands, replies and data together) within
        // stallTime ends with timeoutCode.
        std::uint64_t stallBytes = 1024;
        std::chrono::milliseconds stallTime{60000};
        std::chrono::milliseconds connectTimeout{30000};
        // libcurl gives up a connection idle this long instead of reusing it; its own default
        // of 118 s would end the connection a user still relies on after a pause.
        std::chrono::seconds connectionAge{std::chrono::hours(24 * 365 * 10)};
    };

    CurlFtpClient();
    ~CurlFtpClient() override;
    CurlFtpClient(const CurlFtpClient&) = delete;
    CurlFtpClient& operator=(const CurlFtpClient&) = delete;

    void setLimits(const Limits& limits) { limits_ = limits; }

    bool connect(const std::string& server, const std::string& user, const std::string& password,
                 bool passive) override;
    void close() override;
    bool connected() const override;

    bool setCurrentDirectory(const std::string& path) override;
    bool findFiles(const std::string& pattern, std::vector<FtpEntry>& entries) override;
    bool getFile(const std::string& remoteName, const std::string& localPath, bool failIfExists,
                 TransferType type) override;
    bool putFile(const std::string& localPath, const std::string& remoteName,
                 TransferType type) override;
    bool deleteFile(const std::string& name) override;
    bool removeDirectory(const std::string& name) override;
    bool createDirectory(const std::string& name) override;
    bool renameFile(const std::string& from, const std::string& to) override;

    FtpResponse lastResponse() const override;

    void cancel() override;
    void setProgress(TransferProgress progress) override { progress_ = std::move(progress); }
    void keepAlive() override;
    std::vector<std::string> takeNotices() override;

    // The kept current folder, "/" right after connect().
    const std::string& currentDirectory() const { return current_; }
    // True when the server takes names in UTF-8: it announced UTF8 in its FEAT reply.
    bool utf8Names() const { return utf8Names_; }

    // TLS: who decides about certificates the system does not vouch for (see HostTrust); without
    // it they are refused. "sftp://" servers are not for this client.
    void setHostTrust(std::shared_ptr<HostTrust> trust);
    // How the connection is secured, for the status line; empty when not connected.
    std::string securityNotice() const;

private:
    friend struct CurlCallbacks;

    bool openConnection();
    void dropConnection();
    void abandonConnection();
    bool relogin();
    bool ensureConnected();
    void removeUnfinished();
    bool refusedTls13DataConnection() const;
    static bool resumesTls13Sessions();
    bool ensureSendable(const std::string& text);
    template <typename Attempt> bool withConnection(Attempt attempt);
    bool runCommand(const std::string& command, bool intermediateExpected = false);
    bool readListing(const char* command, std::string& listing);
    int perform(const CurlFtpRequest& request);
    int drive();
    void applyCommonOptions();
    bool finish(int curlCode, bool serverAccepted);
    bool failLocally(unsigned long code, std::string text);
    bool failTransport(int curlCode, std::string text);
    std::string url(const std::string& absolutePath, bool folder) const;
    std::string onWire(const std::string& name) const;

    CurlMultiLoop loop_;     // drives the calls of the connection
    void* handle_ = nullptr; // the CURL easy handle
    FtpServerAddress address_;
    std::string user_;
    std::string password_;
    bool passive_ = true;
    bool loggedIn_ = false; // a login succeeded and close() has not been called since
    // Once logged in, a new connection to the control port would be a second login that
    // libcurl makes on its own when the first connection has died; it is refused, so the loss
    // shows and this client logs in itself. Passive data connections go to other ports.
    bool refuseNewControlConnection_ = false;
    int controlSocket_ = -1;
    bool refusedSocket_ = false;
    mutable bool connected_ = false;
    bool mlsdUnsupported_ = false;
    bool utf8Names_ = false;
    bool tls12Ceiling_ = false; // FTP over TLS 1.2 at most, see resumesTls13Sessions()
    bool collectRawData_ = false;
    char serverType_ = 0; // 'A' or 'I' as last set on the server, 0 when not known
    char curlType_ = 0;   // the type libcurl believes it set last, 0 when not known
    std::string current_ = "/";
    // Uploads that did not complete, by full path: removed once the connection allows.
    std::set<std::string> unfinished_;
    // Names as servers listed them, sent back unchanged.
    std::set<std::string> listedNames_;
    FtpReplyLog replies_;
    FtpResponse response_;
    std::vector<char> errorBuffer_;
    std::function<bool(const char*, std::size_t)> sink_;
    std::function<std::size_t(char*, std::size_t)> source_;
    std::string rawData_;
    bool rawDataTooLong_ = false;
    bool replyTooLong_ = false;

    Limits limits_;
    TransferProgress progress_;
    std::chrono::steady_clock::time_point lastUse_{};
    NoticeQueue notices_;
    std::unique_ptr<CurlTlsSecurity> tls_;
};

} // namespace vantiro
