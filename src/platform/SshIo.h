#pragma once

#include <libssh2.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <type_traits>

namespace vantiro {

// Every libssh2 call of one SSH connection runs here: its own deadline on the wall clock, the
// waits for the socket in short steps, and an end at once on a cancel or at the deadline. A call
// that was ended leaves the session unusable (libssh2 cannot take up a call it did not finish),
// so the socket is shut down and the next call logs in again.
class SshIo final {
public:
    enum class Abort { None, Cancelled, TimedOut };

    // Both belong to the client that owns this: the cancel it was asked for, and whether it is
    // logged in (a cancel ends a login at once; an ended call counts as a lost connection).
    explicit SshIo(const std::atomic<bool>& cancelRequested, bool& connected);
    SshIo(const SshIo&) = delete;
    SshIo& operator=(const SshIo&) = delete;

    int socket() const { return socket_; }
    void setSocket(int socket) { socket_ = socket; }
    LIBSSH2_SESSION* session() const { return session_; }
    void setSession(LIBSSH2_SESSION* session) { session_ = session; }
    std::chrono::milliseconds timeout() const { return timeout_; }
    void setTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
    // Why the last call was ended, if it was.
    Abort aborted() const { return aborted_; }

    // Runs a libssh2 call of the non-blocking session until it no longer waits for the socket.
    template <typename Call> auto run(Call call) -> decltype(call())
    {
        deadline_ = std::chrono::steady_clock::now() + timeout_;
        aborted_ = Abort::None;
        cancelSeen_.reset();
        for (;;) {
            auto result = call();
            bool blocked = false;
            if constexpr (std::is_pointer_v<decltype(result)>)
                blocked = result == nullptr && session_ &&
                          libssh2_session_last_errno(session_) == LIBSSH2_ERROR_EAGAIN;
            else
                blocked = result == LIBSSH2_ERROR_EAGAIN;
            if (!blocked || !waitForSocket())
                return result;
        }
    }
    // Whether the running call must end now; from then on nothing goes out or comes in.
    bool abortNow();

    // The server's first bytes during the handshake, kept while keepReceived(true) holds, up to
    // its first key exchange packet: they explain a key exchange that found nothing in common.
    void keepReceived(bool keep) { keepReceived_ = keep; }
    void noteReceived(const void* bytes, std::size_t count);
    const std::string& received() const { return received_; }
    void clearReceived();

private:
    bool waitForSocket();

    static constexpr std::chrono::milliseconds cancelGrace{300};

    const std::atomic<bool>& cancelRequested_;
    bool& connected_;
    int socket_ = -1;
    LIBSSH2_SESSION* session_ = nullptr;
    std::chrono::milliseconds timeout_{60000};
    // The running call: when it must end, why it was ended, and when a cancel came.
    std::chrono::steady_clock::time_point deadline_;
    Abort aborted_ = Abort::None;
    std::optional<std::chrono::steady_clock::time_point> cancelSeen_;
    bool keepReceived_ = false;
    std::string received_;
};

} // namespace vantiro
