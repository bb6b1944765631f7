#include "support/ServerProcess.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace vantiro::test {
namespace {

class Socket final {
public:
    Socket() : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}
    ~Socket()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

} // namespace

ServerProcess::~ServerProcess()
{
    stop();
}

int ServerProcess::freePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool ok = fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
                    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    if (fd >= 0)
        close(fd);
    if (!ok)
        throw std::runtime_error("no free port on 127.0.0.1");
    return ntohs(address.sin_port);
}

bool ServerProcess::start(const std::vector<std::string>& args, const std::string& logPath,
                          const std::string& readyFile)
{
    return start(args, logPath, [&readyFile] {
        struct stat info = {};
        return ::stat(readyFile.c_str(), &info) == 0;
    });
}

bool ServerProcess::start(const std::vector<std::string>& args, const std::string& logPath,
                          const std::function<bool()>& isReady)
{
    stop();
    std::vector<std::string> copies = args;
    std::vector<char*> argv;
    for (std::string& arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    // A group of its own, so that stop() and pause() reach the processes that servers fork
    // for each connection too.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int spawned = posix_spawn(&pid_, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        pid_ = -1;
        throw std::runtime_error(args[0] + " cannot be started");
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        if (isReady())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    stop();
    return false;
}

void ServerProcess::pause()
{
    if (pid_ > 0)
        kill(-pid_, SIGSTOP);
}

void ServerProcess::resume()
{
    if (pid_ > 0)
        kill(-pid_, SIGCONT);
}

bool ServerProcess::greetsWithFtp(int port)
{
    const Socket client;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(client.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return false;
    pollfd readable{client.fd(), POLLIN, 0};
    char greeting[4] = {};
    return poll(&readable, 1, 2000) > 0 && recv(client.fd(), greeting, 3, MSG_WAITALL) == 3 &&
           std::string(greeting) == "220";
}

int ServerProcess::startOnFreePort(
    const std::function<std::vector<std::string>(const std::string&)>& args,
    const std::string& logPath, const std::function<bool(int)>& isReady)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        const int port = freePort();
        if (start(args(std::to_string(port)), logPath, [&] { return isReady(port); }))
            return port;
    }
    std::ifstream log(logPath);
    throw std::runtime_error(args("PORT").front() + " does not start:\n" +
                             std::string(std::istreambuf_iterator<char>(log), {}));
}

void ServerProcess::stop()
{
    if (pid_ <= 0)
        return;
    kill(-pid_, SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

} // namespace vantiro::test
