#pragma once

#include "core/files/FileSystem.h"

#include <string>

namespace vantiro {

// The OK of the keyword dialog: cleans the comma-separated text and writes it as a new keyword
// file under the next free name in the program folder's keywordfile folder.
class KeywordFileWriter final {
public:
    enum class Status {
        Written,    // path names the new file
        Refused,    // empty text or no comma: show the "Keywords fehlen" message
        WriteFailed // the file could not be written; path names the file that was tried
    };

    struct Result {
        Status status = Status::Refused;
        std::string path;
    };

    // typedText is Windows-1252, taken unchanged (not trimmed). programFolder and the returned
    // path are file-system paths. An existing file is never replaced, also on file systems
    // without hard links.
    static Result write(const std::string& programFolder, const std::string& typedText,
                        FileSystem& fileSystem = FileSystem::system());

    // The file's content for a typed text: one cleaned piece per line, each ending in CR LF.
    static std::string content(const std::string& typedText);

    // Display texts (UTF-8) of the refusal message.
    static const std::string refusedTitle; // "Keywords fehlen"
    static const std::string refusedText;  // "Geben Sie Ihre Keywords, getrennt durch Komma, an!"
};

} // namespace vantiro
