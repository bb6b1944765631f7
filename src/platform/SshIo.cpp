#include "platform/SshIo.h"

#include <algorithm>
#include <poll.h>
#include <sys/socket.h>

namespace vantiro {
namespace {

// The longest wait for the socket in one go: a cancel is noticed that soon.
constexpr long long waitStepMilliseconds = 100;
// Enough for the version line and the first key exchange packet.
constexpr std::size_t keptBytes = 64 * 1024;

} // namespace

SshIo::SshIo(const std::atomic<bool>& cancelRequested, bool& connected)
    : cancelRequested_(cancelRequested), connected_(connected)
{
}

bool SshIo::waitForSocket()
{
    for (;;) {
        if (abortNow())
            return false;
        const int directions = libssh2_session_block_directions(session_);
        short events = 0;
        if (directions & LIBSSH2_SESSION_BLOCK_INBOUND)
            events |= POLLIN;
        if (directions & LIBSSH2_SESSION_BLOCK_OUTBOUND)
            events |= POLLOUT;
        pollfd socket{socket_, events ? events : short(POLLIN), 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline_ - std::chrono::steady_clock::now());
        const int wait =
            static_cast<int>(std::clamp<long long>(left.count(), 0, waitStepMilliseconds));
        if (poll(&socket, 1, wait) != 0)
            return true;
    }
}

// Whether the running call must end now. A cancel ends a login at once; a call on an open
// connection gets a moment to finish, so that a transfer stopped between two blocks keeps the
// connection (and can remove its partial file) while a call the server does not answer ends
// within a second.
bool SshIo::abortNow()
{
    if (aborted_ != Abort::None)
        return true;
    const auto now = std::chrono::steady_clock::now();
    if (cancelRequested_) {
        if (!cancelSeen_)
            cancelSeen_ = now;
        if (!connected_ || now - *cancelSeen_ >= cancelGrace)
            aborted_ = Abort::Cancelled;
    }
    if (aborted_ == Abort::None && now >= deadline_)
        aborted_ = Abort::TimedOut;
    if (aborted_ == Abort::None)
        return false;
    connected_ = false;
    if (socket_ >= 0)
        shutdown(socket_, SHUT_RDWR);
    return true;
}

void SshIo::noteReceived(const void* bytes, std::size_t count)
{
    if (keepReceived_ && received_.size() < keptBytes)
        received_.append(static_cast<const char*>(bytes),
                         std::min(count, keptBytes - received_.size()));
}

void SshIo::clearReceived()
{
    received_.clear();
    received_.shrink_to_fit();
}

} // namespace vantiro
