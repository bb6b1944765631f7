#pragma once

#include <string>

namespace vantiro {

// Opens a file the user named for reading, only if it is a regular file. Opening a named pipe
// would wait for a writer and a device may never end, so the type is checked before opening; the
// open itself cannot block, and the opened file is checked again in case the path was swapped in
// between.
class RegularFile final {
public:
    // A descriptor to close, or -1 when the path is missing, unreadable or no regular file.
    static int openForReading(const std::string& path);
};

} // namespace vantiro
