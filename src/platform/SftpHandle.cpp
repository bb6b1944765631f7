#include "platform/SftpHandle.h"

#include "platform/SshIo.h"

#include <utility>

namespace vantiro {

SftpHandle::~SftpHandle()
{
    if (handle_)
        close();
}

bool SftpHandle::close()
{
    LIBSSH2_SFTP_HANDLE* handle = std::exchange(handle_, nullptr);
    return io_.run([&] { return libssh2_sftp_close_handle(handle); }) == 0;
}

} // namespace vantiro
