#pragma once

#include "core/ftp/FtpClient.h"
#include "platform/FtpReplyLog.h"
#include "platform/FtpServerAddress.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vantiro {

class CurlTlsSecurity;
class HostTrust;

// The uploader's FTP operations on libcurl. One easy handle is one connection: the login of
// connect() is reused by every later call, and libcurl is never allowed to open a second control
// connection behind the caller's back, so a connection the server drops shows as connected()
// false and a failing call instead of a silent new login.
//
// The current folder is kept here, not on the server: every command names its file or folder by
// its full path from "/", and setCurrentDirectory() changes the kept folder only after the server
// has accepted a CWD to it. Listings use MLSD and fall back to LIST on servers that lack it.
//
// lastResponse().code is 0 after success. Otherwise it is the server's reply code (400 to 599)
// when the server refused, or 12000 plus libcurl's error number when the connection or a local
// file failed: 12007 no connection to the server, 12028 a timeout, 12056 a connection the server
// has closed, 12023 a local file that cannot be written or already exists, 12026 a local file
// that cannot be read, 12003 a server address or name that cannot be sent. The text is the
// server's last reply (password masked) or a description of the local failure.
class CurlFtpClient final : public FtpClient {
public:
    static constexpr unsigned long transportErrorBase = 12000;
    static constexpr long connectTimeoutSeconds = 30;
    static constexpr long stalledTransferSeconds = 60;

    CurlFtpClient();
    ~CurlFtpClient() override;
    CurlFtpClient(const CurlFtpClient&) = delete;
    CurlFtpClient& operator=(const CurlFtpClient&) = delete;

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

    // The kept current folder, "/" right after connect().
    const std::string& currentDirectory() const { return current_; }

    // TLS: who decides about certificates the system does not vouch for (see HostTrust); without
    // it they are refused. "sftp://" servers are not for this client.
    void setHostTrust(std::shared_ptr<HostTrust> trust);
    // How the connection is secured, for the status line; empty when not connected.
    std::string securityNotice() const;

private:
    struct Request;
    friend struct CurlCallbacks;

    bool ensureConnected();
    bool ensureSendable(const std::string& text);
    bool runCommand(const std::string& command);
    bool readListing(const char* command, std::string& listing);
    int perform(const Request& request);
    void applyCommonOptions();
    bool finish(int curlCode, bool serverAccepted);
    bool failLocally(int curlCode, std::string text);
    std::string url(const std::string& absolutePath, bool folder) const;

    bool allowsSocketTo(int port) const;

    void* handle_ = nullptr; // the CURL easy handle
    FtpServerAddress address_;
    std::string user_;
    std::string password_;
    bool passive_ = true;
    bool refuseNewControlConnection_ = false;
    mutable bool connected_ = false;
    bool mlsdUnsupported_ = false;
    std::string current_ = "/";
    FtpReplyLog replies_;
    FtpResponse response_;
    std::vector<char> errorBuffer_;
    std::function<bool(const char*, std::size_t)> sink_;
    std::function<std::size_t(char*, std::size_t)> source_;
    std::unique_ptr<CurlTlsSecurity> tls_;
};

} // namespace vantiro
