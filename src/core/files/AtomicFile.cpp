#include "core/files/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <unistd.h>

namespace vantiro {
namespace {

std::atomic<unsigned> temporaryCounter{0};

pid_t processId()
{
    static const pid_t id = getpid();
    return id;
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The answers of a file system that lacks the call (FAT and exFAT give EPERM for link(), some
// network file systems EOPNOTSUPP, older kernels EINVAL for rename flags).
bool isUnsupported(int error)
{
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EINVAL ||
           error == EMLINK;
}

} // namespace

AtomicFile::AtomicFile(std::string path, FileSystem& fileSystem)
    : fileSystem_(fileSystem), path_(std::move(path))
{
}

AtomicFile::~AtomicFile()
{
    discard();
}

bool AtomicFile::open()
{
    // The target's name is left out of the temporary one: a name near the length limit would
    // leave no room for the additions.
    const std::string folder = folderOf(path_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = folder + ".vantiro." + std::to_string(processId()) + "." +
                                std::to_string(temporaryCounter++) + ".tmp";
        fd_ = fileSystem_.createNew(candidate);
        if (fd_ >= 0) {
            temporary_ = std::move(candidate);
            return true;
        }
        if (errno != EEXIST)
            return fail();
    }
    return failWith(EEXIST);
}

bool AtomicFile::write(std::vector<std::string_view> parts)
{
    if (fd_ < 0)
        return failWith(EBADF);
    std::erase_if(parts, [](std::string_view part) { return part.empty(); });
    size_t next = 0;
    while (next < parts.size()) {
        std::vector<iovec> vectors;
        for (size_t i = next; i < parts.size() && vectors.size() < IOV_MAX; ++i)
            vectors.push_back({const_cast<char*>(parts[i].data()), parts[i].size()});
        const ssize_t written =
            fileSystem_.writev(fd_, vectors.data(), static_cast<int>(vectors.size()));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return fail();
        if (written == 0)
            return failWith(EIO);
        auto left = static_cast<size_t>(written);
        while (next < parts.size() && left >= parts[next].size())
            left -= parts[next++].size();
        if (next < parts.size())
            parts[next].remove_prefix(left);
    }
    return true;
}

bool AtomicFile::commit(Placement placement, bool durable)
{
    if (fd_ < 0)
        return failWith(EBADF);
    if (durable && fileSystem_.fsync(fd_) != 0)
        return fail();
    const int fd = fd_;
    fd_ = -1;
    if (fileSystem_.close(fd) != 0)
        return fail();

    if (placement == Placement::KeepExisting) {
        if (!placeWithoutReplacing())
            return false;
    } else if (fileSystem_.rename(temporary_, path_) != 0) {
        return fail();
    }
    temporary_.clear();
    return true;
}

// link() refuses a taken name, so a file that appears between a check and the move is never
// replaced. File systems without hard links get the same from renameat2; where that is missing
// too, the name is claimed with an exclusive create and the finished file moved over that empty
// claim, which is the program's own.
bool AtomicFile::placeWithoutReplacing()
{
    if (fileSystem_.link(temporary_, path_) == 0) {
        fileSystem_.unlink(temporary_);
        return true;
    }
    if (!isUnsupported(errno))
        return fail();
    if (fileSystem_.renameNoReplace(temporary_, path_) == 0)
        return true;
    if (!isUnsupported(errno))
        return fail();
    const int claim = fileSystem_.createNew(path_);
    if (claim < 0)
        return fail();
    fileSystem_.close(claim);
    if (fileSystem_.rename(temporary_, path_) == 0)
        return true;
    const int renameError = errno;
    fileSystem_.unlink(path_);
    return failWith(renameError);
}

bool AtomicFile::fail()
{
    return failWith(errno);
}

bool AtomicFile::failWith(int error)
{
    error_ = error;
    return false;
}

void AtomicFile::discard()
{
    if (fd_ >= 0) {
        fileSystem_.close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        fileSystem_.unlink(temporary_);
        temporary_.clear();
    }
}

int AtomicFile::writeWhole(const std::string& path, const std::vector<std::string_view>& parts,
                           Placement placement, FileSystem& fileSystem)
{
    AtomicFile file(path, fileSystem);
    if (file.open() && file.write(parts) && file.commit(placement))
        return 0;
    return file.error() != 0 ? file.error() : EIO;
}

} // namespace vantiro
