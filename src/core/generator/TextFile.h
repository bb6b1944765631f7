#pragma once

#include "core/files/FileSystem.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantiro {

// Whole files of text: written through AtomicFile, so that no half-written file is ever left
// behind, and read in one piece.
class TextFile final {
public:
    enum class NewFile { Written, Exists, Failed };

    // Writes data to path, replacing a file of that name. False when the file could not be
    // written; then the target is left as it was.
    static bool writeReplacing(const std::string& path, std::string_view data);
    // The same for a file made of several pieces, written one after the other.
    static bool writeReplacing(const std::string& path, const std::vector<std::string_view>& parts);

    // Writes data to path only if nothing exists there yet; an existing file is never touched,
    // also on file systems without hard links.
    static NewFile writeNew(const std::string& path, std::string_view data,
                            FileSystem& fileSystem = FileSystem::system());

    // Writes data as a new file under the first of the numbered names first..last that is free.
    // outcome is Exists when every name was taken; path is the name last tried.
    struct FirstFree {
        NewFile outcome = NewFile::Exists;
        std::string path;
    };
    static FirstFree writeFirstFree(const std::function<std::string(int)>& pathFor, int first,
                                    int last, std::string_view data, FileSystem& fileSystem);

    // Copies a file's bytes to target, replacing a file of that name.
    static bool copyReplacing(const std::string& source, const std::string& target);

    // Reads a whole regular file; false when it cannot be read or is a folder, pipe or device.
    static bool read(const std::string& path, std::string& content);
};

} // namespace vantiro
