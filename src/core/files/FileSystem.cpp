#include "core/files/FileSystem.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace vantiro {

int FileSystem::createNew(const std::string& path)
{
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

ssize_t FileSystem::writev(int fd, const iovec* vectors, int count)
{
    return ::writev(fd, vectors, count);
}

int FileSystem::fsync(int fd)
{
    return ::fsync(fd);
}

int FileSystem::close(int fd)
{
    return ::close(fd);
}

int FileSystem::rename(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str());
}

int FileSystem::renameNoReplace(const std::string& from, const std::string& to)
{
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
}

int FileSystem::link(const std::string& from, const std::string& to)
{
    return ::link(from.c_str(), to.c_str());
}

int FileSystem::unlink(const std::string& path)
{
    return ::unlink(path.c_str());
}

FileSystem& FileSystem::system()
{
    static FileSystem real;
    return real;
}

} // namespace vantiro
