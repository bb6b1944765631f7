#pragma once

#include "core/files/AtomicFile.h"

#include <cstddef>
#include <string>

namespace vantiro {

// A local file that appears only once it is complete: the data goes into a hidden temporary
// file in the target's folder, which is moved into place at the end. Whatever fails on the way,
// no partial file is left behind, and with failIfExists an existing file is never replaced.
class DownloadTarget final {
public:
    explicit DownloadTarget(std::string path);
    ~DownloadTarget();
    DownloadTarget(const DownloadTarget&) = delete;
    DownloadTarget& operator=(const DownloadTarget&) = delete;

    bool open();
    bool write(const char* data, std::size_t size);
    // Writes the data through to the disk and moves the file into place. With failIfExists the
    // result is false when a file of that name exists by then, and that file stays as it is.
    bool commit(bool failIfExists);

    // errno of the step that failed (EEXIST when the target existed).
    int error() const { return file_.error(); }

private:
    AtomicFile file_;
};

} // namespace vantiro
