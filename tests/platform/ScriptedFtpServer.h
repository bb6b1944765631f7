#pragma once

#include "support/ServerProcess.h"
#include "support/TempDir.h"

#include <string>

namespace vantiro::test {

// A small FTP server on 127.0.0.1 that answers the way real servers seldom do but may: a lone
// preliminary reply, multi-line replies with a line inside that looks like an end, a reply that
// trickles in byte by byte. It accepts any login and records every command it receives.
//
//     CWD /lone     150 and nothing after it
//     MKD /inner    "257-First line", "550 inner line", "257 Done"
//     DELE /inner   "550-Cannot delete", "250 inner line", "550 End"
//     CWD /trickle  a reply one byte every half second
//     CWD /endless  a multi-line reply that never ends
//     MKD /hang     257, then no reply to anything on that connection
//
// Other commands get a plain positive reply. With utf8 the server announces UTF8 and accepts
// OPTS UTF8 ON; without it, it announces no such feature.
class ScriptedFtpServer final {
public:
    explicit ScriptedFtpServer(bool utf8);

    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
    // Every command line received so far, each ended by "\n", the password left out.
    std::string commands() const;

private:
    TempDir folder_;
    int port_ = 0;
    ServerProcess process_;
};

} // namespace vantiro::test
