#pragma once

#include "core/ftp/FtpClient.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantiro {

// The entries of one remote folder as the uploader lists them. The records always end with one
// spare record that belongs to no entry: while a folder is read it is the record the next entry
// is copied into, and a folder without entries still has a "record 0" to look at.
class RemoteListing final {
public:
    // Width of the name field of a find record: room for 259 bytes and the closing NUL.
    static constexpr std::size_t nameFieldWidth = 260;
    // A folder listing beyond this many entries is cut: the window and its memory stay usable
    // whatever a server sends.
    static constexpr std::size_t maxEntries = 200000;

    RemoteListing();

    // Back to the spare record only.
    void clear();
    std::size_t entryCount() const { return records_.size() - 1; }
    // Index entryCount() is the spare record.
    const FtpEntry& record(std::size_t index) const { return records_.at(index); }

    // Appends a copy of findData whose name is cut at its first NUL and trimmed of blanks;
    // an empty name, or one too long for the name field, adds nothing.
    void addEntry(FtpEntry findData);

    // Refills the listing from the client's current folder: every entry matching the pattern
    // (trimmed of blanks), in the server's order, then the folder entries "." and ".." that the
    // server did not list itself. False when the client reported a failed search.
    bool readCurrentFolder(FtpClient& client, std::string_view pattern);
    // The pattern a filter text stands for: the text without leading and trailing blanks.
    static std::string searchPattern(std::string_view filter);
    // The second half of readCurrentFolder: refills the listing from what the search found.
    void fill(std::vector<FtpEntry> found);

    // Entries of the last reading left out beyond maxEntries.
    std::size_t leftOut() const { return leftOut_; }

    // Folders first, then files, each in ascending order of their lower-cased names.
    void sortListing();

    // One line of display text (UTF-8) per entry: folders in upper case, files in lower case.
    std::vector<std::string> displayLines() const;

    // Only the plain directory attribute makes a folder; a read-only folder (17) is a file here.
    static bool isFolder(const FtpEntry& entry);

private:
    void addDotEntries(FtpEntry findData);

    std::vector<FtpEntry> records_;
    std::size_t leftOut_ = 0;
};

// "W", "H", "S", "D", "A", "N", "T", "C" for the attribute bits set, separated by single blanks.
std::string attributeLetters(std::uint32_t attributes);

// "Mo 2.9.2002 um 14:05": weekday, day, month, year and hour without leading zeros.
std::string formatFileTime(const FtpTime& time);

} // namespace vantiro
