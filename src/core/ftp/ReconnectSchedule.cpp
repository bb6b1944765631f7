#include "core/ftp/ReconnectSchedule.h"

#include <algorithm>
#include <array>
#include <random>

namespace vantiro {

bool ReconnectSchedule::isConnectionFailure(unsigned long code)
{
    switch (code) {
    case 421:   // service closing the control connection
    case 426:   // connection closed, transfer aborted
    case 12002: // timeout: too few bytes moved
    case 12007: // no connection to the server
    case 12028: // libcurl's own timeout
    case 12030: // connection aborted
    case 12031: // connection reset
    case 12035: // TLS handshake cut off
    case 12052: // nothing received
    case 12055: // sending failed
    case 12056: // receiving failed: connection lost
        return true;
    default:
        return false;
    }
}

std::chrono::milliseconds ReconnectSchedule::pauseBefore(int attempt, double jitter)
{
    static constexpr std::array<int, attempts> seconds = {1, 5, 15, 30, 60};
    const int index = std::clamp(attempt, 1, attempts) - 1;
    const double base = seconds[static_cast<std::size_t>(index)] * 1000.0;
    return std::chrono::milliseconds(
        static_cast<long long>(base * (1.0 + std::clamp(jitter, 0.0, 1.0) / 5.0)));
}

double ReconnectSchedule::randomJitter()
{
    static thread_local std::mt19937 generator{std::random_device{}()};
    return std::uniform_real_distribution<double>(0.0, 1.0)(generator);
}

std::string ReconnectSchedule::statusText(int attempt, std::chrono::milliseconds pause)
{
    const long long seconds = (pause.count() + 500) / 1000;
    return "Verbindung unterbrochen - neuer Versuch " + std::to_string(attempt) + " von " +
           std::to_string(attempts) + " in " + std::to_string(seconds) + " s";
}

} // namespace vantiro
