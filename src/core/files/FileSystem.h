#pragma once

#include <string>
#include <sys/types.h>
#include <sys/uio.h>

namespace vantiro {

// The few file-system calls that whole-file writes make, behind an interface so that a test can
// play a file system without some of them (hard links on FAT, exFAT or SMB mounts). Each call
// answers like its POSIX namesake: -1 with errno set on failure.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Creates a file that did not exist, for writing (O_CREAT | O_EXCL), mode 0666 less the
    // umask. Returns the descriptor.
    virtual int createNew(const std::string& path);
    virtual ssize_t writev(int fd, const iovec* vectors, int count);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int rename(const std::string& from, const std::string& to);
    // rename that fails with EEXIST instead of replacing (renameat2 with RENAME_NOREPLACE).
    virtual int renameNoReplace(const std::string& from, const std::string& to);
    virtual int link(const std::string& from, const std::string& to);
    virtual int unlink(const std::string& path);

    // The real file system.
    static FileSystem& system();
};

} // namespace vantiro
