#include "platform/SchemeFtpClient.h"

#include "platform/CurlFtpClient.h"
#include "platform/FtpServerAddress.h"
#include "platform/HostTrust.h"
#include "platform/SftpClient.h"
#include "platform/TransferFailure.h"

namespace vantiro {
namespace {

// A client that is never connected: every call before the first connect() fails like the real
// clients do without a connection.
class NoConnection final : public FtpClient {
public:
    bool connect(const std::string&, const std::string&, const std::string&, bool) override
    {
        return false;
    }
    void close() override {}
    bool connected() const override { return false; }
    bool setCurrentDirectory(const std::string&) override { return false; }
    bool findFiles(const std::string&, std::vector<FtpEntry>& entries) override
    {
        entries.clear();
        return false;
    }
    bool getFile(const std::string&, const std::string&, bool, TransferType) override
    {
        return false;
    }
    bool putFile(const std::string&, const std::string&, TransferType) override { return false; }
    bool deleteFile(const std::string&) override { return false; }
    bool removeDirectory(const std::string&) override { return false; }
    bool createDirectory(const std::string&) override { return false; }
    bool renameFile(const std::string&, const std::string&) override { return false; }
    FtpResponse lastResponse() const override
    {
        return {TransferFailure::noConnection, TransferFailure::noConnectionText};
    }
};

std::unique_ptr<FtpClient> makeCurlClient(const std::shared_ptr<HostTrust>& trust)
{
    auto client = std::make_unique<CurlFtpClient>();
    client->setHostTrust(trust);
    return client;
}

std::unique_ptr<FtpClient> makeSftpClient(const std::shared_ptr<HostTrust>& trust)
{
    return std::make_unique<SftpClient>(trust);
}

std::string securityNotice(FtpClient& client)
{
    if (auto* curl = dynamic_cast<CurlFtpClient*>(&client))
        return curl->securityNotice();
    if (auto* sftp = dynamic_cast<SftpClient*>(&client))
        return sftp->securityNotice();
    return {};
}

} // namespace

SchemeFtpClient::SchemeFtpClient(std::shared_ptr<HostTrust> trust)
    : SchemeFtpClient(std::move(trust), &makeCurlClient, &makeSftpClient)
{
}

SchemeFtpClient::SchemeFtpClient(std::shared_ptr<HostTrust> trust, Factory ftp, Factory sftp)
    : trust_(trust ? std::move(trust) : std::make_shared<HostTrust>()), makeFtp_(std::move(ftp)),
      makeSftp_(std::move(sftp)), client_(std::make_unique<NoConnection>())
{
}

bool SchemeFtpClient::connect(const std::string& server, const std::string& user,
                              const std::string& password, bool passive)
{
    const auto address = FtpServerAddress::parse(server);
    const bool sftp = address && address->scheme == FtpServerAddress::Scheme::Sftp;
    // The old connection ends first either way, as a connect() of one client ends its last one.
    client_->close();
    if (sftp != sftp_ || dynamic_cast<NoConnection*>(client_.get())) {
        std::unique_ptr<FtpClient> next = sftp ? makeSftp_(trust_) : makeFtp_(trust_);
        const std::lock_guard lock(swap_);
        client_ = std::move(next);
        sftp_ = sftp;
        if (progress_)
            client_->setProgress(progress_);
        if (cancelPending_)
            client_->cancel();
    }
    {
        const std::lock_guard lock(swap_);
        cancelPending_ = false;
    }
    if (!client_->connect(server, user, password, passive))
        return false;
    const std::string notice = securityNotice(*client_);
    if (!notice.empty())
        notices_.push_back(notice);
    return true;
}

void SchemeFtpClient::close()
{
    client_->close();
}

bool SchemeFtpClient::connected() const
{
    return client_->connected();
}

bool SchemeFtpClient::setCurrentDirectory(const std::string& path)
{
    return client_->setCurrentDirectory(path);
}

bool SchemeFtpClient::findFiles(const std::string& pattern, std::vector<FtpEntry>& entries)
{
    return client_->findFiles(pattern, entries);
}

bool SchemeFtpClient::getFile(const std::string& remoteName, const std::string& localPath,
                              bool failIfExists, TransferType type)
{
    return client_->getFile(remoteName, localPath, failIfExists, type);
}

bool SchemeFtpClient::putFile(const std::string& localPath, const std::string& remoteName,
                              TransferType type)
{
    return client_->putFile(localPath, remoteName, type);
}

bool SchemeFtpClient::deleteFile(const std::string& name)
{
    return client_->deleteFile(name);
}

bool SchemeFtpClient::removeDirectory(const std::string& name)
{
    return client_->removeDirectory(name);
}

bool SchemeFtpClient::createDirectory(const std::string& name)
{
    return client_->createDirectory(name);
}

bool SchemeFtpClient::renameFile(const std::string& from, const std::string& to)
{
    return client_->renameFile(from, to);
}

FtpResponse SchemeFtpClient::lastResponse() const
{
    return client_->lastResponse();
}

void SchemeFtpClient::cancel()
{
    const std::lock_guard lock(swap_);
    // A real client keeps a cancel for its own next call; only the stand-in before the first
    // connect cannot, so the cancel waits here for the client that connect() makes.
    cancelPending_ = dynamic_cast<NoConnection*>(client_.get()) != nullptr;
    client_->cancel();
}

void SchemeFtpClient::setProgress(TransferProgress progress)
{
    progress_ = progress;
    client_->setProgress(std::move(progress));
}

void SchemeFtpClient::keepAlive()
{
    client_->keepAlive();
}

std::vector<std::string> SchemeFtpClient::takeNotices()
{
    std::vector<std::string> notices = std::move(notices_);
    notices_.clear();
    for (std::string& notice : client_->takeNotices())
        notices.push_back(std::move(notice));
    return notices;
}

} // namespace vantiro
