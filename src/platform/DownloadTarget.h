#pragma once

#include "core/files/AtomicFile.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vantiro {

// A local file that appears only once it is complete: the data goes into a hidden temporary
// file in the target's folder, which is moved into place at the end. Whatever fails on the way,
// no partial file is left behind, and with failIfExists an existing file is never replaced.
//
// A download stops before it would leave less than a hundredth of the disk (at least 100 MB)
// free: a server that sends a file without end must not fill the user's disk.
class DownloadTarget final {
public:
    struct Space {
        std::uint64_t total = 0;
        std::uint64_t available = 0; // to the user, as df shows it
    };
    // The size of the file system that holds folder; std::nullopt when it cannot be told (then
    // nothing is held back).
    using SpaceProbe = std::function<std::optional<Space>(const std::string& folder)>;

    explicit DownloadTarget(std::string path);
    ~DownloadTarget();
    DownloadTarget(const DownloadTarget&) = delete;
    DownloadTarget& operator=(const DownloadTarget&) = delete;

    // For tests: replaces the look at the disk (nullptr: statvfs) and returns the one before.
    static SpaceProbe setSpaceProbe(SpaceProbe probe);
    static std::uint64_t reserveFor(const Space& space);

    bool open();
    // False with error() ENOSPC when the data would leave too little room on the disk.
    bool write(const char* data, std::size_t size);
    // Writes the data through to the disk and moves the file into place. With failIfExists the
    // result is false when a file of that name exists by then, and that file stays as it is.
    bool commit(bool failIfExists);

    // errno of the step that failed (EEXIST when the target existed).
    int error() const { return lowSpace_ ? ENOSPC : file_.error(); }
    // Why the last step failed, in German (Windows-1252).
    std::string failureText() const;

private:
    bool roomFor(std::size_t size);

    AtomicFile file_;
    std::string folder_;
    bool lowSpace_ = false;
    std::uint64_t sinceCheck_ = 0;
    bool checked_ = false;
};

} // namespace vantiro
