#pragma once

#include <chrono>
#include <string>

namespace vantiro {

// How a transfer of many files rides out an outage of the server: a dropped or stalled
// connection is logged in again after growing pauses (1, 5, 15, 30 and 60 s, each up to a fifth
// longer at random, so that several connections do not knock at the same moment), the file
// that failed is sent again, and only when the last try fails does it count as failed.
class ReconnectSchedule final {
public:
    static constexpr int attempts = 5;

    // Whether a failure code means the connection broke or stalled, rather than the server
    // refusing this file: a timeout, no or a lost connection, a TLS handshake cut off, or the
    // server closing the connection (421) or aborting the transfer (426).
    static bool isConnectionFailure(unsigned long code);

    // The pause before try attempt (1 to attempts); jitter from 0 to 1 lengthens it.
    static std::chrono::milliseconds pauseBefore(int attempt, double jitter);

    // A jitter value from the system's random source.
    static double randomJitter();

    // "Verbindung unterbrochen - neuer Versuch 2 von 5 in 5 s" (Windows-1252).
    static std::string statusText(int attempt, std::chrono::milliseconds pause);
};

} // namespace vantiro
