#include "core/generator/TextFile.h"

#include "core/files/AtomicFile.h"
#include "core/files/FileChecks.h"
#include "core/files/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace vantiro {

bool TextFile::writeReplacing(const std::string& path, std::string_view data)
{
    return writeReplacing(path, std::vector<std::string_view>{data});
}

bool TextFile::writeReplacing(const std::string& path, const std::vector<std::string_view>& parts)
{
    return AtomicFile::writeWhole(path, parts, AtomicFile::Placement::Replace) == 0;
}

TextFile::NewFile TextFile::writeNew(const std::string& path, std::string_view data,
                                     FileSystem& fileSystem)
{
    const int error =
        AtomicFile::writeWhole(path, {data}, AtomicFile::Placement::KeepExisting, fileSystem);
    if (error == 0)
        return NewFile::Written;
    return error == EEXIST ? NewFile::Exists : NewFile::Failed;
}

TextFile::FirstFree TextFile::writeFirstFree(const std::function<std::string(int)>& pathFor,
                                             int first, int last, std::string_view data,
                                             FileSystem& fileSystem)
{
    FirstFree result;
    for (int number = first; number <= last; ++number) {
        result.path = pathFor(number);
        // Names taken are skipped before a temporary file is made for them.
        if (fileExists(result.path))
            continue;
        result.outcome = writeNew(result.path, data, fileSystem);
        // Exists: a folder, a hidden entry or a file that appeared meanwhile; the next may do.
        if (result.outcome != NewFile::Exists)
            return result;
    }
    result.outcome = NewFile::Exists;
    return result;
}

bool TextFile::read(const std::string& path, std::string& content)
{
    const int fd = RegularFile::openForReading(path);
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
