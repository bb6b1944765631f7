#include "platform/SftpListingReader.h"

#include "core/ftp/FtpListingParser.h"
#include "core/ftp/RemoteListing.h"
#include "core/text/Wildcard.h"
#include "platform/FtpRemotePath.h"
#include "platform/SftpClient.h"
#include "platform/SshIo.h"

#include <algorithm>
#include <utility>

namespace vantiro {
namespace {

// Set by us, never by a server: the attributes of a readdir that reached the end of the folder.
constexpr unsigned long endOfFolder = 0xFFFFFFFFUL;
// Longer names exist on no file system a server runs on (PATH_MAX).
constexpr std::size_t maxNameBytes = 4096;

} // namespace

SftpListingReader::SftpListingReader(SshIo& io, LIBSSH2_SFTP* sftp,
                                     std::function<bool()> takeCancel)
    : io_(io), sftp_(sftp), takeCancel_(std::move(takeCancel))
{
}

SftpListingReader::Outcome SftpListingReader::read(LIBSSH2_SFTP_HANDLE* handle,
                                                   const std::string& folder,
                                                   const std::string& pattern,
                                                   std::vector<FtpEntry>& entries)
{
    // Room for any name an SFTP packet can carry, so that a long one is skipped here instead of
    // failing the folder in libssh2.
    std::vector<char> name(256 * 1024 + 1);
    std::vector<FtpEntry> all;
    // The limits hold while the folder is read, so an endless listing cannot fill the memory;
    // an entry counts with its name and the room its record takes.
    std::size_t bytes = 0;
    for (;;) {
        if (takeCancel_())
            return Outcome::Cancelled;
        LIBSSH2_SFTP_ATTRIBUTES attributes{};
        // libssh2 leaves the attributes alone at the end of the folder, and only there: an entry
        // with an empty name also reads as length 0.
        attributes.flags = endOfFolder;
        const int length = io_.run([&] {
            return libssh2_sftp_readdir_ex(handle, name.data(), name.size(), nullptr, 0,
                                           &attributes);
        });
        if (length == 0 && attributes.flags == endOfFolder)
            break;
        if (length < 0 && length != LIBSSH2_ERROR_BUFFER_TOO_SMALL)
            return Outcome::Failed;
        bytes += std::max(length, 0) + sizeof(FtpEntry);
        if (bytes > SftpClient::maxListingBytes)
            break;
        // No file can be named so: skipped, and the rest of the folder is read.
        if (length <= 0 || static_cast<std::size_t>(length) >= maxNameBytes)
            continue;
        FtpEntry entry;
        entry.name.assign(name.data(), static_cast<std::size_t>(length));
        // The pattern only looks at the name: a link the filter drops costs no stat.
        if (entry.name == "." || entry.name == ".." || !wildcardMatch(pattern, entry.name))
            continue;
        if (hasType(attributes, LIBSSH2_SFTP_S_IFLNK)) {
            // A link shows as what it leads to, as in an FTP listing.
            const std::string target = FtpRemotePath::join(folder, entry.name);
            LIBSSH2_SFTP_ATTRIBUTES followed{};
            if (io_.run([&] {
                    return libssh2_sftp_stat_ex(sftp_, target.c_str(),
                                                static_cast<unsigned int>(target.size()),
                                                LIBSSH2_SFTP_STAT, &followed);
                }) == 0)
                attributes = followed;
        }
        if (hasType(attributes, LIBSSH2_SFTP_S_IFDIR)) {
            entry.attributes = FtpEntry::directoryAttribute;
        } else {
            const bool readOnly = (attributes.flags & LIBSSH2_SFTP_ATTR_PERMISSIONS) != 0 &&
                                  (attributes.permissions & LIBSSH2_SFTP_S_IWUSR) == 0;
            entry.attributes =
                FtpEntry::normalAttribute | (readOnly ? FtpEntry::readOnlyAttribute : 0);
            if (attributes.flags & LIBSSH2_SFTP_ATTR_SIZE)
                entry.size = attributes.filesize;
        }
        if (attributes.flags & LIBSSH2_SFTP_ATTR_ACMODTIME)
            entry.lastWrite =
                FtpListingParser::timeFromUnixSeconds(static_cast<std::int64_t>(attributes.mtime));
        all.push_back(std::move(entry));
        // One more than a listing shows, so that it can tell that entries are missing.
        if (all.size() > RemoteListing::maxEntries)
            break;
    }
    entries = std::move(all);
    return Outcome::Complete;
}

bool SftpListingReader::hasType(const LIBSSH2_SFTP_ATTRIBUTES& attributes, unsigned long type)
{
    return (attributes.flags & LIBSSH2_SFTP_ATTR_PERMISSIONS) != 0 &&
           (attributes.permissions & LIBSSH2_SFTP_S_IFMT) == type;
}

} // namespace vantiro
