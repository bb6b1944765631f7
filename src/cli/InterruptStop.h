#pragma once

namespace vantiro {

// Ctrl-C (SIGINT) or SIGTERM while files go: the files under way finish, no further one starts,
// and the run ends as usual, so that upload --sync still records what arrived. A second signal
// ends the program at once.
class InterruptStop final {
public:
    static void install();
    static bool requested();
};

} // namespace vantiro
