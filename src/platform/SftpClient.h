#pragma once

#include "core/ftp/FtpClient.h"
#include "platform/FtpServerAddress.h"
#include "platform/NoticeQueue.h"
#include "platform/TransferFailure.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantiro {

class HostTrust;
class SftpHandle;
class SshIo;
class UploadSource;

// The uploader's operations over SSH file transfer (libssh2), for "sftp://" servers. Paths mean
// what they mean on FTP: "/" is the top folder as the server shows it, the current folder is
// kept here, and every call names its file by its full path. The folder is read with its
// attributes, so entries carry exact sizes and times (UTC), like an MLSD listing.
//
// SFTP has no text mode: files always go byte for byte, whatever TransferType says.
//
// The server's host key is checked against known_hosts and HostTrust after the key exchange and
// before the user name is sent; a refused key ends the connection with untrustedKeyCode. The key
// types known_hosts lists for the server are asked for first, so a host known by one of its keys
// is met with that key. Only the methods OpenSSH 9 offers by default are offered; a server that
// wants weaker ones is refused with a message that names them. An upload that does not complete
// removes its file, at once or at the next login of the same user to the same server.
// Error codes and their texts are TransferFailure's, as for CurlFtpClient: 12002 timeout, 12007 no
// connection, 12056 connection lost, 12023 local file not writable, 12026 not readable, 530 for a
// refused login and 550 for an operation the server refused, with the reason in the text.
class SftpClient final : public FtpClient {
public:
    static constexpr unsigned long untrustedKeyCode = TransferFailure::untrustedKey;
    static constexpr long defaultTimeoutMilliseconds = 60000;
    // A folder listing ends here, as over FTP: names and records together, counted while they
    // are read. Entries beyond RemoteListing::maxEntries + 1 are not read either.
    static constexpr std::size_t maxListingBytes = 64 * 1024 * 1024;

    explicit SftpClient(std::shared_ptr<HostTrust> trust = nullptr);
    ~SftpClient() override;
    SftpClient(const SftpClient&) = delete;
    SftpClient& operator=(const SftpClient&) = delete;

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

    // Ends a login at once, with nothing more sent; a call on an open connection ends at the
    // next block of a transfer, and one the server does not answer after 300 ms, which costs
    // the connection (the next call logs in again).
    void cancel() override { cancelRequested_ = true; }
    void setProgress(TransferProgress progress) override { progress_ = std::move(progress); }
    void keepAlive() override;
    std::vector<std::string> takeNotices() override;

    const std::string& currentDirectory() const { return current_; }
    // "Verbindung verschlüsselt (SSH)" while connected (Windows-1252), else empty.
    std::string securityNotice() const;

    // How long one libssh2 call may take, on the wall clock, before it ends with a timeout; also
    // for an open connection. A server that keeps sending without answering cannot stretch it.
    void setTimeout(std::chrono::milliseconds timeout);

private:
    bool sendData(SftpHandle& file, UploadSource& local);
    void removePartial(const std::string& remote);
    void removePartialsOfEarlierConnections();
    bool openSession();
    bool openSessionOnce();
    void releaseSession();
    bool relogin();
    bool openSocket(const FtpServerAddress& address);
    bool authenticate(const std::string& user, const std::string& password);
    bool ensureConnected();
    bool ensureSendable(const std::string& name);
    bool takeCancel();
    bool failSession(const char* what);
    bool failServer(const char* what);
    bool failWith(FtpResponse failure);
    bool fail(unsigned long code, std::string text);
    bool succeed();
    std::string path(const std::string& name) const;

    std::shared_ptr<HostTrust> trust_;
    void* sftp_ = nullptr; // LIBSSH2_SFTP*
    mutable bool connected_ = false;
    std::string current_ = "/";
    struct Login {
        FtpServerAddress address;
        std::string user;
        std::string password;
    };
    std::optional<Login> login_; // while logged in, for a login again after a lost connection
    NoticeQueue notices_;
    FtpResponse response_;
    std::atomic<bool> cancelRequested_ = false;
    // The socket, the session and every libssh2 call on them, with its deadline and cancel.
    std::unique_ptr<SshIo> io_;
    // Partial uploads left when the connection broke, removed at the next login of the same
    // user to the same server ("host:port user").
    std::vector<std::string> partials_;
    std::string partialsOwner_;
    TransferProgress progress_;
    // Host key methods whose key was not the pinned one, during one openSession().
    std::vector<std::string> skippedKeyMethods_;
    bool otherKeyWanted_ = false;

    friend struct SftpCallbacks;
};

} // namespace vantiro
