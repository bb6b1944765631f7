#pragma once

#include "core/files/FileSystem.h"

#include <cerrno>

namespace vantiro::test {

// The real file system as a FAT or exFAT stick or many SMB mounts show it: link() is refused
// with EPERM. Without rename flags, renameat2's RENAME_NOREPLACE is refused too (EINVAL), as by
// older kernels and some network file systems.
class NoHardLinkFileSystem final : public FileSystem {
public:
    enum class RenameFlags { Supported, Missing };

    explicit NoHardLinkFileSystem(RenameFlags renameFlags) : renameFlags_(renameFlags) {}

    int link(const std::string&, const std::string&) override
    {
        ++linkAttempts;
        errno = EPERM;
        return -1;
    }

    int renameNoReplace(const std::string& from, const std::string& to) override
    {
        if (renameFlags_ == RenameFlags::Supported)
            return FileSystem::renameNoReplace(from, to);
        errno = EINVAL;
        return -1;
    }

    int linkAttempts = 0;

private:
    RenameFlags renameFlags_;
};

} // namespace vantiro::test
