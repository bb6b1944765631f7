#pragma once

#include "core/ftp/FtpClient.h"
#include "core/ftp/FtpView.h"
#include "core/ftp/ParallelTransfer.h"
#include "core/ftp/RemoteListing.h"
#include "core/ftp/ResponseText.h"
#include "core/ftp/StatusLine.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vantiro {

using FtpClientFactory = std::function<std::unique_ptr<FtpClient>()>;

// Everything the FTP window does, without the window: connection, the remote listing and the
// location text, transfers and remote file operations. The window forwards its events to the
// handlers and shows what the session passes to its FtpView.
class FtpSession final {
public:
    // The factory stands for opening a session: it may answer nullptr when none can be opened.
    FtpSession(FtpView& view, FtpClientFactory factory);
    ~FtpSession();
    FtpSession(const FtpSession&) = delete;
    FtpSession& operator=(const FtpSession&) = delete;

    // Start values of an opening of the window: ASCII transfers, disconnected.
    void load();
    // Releases the connection, then the session, each at most once.
    void unload();

    void connect();
    void disconnect();
    void refresh();
    void serverLineClicked();
    void serverLineDoubleClicked();
    void selectTransferType(vantiro::TransferType type);
    void upload();
    void download();
    void showRemoteFile();
    void deleteRemoteEntry();
    void renameRemoteEntry();
    void makeRemoteDirectory();

    // Keeps an idle connection alive; the window calls it every few seconds. Does nothing while
    // another call runs or when not connected.
    void keepAlive();

    // While a client call runs (the window keeps handling events meanwhile) or UP or DOWN goes
    // through its files, every handler but disconnect() does nothing. disconnect() then cancels:
    // the running call (a connect attempt, the current file of a transfer) fails at once, the
    // handler ends there, and the connection is closed.
    bool running() const { return callRunning_ || transferRunning_; }
    bool transferRunning() const { return transferRunning_; }
    void requestStop();

    bool connected() const { return connected_; }

    // How the pauses before a new login are waited out, in slices of at most a tenth of a
    // second; between them the window's events run and DISCONNECT ends the wait. Tests hand in
    // one that does not sleep.
    using Pause = std::function<void(std::chrono::milliseconds)>;
    void setPause(Pause pause) { pause_ = std::move(pause); }
    vantiro::TransferType currentTransferType() const { return transferType_; }

    // How many connections UP and DOWN use at most: the window's own plus further ones logged in
    // for the run. With 1, or for a single file, every file goes over the window's connection.
    static constexpr int defaultConnections = 4;
    void setConnections(int count) { connections_ = std::max(count, 1); }

private:
    struct ConnectionLost {};
    struct Stopped {};

    template <typename Handler> void guarded(Handler handler);
    void checkConnection() const;
    // Runs one blocking client call through the view; ends the handler when it was cancelled.
    template <typename Call> bool blocking(Call call);
    // One call behind the busy pointer under its status line, with the server's answer shown.
    template <typename Call> bool step(const std::string& status, Call call);
    void stopAndDisconnect();
    void dropConnection();
    void showDisconnected();
    void closeHandles();
    void setLocationText(std::string text);
    const FtpEntry* currentEntry() const;
    // The current entry, or nullptr after telling the user that no line is chosen.
    const FtpEntry* pickedEntry();
    // Shows the server's answer to the call just made; ends the handler when the connection
    // is gone.
    bool answered(bool ok);
    void showFolderOrTell(bool changed, const std::string& failure);

    void showServerResponse();
    void takeNotices();
    bool setRemotePath(const std::string& path);
    void readRemoteDirectory(const std::string& location);
    void sortListing();
    bool downloadFile(const std::string& location, const FtpEntry& file,
                      const std::string& localFolder);
    bool downloadTo(const std::string& location, const FtpEntry& file,
                    const std::string& localPath);
    void uploadFile(const std::string& localPath);
    template <typename Transfer> bool withReconnect(Transfer transfer);
    // Runs task for every index below sizes.size() on up to connections_ connections at once;
    // sizes are the bytes of each file, for the progress of the run. Answers how many succeeded.
    std::size_t runOnConnections(const std::vector<std::uint64_t>& sizes,
                                 const ParallelTransfer::Task& task);
    bool parallelRun(std::size_t files) const;
    void uploadOnConnections(const std::string& localFolder, const std::vector<std::string>& names);
    void downloadOnConnections(const std::vector<FtpEntry>& files, const std::string& localFolder);
    // The remote folder of the location text, ending in "/".
    std::string remoteFolder() const;
    TransferProgress fileProgressSink();
    void reconnectAfterPause(int attempt);
    void showFolder();
    void goUp();
    void goDown(const std::string& name);

    FtpView& view_;
    FtpClientFactory factory_;

    std::string serverName_;
    std::unique_ptr<FtpClient> client_;
    bool connected_ = false;
    vantiro::TransferType transferType_ = vantiro::TransferType::Ascii;
    RemoteListing listing_;
    std::string locationText_;

    bool transferRunning_ = false;
    bool callRunning_ = false;
    bool inHandler_ = false;
    StatusLine status_{view_};
    // Set by the window's thread while the run's connections read it on theirs.
    std::atomic<bool> stopRequested_{false};
    int connections_ = defaultConnections;
    // The run of a running UP or DOWN on several connections, for DISCONNECT to cancel.
    ParallelTransfer* parallel_ = nullptr;
    // The size the listing shows for the file being downloaded; read on the transfer's thread.
    std::atomic<std::uint64_t> listedSize_{0};

    // The login of the last CONNECT, for logging in again after an outage.
    struct Login {
        std::string server;
        std::string user;
        std::string password;
        bool passive = true;
    };
    Login login_;
    Pause pause_;
};

} // namespace vantiro
