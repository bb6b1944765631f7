#pragma once

#include "core/ftp/FtpClient.h"

#include <libssh2.h>
#include <libssh2_sftp.h>

#include <functional>
#include <string>
#include <vector>

namespace vantiro {

class SshIo;

// Reads an open remote folder with its attributes, so that entries carry exact sizes and times
// (UTC), like an MLSD listing. The limits of a listing hold while it is read.
class SftpListingReader final {
public:
    enum class Outcome { Complete, Cancelled, Failed };

    // takeCancel is asked before each entry: true ends the read (it reports the cancel itself).
    SftpListingReader(SshIo& io, LIBSSH2_SFTP* sftp, std::function<bool()> takeCancel);

    // The entries of the open folder at path `folder` whose names match pattern. On Failed
    // libssh2's error says why, for the caller to report while the folder is still open.
    Outcome read(LIBSSH2_SFTP_HANDLE* handle, const std::string& folder, const std::string& pattern,
                 std::vector<FtpEntry>& entries);

    // Whether the attributes name an entry of the type (LIBSSH2_SFTP_S_IFDIR, ..._IFLNK).
    static bool hasType(const LIBSSH2_SFTP_ATTRIBUTES& attributes, unsigned long type);

private:
    SshIo& io_;
    LIBSSH2_SFTP* sftp_;
    std::function<bool()> takeCancel_;
};

} // namespace vantiro
