#include "platform/UploadSource.h"

#include "core/files/RegularFile.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vantiro {

UploadSource::UploadSource(std::string path) : path_(std::move(path))
{
    fd_ = RegularFile::openForReading(path_);
    struct stat info = {};
    if (fd_ >= 0 && ::fstat(fd_, &info) == 0)
        size_ = static_cast<std::uint64_t>(info.st_size);
}

UploadSource::~UploadSource()
{
    if (fd_ >= 0)
        ::close(fd_);
}

ssize_t UploadSource::read(char* buffer, std::size_t capacity)
{
    ssize_t count = 0;
    do {
        count = ::read(fd_, buffer, capacity);
    } while (count < 0 && errno == EINTR);
    return count;
}

void UploadSource::rewind()
{
    ::lseek(fd_, 0, SEEK_SET);
}

std::string UploadSource::failureText() const
{
    return "Die lokale Datei kann nicht gelesen werden: " + path_;
}

} // namespace vantiro
