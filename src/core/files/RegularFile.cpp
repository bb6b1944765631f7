#include "core/files/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantiro {

int RegularFile::openForReading(const std::string& path)
{
    struct stat before = {};
    if (::stat(path.c_str(), &before) != 0 || !S_ISREG(before.st_mode))
        return -1;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat opened = {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace vantiro
