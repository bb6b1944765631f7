#include "platform/SshFailure.h"

namespace vantiro {
namespace {

// What the server refused, in the words of an FTP reply.
std::string statusText(unsigned long status)
{
    switch (status) {
    case LIBSSH2_FX_NO_SUCH_FILE:
    case LIBSSH2_FX_NO_SUCH_PATH:
        return "Datei oder Ordner nicht vorhanden";
    case LIBSSH2_FX_PERMISSION_DENIED:
    case LIBSSH2_FX_WRITE_PROTECT:
        return "Zugriff verweigert";
    case LIBSSH2_FX_FILE_ALREADY_EXISTS:
        return "Datei oder Ordner existiert bereits";
    case LIBSSH2_FX_DIR_NOT_EMPTY:
        return "Ordner ist nicht leer";
    case LIBSSH2_FX_NOT_A_DIRECTORY:
        return "Kein Ordner";
    case LIBSSH2_FX_NO_SPACE_ON_FILESYSTEM:
    case LIBSSH2_FX_QUOTA_EXCEEDED:
        return "Kein Platz auf dem Server";
    default:
        return "Vorgang vom Server abgelehnt (SFTP-Status " + std::to_string(status) + ")";
    }
}

} // namespace

FtpResponse SshFailure::ofSession(LIBSSH2_SESSION* session, SshIo::Abort aborted, const char* what)
{
    if (aborted == SshIo::Abort::Cancelled)
        return FtpResponse{FtpClient::cancelledCode, TransferFailure::cancelledText};
    if (aborted == SshIo::Abort::TimedOut)
        return FtpResponse{TransferFailure::timeout, TransferFailure::timeoutText};
    char* message = nullptr;
    const int error = session ? libssh2_session_last_error(session, &message, nullptr, 0)
                              : LIBSSH2_ERROR_SOCKET_DISCONNECT;
    const std::string detail = message && *message ? std::string(": ") + message : "";
    switch (error) {
    case LIBSSH2_ERROR_TIMEOUT:
        return FtpResponse{TransferFailure::timeout, TransferFailure::timeoutText};
    case LIBSSH2_ERROR_SOCKET_DISCONNECT:
    case LIBSSH2_ERROR_SOCKET_RECV:
    case LIBSSH2_ERROR_SOCKET_SEND:
    case LIBSSH2_ERROR_SOCKET_TIMEOUT:
    case LIBSSH2_ERROR_BANNER_RECV:
    case LIBSSH2_ERROR_BANNER_SEND:
        return FtpResponse{TransferFailure::lostConnection,
                           TransferFailure::lostConnectionText + detail};
    default:
        return FtpResponse{sshCode, what + detail};
    }
}

FtpResponse SshFailure::ofServer(LIBSSH2_SESSION* session, LIBSSH2_SFTP* sftp, SshIo::Abort aborted,
                                 const char* what)
{
    if (!session || aborted != SshIo::Abort::None ||
        libssh2_session_last_errno(session) != LIBSSH2_ERROR_SFTP_PROTOCOL)
        return ofSession(session, aborted, what);
    const unsigned long status = libssh2_sftp_last_error(sftp);
    return FtpResponse{refusedByServerCode, "550 " + std::string(what) + ": " + statusText(status)};
}

} // namespace vantiro
