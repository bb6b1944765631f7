#pragma once

#include "core/files/FileSystem.h"

#include <string>
#include <string_view>
#include <vector>

namespace vantiro {

// The one way the program writes a whole file: the data goes into a hidden temporary file in
// the target's folder, which is moved into place only when it is complete. Whatever fails on
// the way, no partial file is left behind and the temporary file is removed.
class AtomicFile final {
public:
    enum class Placement {
        Replace,     // a file of the target's name is replaced
        KeepExisting // a file of the target's name stays as it is; commit fails with EEXIST
    };

    explicit AtomicFile(std::string path, FileSystem& fileSystem = FileSystem::system());
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file.
    bool open();
    // Appends the pieces, resuming after short writes.
    bool write(std::vector<std::string_view> parts);
    bool write(std::string_view data) { return write(std::vector<std::string_view>{data}); }
    // Closes the temporary file (after writing it through to the disk when durable) and moves
    // it to the target's name.
    bool commit(Placement placement, bool durable = false);

    // errno of the step that failed; EEXIST when KeepExisting met an existing file.
    int error() const { return error_; }

    // Writes a whole file in one go.
    static int writeWhole(const std::string& path, const std::vector<std::string_view>& parts,
                          Placement placement, FileSystem& fileSystem = FileSystem::system());

private:
    bool fail();
    bool failWith(int error);
    bool placeWithoutReplacing();
    void discard();

    FileSystem& fileSystem_;
    std::string path_;
    std::string temporary_;
    int fd_ = -1;
    int error_ = 0;
};

} // namespace vantiro
