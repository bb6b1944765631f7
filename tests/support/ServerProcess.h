#pragma once

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vantiro::test {

// A test server in a child process: started with its output in a log file, ready when it has
// written a marker file or answers as it should, killed at the latest by the destructor.
class ServerProcess final {
public:
    ServerProcess() = default;
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // A port on 127.0.0.1 that nobody listens on right now.
    static int freePort();
    // True once a connection to port on 127.0.0.1 gets an FTP server's "220" greeting.
    static bool greetsWithFtp(int port);

    // Starts args[0] with args; true once readyFile exists, false when the process ended first
    // or 20 seconds passed (the process is killed then).
    bool start(const std::vector<std::string>& args, const std::string& logPath,
               const std::string& readyFile);
    // The same, ready once isReady() returns true; it is asked again every 20 ms.
    bool start(const std::vector<std::string>& args, const std::string& logPath,
               const std::function<bool()>& isReady);
    // Starts the server on a free port, built into its arguments by args; a port someone else
    // took between the probe and the server's bind makes the server end at once, and another is
    // tried. Returns the port; throws with the log's text when no attempt started.
    int startOnFreePort(const std::function<std::vector<std::string>(const std::string&)>& args,
                        const std::string& logPath, const std::function<bool(int)>& isReady);
    void stop();
    // Freezes the process (SIGSTOP): connections stay open, but nothing answers.
    void pause();
    void resume();
    // The process started, -1 when none runs.
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
};

} // namespace vantiro::test
