#pragma once

#include <libssh2.h>
#include <libssh2_sftp.h>

namespace vantiro {

class SshIo;

// An open remote file or folder, closed when it goes.
class SftpHandle final {
public:
    SftpHandle(SshIo& io, LIBSSH2_SFTP_HANDLE* handle) : io_(io), handle_(handle) {}
    ~SftpHandle();
    SftpHandle(const SftpHandle&) = delete;
    SftpHandle& operator=(const SftpHandle&) = delete;

    LIBSSH2_SFTP_HANDLE* get() const { return handle_; }
    // Closes now: a server reports a failed write of the last bytes only here.
    bool close();

private:
    SshIo& io_;
    LIBSSH2_SFTP_HANDLE* handle_;
};

} // namespace vantiro
