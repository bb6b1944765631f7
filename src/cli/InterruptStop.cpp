#include "cli/InterruptStop.h"

#include <atomic>
#include <csignal>

namespace vantiro {
namespace {

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void requestStop(int)
{
    stopRequested = true;
}

} // namespace

void InterruptStop::install()
{
    struct sigaction action = {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    // The second signal meets the default action again and ends the program.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool InterruptStop::requested()
{
    return stopRequested;
}

} // namespace vantiro
