#include "core/ftp/ParallelTransfer.h"

#include "core/ftp/ReconnectSchedule.h"
#include "core/ftp/ResponseText.h"

#include <algorithm>
#include <numeric>
#include <thread>
#include <utility>

namespace vantiro {

ParallelTransfer::ParallelTransfer(FtpView& view, std::vector<std::uint64_t> sizes,
                                   std::size_t connections, Login login, const Pause& pause,
                                   const std::atomic<bool>& stopRequested, std::string runStatus)
    : view_(view), sizes_(std::move(sizes)),
      totalBytes_(std::accumulate(sizes_.begin(), sizes_.end(), std::uint64_t{0})),
      connections_(connections), login_(std::move(login)), pause_(pause),
      stopRequested_(stopRequested), runStatus_(std::move(runStatus))
{
}

void ParallelTransfer::addConnection(std::unique_ptr<FtpClient> client)
{
    helpers_.push_back(std::move(client));
}

void ParallelTransfer::cancel()
{
    for (const std::unique_ptr<FtpClient>& helper : helpers_)
        helper->cancel();
}

void ParallelTransfer::showStart()
{
    view_.showRunProgress(0, sizes_.size(), 0, totalBytes_);
}

bool ParallelTransfer::sendRetrying(FtpClient& client, const std::function<bool()>& transfer)
{
    using std::chrono::milliseconds;
    for (int attempt = 1;; ++attempt) {
        if (transfer())
            return true;
        const bool broken = ReconnectSchedule::isConnectionFailure(client.lastResponse().code) ||
                            !client.connected();
        if (!broken || stopRequested_ || attempt > ReconnectSchedule::attempts)
            return false;
        const milliseconds pause =
            ReconnectSchedule::pauseBefore(attempt, ReconnectSchedule::randomJitter());
        view_.showRunStatus(ReconnectSchedule::statusText(attempt, pause));
        constexpr milliseconds slice{100};
        for (milliseconds waited{0}; waited < pause && !stopRequested_; waited += slice)
            pause_(std::min(slice, pause - waited));
        if (stopRequested_)
            return false;
        // A failed login shows at the next try of the file, which fails on the dead connection.
        if (login_(client))
            view_.showRunStatus(runStatus_);
    }
}

// Only thread-safe parts of the view are touched here: the connections report from their
// own threads.
void ParallelTransfer::report()
{
    std::uint64_t bytes = bytesOfDoneFiles_;
    for (const std::atomic<std::uint64_t>& current : currentBytes_)
        bytes += current;
    view_.showRunProgress(done_, sizes_.size(), std::min(bytes, totalBytes_), totalBytes_);
}

void ParallelTransfer::work(FtpClient& client, std::size_t slot, const Task& task)
{
    const std::size_t total = sizes_.size();
    client.setProgress([this, slot](std::uint64_t bytes, std::uint64_t) {
        currentBytes_[slot] = bytes;
        report();
    });
    for (std::size_t index = next_++; index < total && !stopRequested_; index = next_++) {
        const bool ok = sendRetrying(client, [&] { return task(client, index); });
        currentBytes_[slot] = 0;
        bytesOfDoneFiles_ += sizes_[index];
        ++done_;
        if (ok)
            ++succeeded_;
        report();
        // A connection still dead after every try leaves the rest to the others.
        if (!client.connected())
            break;
    }
    client.setProgress(nullptr);
}

// The window's connection starts at once while the further ones log in beside it. A further
// connection the server refuses leaves its share to the others.
std::size_t ParallelTransfer::run(FtpClient& main, const Task& task)
{
    currentBytes_ = std::vector<std::atomic<std::uint64_t>>(helpers_.size() + 1);
    std::vector<std::jthread> threads;
    for (std::size_t slot = 1; slot <= helpers_.size(); ++slot) {
        threads.emplace_back([this, slot, &task] {
            FtpClient& helper = *helpers_[slot - 1];
            try {
                if (!login_(helper)) {
                    const std::lock_guard lock(refusalMutex_);
                    if (refused_++ == 0)
                        firstRefusal_ = helper.lastResponse();
                    return;
                }
                work(helper, slot, task);
            } catch (...) {
                const std::lock_guard lock(refusalMutex_);
                if (!failure_)
                    failure_ = std::current_exception();
            }
            helper.close();
        });
    }
    work(main, 0, task);
    threads.clear();
    return succeeded_;
}

void ParallelTransfer::rethrowFailure() const
{
    if (failure_)
        std::rethrow_exception(failure_);
}

std::string ParallelTransfer::refusalNote() const
{
    if (refused_ == 0)
        return {};
    const std::size_t working = connections_ - static_cast<std::size_t>(refused_);
    return "Der Server hat " + std::to_string(refused_) + " von " + std::to_string(connections_) +
           " Verbindungen abgelehnt (" + responseText(firstRefusal_) + "); es geht mit " +
           std::to_string(working) + " Verbindung" + (working == 1 ? "" : "en") + " weiter";
}

} // namespace vantiro
