#pragma once

#include "core/files/FileSystem.h"

#include <optional>
#include <string>
#include <string_view>

namespace vantiro {

// Saved body templates: vorlage1.vrv, vorlage2.vrv, ... in the program folder's vorlagen folder.
// Paths are file-system bytes; the body text is Windows-1252 and written unchanged.
class TemplateFiles final {
public:
    static constexpr int highestNumber = 32767;

    enum class SaveStatus {
        Written,      // path names the new file
        NoFreeNumber, // every number up to highestNumber is taken; nothing was written
        WriteFailed   // path names the file that could not be written
    };

    struct SaveResult {
        SaveStatus status = SaveStatus::WriteFailed;
        std::string path;
    };

    static std::string pathFor(const std::string& programFolder, int number);

    // Writes the body followed by two CR LF into the file with the smallest free number,
    // creating the vorlagen folder when it is missing. An existing file is never replaced, also
    // on file systems without hard links.
    static SaveResult save(const std::string& programFolder, const std::string& body,
                           FileSystem& fileSystem = FileSystem::system());

    // True when the vorlagen folder holds at least one visible ".vrv" file.
    static bool anyExists(const std::string& programFolder);

    // The file's text as the body takes it back; std::nullopt when it cannot be read.
    static std::optional<std::string> load(const std::string& path);

    // Every line followed by CR LF. A line ends at CR LF, at a lone CR or at the end of the text;
    // a lone LF stays inside its line.
    static std::string linesWithCrLf(std::string_view content);
};

} // namespace vantiro
