#pragma once

#include "core/ftp/FtpClient.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vantiro {

class HostTrust;

// The client the window and the tool use: the scheme of the server text picks the connection
// at every connect(), "sftp://" an SftpClient, anything else a CurlFtpClient (plain, explicit or
// implicit TLS). Both get the same HostTrust. After a successful connect() the first notice
// says how the connection is secured.
class SchemeFtpClient final : public FtpClient {
public:
    using Factory = std::function<std::unique_ptr<FtpClient>(const std::shared_ptr<HostTrust>&)>;

    explicit SchemeFtpClient(std::shared_ptr<HostTrust> trust);
    // For tests: other clients in place of the real ones.
    SchemeFtpClient(std::shared_ptr<HostTrust> trust, Factory ftp, Factory sftp);

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
    void setProgress(TransferProgress progress) override;
    void keepAlive() override;
    std::vector<std::string> takeNotices() override;

private:
    std::shared_ptr<HostTrust> trust_;
    Factory makeFtp_;
    Factory makeSftp_;
    std::unique_ptr<FtpClient> client_;
    bool sftp_ = false;
    TransferProgress progress_;
    std::vector<std::string> notices_;
    // cancel() comes from another thread and must not meet a client being replaced.
    std::mutex swap_;
    // A cancel that came while the connection of this connect() did not exist yet: the window
    // may press DISCONNECT the moment it has asked for a connect.
    bool cancelPending_ = false;
};

} // namespace vantiro
