#pragma once

#include "core/ftp/FtpClient.h"
#include "platform/FtpServerAddress.h"

#include <atomic>

namespace vantiro {

// The TCP connection to a server, for a protocol that runs its own I/O on the socket.
class TcpConnector final {
public:
    TcpConnector() = delete;

    // A connected socket (non-blocking, close-on-exec) to the first of the server's addresses
    // that answers, or -1 with the reason in failure: the name not found, or no connection (also
    // when cancelRequested was set while waiting).
    static int open(const FtpServerAddress& address, const std::atomic<bool>& cancelRequested,
                    FtpResponse& failure);
};

} // namespace vantiro
