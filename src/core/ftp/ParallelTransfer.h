#pragma once

#include "core/ftp/FtpClient.h"
#include "core/ftp/FtpView.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vantiro {

// One UP or DOWN on several connections at once: the window's own and further ones logged in
// for the run. Each connection takes the next file no connection has taken yet, rides out an
// outage on its own thread, and the run's progress is counted over all of them.
class ParallelTransfer final {
public:
    // Logs a connection in with the login of the last CONNECT; called on the connections'
    // threads.
    using Login = std::function<bool(FtpClient&)>;
    using Pause = std::function<void(std::chrono::milliseconds)>;
    // Sends or fetches the file of the index on the connection; answers whether it went.
    using Task = std::function<bool(FtpClient&, std::size_t)>;

    // sizes are the bytes of each file, for the progress of the run; connections is how many
    // the run was meant to use, the window's own included. runStatus is the status line the
    // run goes back to after an outage.
    ParallelTransfer(FtpView& view, std::vector<std::uint64_t> sizes, std::size_t connections,
                     Login login, const Pause& pause, const std::atomic<bool>& stopRequested,
                     std::string runStatus);
    ParallelTransfer(const ParallelTransfer&) = delete;
    ParallelTransfer& operator=(const ParallelTransfer&) = delete;

    // A further connection, not yet logged in; it logs in when the run starts.
    void addConnection(std::unique_ptr<FtpClient> client);
    // Cancels the running calls of the further connections (the window's own is the caller's).
    void cancel();
    // The progress of the run before any file has gone.
    void showStart();
    // Runs the task for every file on main and the further connections; answers how many
    // succeeded. Blocks until every connection is done.
    std::size_t run(FtpClient& main, const Task& task);
    // What a connection's thread threw, thrown again once every thread is done.
    void rethrowFailure() const;
    // The note that the server refused further connections; empty when it refused none.
    std::string refusalNote() const;

private:
    // One file on one connection: retried after outages like the window's own transfers, but
    // waiting on that connection's own thread.
    bool sendRetrying(FtpClient& client, const std::function<bool()>& transfer);
    void work(FtpClient& client, std::size_t slot, const Task& task);
    void report();

    FtpView& view_;
    std::vector<std::uint64_t> sizes_;
    std::uint64_t totalBytes_ = 0;
    std::size_t connections_;
    Login login_;
    const Pause& pause_;
    const std::atomic<bool>& stopRequested_;
    std::string runStatus_;
    std::vector<std::unique_ptr<FtpClient>> helpers_;

    std::atomic<std::size_t> next_{0};
    std::atomic<std::size_t> done_{0};
    std::atomic<std::size_t> succeeded_{0};
    std::atomic<std::uint64_t> bytesOfDoneFiles_{0};
    std::vector<std::atomic<std::uint64_t>> currentBytes_;
    std::mutex refusalMutex_;
    int refused_ = 0;
    FtpResponse firstRefusal_;
    std::exception_ptr failure_;
};

} // namespace vantiro
