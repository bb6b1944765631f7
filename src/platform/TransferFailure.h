#pragma once

#include "core/ftp/FtpClient.h"
#include "core/text/Cp1252Literal.h"

namespace vantiro {

// The codes and texts every client gives when the connection or a local file fails, so that the
// window and the tool need not know which client answered. A code is 12000 plus libcurl's number
// for the same failure, except the timeout, which keeps the 12002 of the uploader's first days.
struct TransferFailure final {
    static constexpr unsigned long base = 12000;
    static constexpr unsigned long timeout = base + 2;
    static constexpr unsigned long malformed = base + 3; // an address or name that cannot be sent
    static constexpr unsigned long noConnection = base + 7;
    static constexpr unsigned long localWrite = base + 23;
    static constexpr unsigned long localRead = base + 26;
    static constexpr unsigned long lostConnection = base + 56;
    static constexpr unsigned long untrustedKey = base + 60;

    static constexpr const char* timeoutText =
        "Zeitüberschreitung: Der Server antwortet zu langsam"_cp1252;
    static constexpr const char* noConnectionText = "Keine Verbindung zum Server";
    static constexpr const char* lostConnectionText = "Verbindung zum Server unterbrochen";
    static constexpr const char* cancelledText = "Abgebrochen";
    static constexpr const char* reloginNotice = "Verbindung wiederhergestellt";
};

// The window names the cause of a failed connect by these codes.
static_assert(TransferFailure::timeout == FtpResponse::timeoutCode);
static_assert(TransferFailure::noConnection == FtpResponse::noConnectionCode);
static_assert(TransferFailure::untrustedKey == FtpResponse::untrustedCode);

} // namespace vantiro
