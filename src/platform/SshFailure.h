#pragma once

#include "core/ftp/FtpClient.h"
#include "platform/SshIo.h"
#include "platform/TransferFailure.h"

#include <libssh2.h>
#include <libssh2_sftp.h>

#include <string>

namespace vantiro {

// What a failed libssh2 call means, as the code and text of an FTP reply: the codes are
// TransferFailure's, as for the FTP client, and a refusal by the server reads as a 550 reply.
class SshFailure final {
public:
    SshFailure() = delete;

    static constexpr unsigned long sshCode = TransferFailure::base + 79;
    static constexpr unsigned long refusedByServerCode = 550;

    // Why the session's last call failed (cancelledCode, a timeout, a lost connection or
    // sshCode with `what` and libssh2's reason); `aborted` is why SshIo ended the call, if it did.
    static FtpResponse ofSession(LIBSSH2_SESSION* session, SshIo::Abort aborted, const char* what);
    // As ofSession, but a request the SFTP server refused says why in the words of an FTP reply.
    static FtpResponse ofServer(LIBSSH2_SESSION* session, LIBSSH2_SFTP* sftp, SshIo::Abort aborted,
                                const char* what);
};

} // namespace vantiro
