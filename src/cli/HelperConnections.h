#pragma once

#include "core/ftp/FtpClient.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantiro {

class CommandLine;

// The connections of one command beside its first. They log in at once, while the first one is
// still preparing the folders, and wait for start() to give them their work. A server that grants
// fewer connections (421 "too many connections", or a 530 at the login of a further connection)
// leaves the work to the connections it did grant: the refused ones are dropped, and stderr says
// so once.
class HelperConnections final {
public:
    HelperConnections(const CommandLine& line, int count, std::string command);
    HelperConnections(const HelperConnections&) = delete;
    HelperConnections& operator=(const HelperConnections&) = delete;
    // Releases connections that never got work and waits for all of them.
    ~HelperConnections();

    // Runs work on every connection that logged in, each on its own thread; the connection is
    // closed after it.
    void start(std::function<void(FtpClient&)> work);
    // Waits until every connection has done its work.
    void join();

private:
    void run(const CommandLine& line);
    void attempted(bool granted, const FtpResponse& response);

    std::string command_;
    int count_ = 0;
    std::mutex mutex_;
    std::condition_variable released_;
    bool started_ = false;
    std::function<void(FtpClient&)> work_;
    int attempts_ = 0;
    int refused_ = 0;
    FtpResponse firstRefusal_;
    std::vector<std::thread> threads_;
};

} // namespace vantiro
