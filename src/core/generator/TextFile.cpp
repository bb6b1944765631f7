#include "core/generator/TextFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <string>
#include <sys/uio.h>
#include <unistd.h>

namespace vantiro {
namespace {

std::atomic<unsigned> temporaryCounter{0};

pid_t processId()
{
    static const pid_t id = getpid();
    return id;
}

// Writes the pieces with as few system calls as the system allows, resuming after a short
// write.
bool writeAll(int fd, std::vector<std::string_view> parts)
{
    std::erase_if(parts, [](std::string_view part) { return part.empty(); });
    size_t next = 0;
    while (next < parts.size()) {
        std::vector<iovec> vectors;
        for (size_t i = next; i < parts.size() && vectors.size() < IOV_MAX; ++i)
            vectors.push_back({const_cast<char*>(parts[i].data()), parts[i].size()});
        const ssize_t written = ::writev(fd, vectors.data(), static_cast<int>(vectors.size()));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        auto left = static_cast<size_t>(written);
        while (next < parts.size() && left >= parts[next].size())
            left -= parts[next++].size();
        if (next < parts.size())
            parts[next].remove_prefix(left);
    }
    return true;
}

// Creates a fresh temporary file beside target; the mode follows the user's umask like any
// new file. Returns the descriptor, or -1.
int createTemporary(const std::string& target, std::string& temporaryPath)
{
    const size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    // The target's name is left out: a name near the length limit would leave no room for
    // the additions, and the temporary file could not be created.
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = folder + ".vantiro." + std::to_string(processId()) + "." +
                        std::to_string(temporaryCounter++) + ".tmp";
        const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool writeTemporary(const std::string& target, const std::vector<std::string_view>& parts,
                    std::string& temporaryPath)
{
    const int fd = createTemporary(target, temporaryPath);
    if (fd < 0)
        return false;
    const bool ok = writeAll(fd, parts);
    if (::close(fd) != 0 || !ok) {
        ::unlink(temporaryPath.c_str());
        return false;
    }
    return true;
}

} // namespace

bool TextFile::writeReplacing(const std::string& path, std::string_view data)
{
    return writeReplacing(path, std::vector<std::string_view>{data});
}

bool TextFile::writeReplacing(const std::string& path, const std::vector<std::string_view>& parts)
{
    std::string temporaryPath;
    if (!writeTemporary(path, parts, temporaryPath))
        return false;
    if (::rename(temporaryPath.c_str(), path.c_str()) != 0) {
        ::unlink(temporaryPath.c_str());
        return false;
    }
    return true;
}

TextFile::NewFile TextFile::writeNew(const std::string& path, std::string_view data)
{
    std::string temporaryPath;
    if (!writeTemporary(path, {data}, temporaryPath))
        return NewFile::Failed;
    // link() refuses an existing target, so a file that appeared meanwhile is never replaced.
    const int linked = ::link(temporaryPath.c_str(), path.c_str());
    const int linkError = errno;
    ::unlink(temporaryPath.c_str());
    if (linked == 0)
        return NewFile::Written;
    return linkError == EEXIST ? NewFile::Exists : NewFile::Failed;
}

bool TextFile::read(const std::string& path, std::string& content)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    content.clear();
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            ok = false;
        if (got <= 0)
            break;
        content.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return ok;
}

bool TextFile::copyReplacing(const std::string& source, const std::string& target)
{
    std::string content;
    return read(source, content) && writeReplacing(target, content);
}

} // namespace vantiro
