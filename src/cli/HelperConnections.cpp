#include "cli/HelperConnections.h"

#include "cli/FtpCommandSupport.h"

#include <cstdio>

namespace vantiro {

HelperConnections::HelperConnections(const CommandLine& line, int count, std::string command)
    : command_(std::move(command)), count_(count)
{
    for (int helper = 0; helper < count; ++helper)
        threads_.emplace_back([this, &line] { run(line); });
}

HelperConnections::~HelperConnections()
{
    start(nullptr);
    join();
}

void HelperConnections::start(std::function<void(FtpClient&)> work)
{
    {
        const std::lock_guard lock(mutex_);
        if (started_)
            return;
        started_ = true;
        work_ = std::move(work);
    }
    released_.notify_all();
}

void HelperConnections::join()
{
    for (std::thread& thread : threads_)
        if (thread.joinable())
            thread.join();
}

void HelperConnections::run(const CommandLine& line)
{
    const std::unique_ptr<FtpClient> connection = FtpCommandSupport::makeClient(line);
    FtpClient& client = *connection;
    const bool granted = FtpCommandSupport::connect(client, line);
    attempted(granted, client.lastResponse());
    std::function<void(FtpClient&)> work;
    {
        std::unique_lock lock(mutex_);
        released_.wait(lock, [this] { return started_; });
        work = work_;
    }
    if (granted && work)
        work(client);
    client.close();
}

void HelperConnections::attempted(bool granted, const FtpResponse& response)
{
    const std::lock_guard lock(mutex_);
    ++attempts_;
    if (!granted && refused_++ == 0)
        firstRefusal_ = response;
    if (attempts_ < count_ || refused_ == 0)
        return;
    // One note for all refusals, once the last further connection has had its answer.
    const int working = 1 + count_ - refused_;
    std::fprintf(stderr,
                 "vantiro-cli %s: Der Server hat %d von %d Verbindungen abgelehnt (%s); es geht "
                 "mit %d Verbindung%s weiter\n",
                 command_.c_str(), refused_, count_ + 1,
                 FtpCommandSupport::describe(firstRefusal_).c_str(), working,
                 working == 1 ? "" : "en");
    std::fflush(stderr);
}

} // namespace vantiro
