#include "platform/TcpConnector.h"

#include "platform/TransferFailure.h"

#include <cerrno>
#include <memory>
#include <netdb.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace vantiro {
namespace {

constexpr int connectTimeoutMilliseconds = 30000;

} // namespace

int TcpConnector::open(const FtpServerAddress& address, const std::atomic<bool>& cancelRequested,
                       FtpResponse& failure)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(address.host.c_str(), std::to_string(address.port).c_str(), &hints, &found) !=
        0) {
        failure =
            FtpResponse{TransferFailure::base + 6, "Servername nicht gefunden: " + address.host};
        return -1;
    }
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> results(found, &freeaddrinfo);
    for (const addrinfo* candidate = found; candidate; candidate = candidate->ai_next) {
        const int fd =
            socket(candidate->ai_family, candidate->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                   candidate->ai_protocol);
        if (fd < 0)
            continue;
        bool ready = ::connect(fd, candidate->ai_addr, candidate->ai_addrlen) == 0;
        if (!ready && errno == EINPROGRESS) {
            // Short polls, so that cancel() is noticed while a server does not answer.
            for (int waited = 0; waited < connectTimeoutMilliseconds && !cancelRequested;
                 waited += 200) {
                pollfd writable{fd, POLLOUT, 0};
                if (poll(&writable, 1, 200) > 0) {
                    int error = 0;
                    socklen_t length = sizeof error;
                    ready =
                        getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
                    break;
                }
            }
        }
        if (ready)
            return fd;
        ::close(fd);
    }
    failure =
        FtpResponse{TransferFailure::noConnection, "Keine Verbindung zu " + address.authority()};
    return -1;
}

} // namespace vantiro
