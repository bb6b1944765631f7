#include "platform/DownloadTarget.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantiro {
namespace {

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

mode_t permissionsForNewFile()
{
    // mkstemp creates the file for its owner only; a finished download gets the permissions an
    // ordinary new file would get.
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool isUnsupported(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == EPERM ||
           error == EMLINK;
}

} // namespace

DownloadTarget::DownloadTarget(std::string path) : path_(std::move(path)) {}

DownloadTarget::~DownloadTarget()
{
    discard();
}

bool DownloadTarget::open()
{
    // A fixed, short name: the target's own name may already use up the length a name can have.
    std::string pattern = folderOf(path_) + "/.vantiro-download-XXXXXX";
    fd_ = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0)
        return fail();
    temporary_ = pattern;
    return true;
}

bool DownloadTarget::write(const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return fail();
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool DownloadTarget::commit(bool failIfExists)
{
    if (fd_ < 0)
        return false;
    if (fchmod(fd_, permissionsForNewFile()) != 0 || fsync(fd_) != 0)
        return fail();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        return fail();

    if (failIfExists) {
        if (!placeWithoutReplacing())
            return false;
    } else if (rename(temporary_.c_str(), path_.c_str()) != 0) {
        return fail();
    }
    temporary_.clear();
    return true;
}

// link() fails when the name is taken, so an existing file cannot be replaced in the moment
// between a check and the move. File systems without hard links get the same guarantee from
// renameat2; only where neither exists is the name checked just before an ordinary rename.
bool DownloadTarget::placeWithoutReplacing()
{
    if (link(temporary_.c_str(), path_.c_str()) == 0) {
        unlink(temporary_.c_str());
        return true;
    }
    if (!isUnsupported(errno))
        return fail();
    if (renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, path_.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (!isUnsupported(errno))
        return fail();
    struct stat existing {};
    if (lstat(path_.c_str(), &existing) == 0) {
        error_ = EEXIST;
        return false;
    }
    return rename(temporary_.c_str(), path_.c_str()) == 0 || fail();
}

bool DownloadTarget::fail()
{
    error_ = errno;
    return false;
}

void DownloadTarget::discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        unlink(temporary_.c_str());
        temporary_.clear();
    }
}

} // namespace vantiro
