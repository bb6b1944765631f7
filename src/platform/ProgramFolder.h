#pragma once

#include <QString>

namespace vantiro {

// Where the program keeps its work folders and where it finds its own files.
struct ProgramPaths {
    QString programFolder;    // holds doorpages, keywordfile and vorlagen
    QString executableFolder; // holds the executable, the help page and the pixel file
};

class ProgramFolder final {
public:
    // The executable's folder when files can be created there, else the user's data folder
    // (created when missing), so that an installed copy still has somewhere to write.
    static ProgramPaths choose(const QString& executableFolder, const QString& dataFolder);

    // For the running program: its executable's folder and its AppDataLocation.
    static ProgramPaths forThisProgram();

    // True when a file can be created in the folder (tried, not guessed from permissions).
    static bool canCreateFilesIn(const QString& folder);

    // "vtr.gif" in the program folder if the user put one there, else the one shipped beside
    // the executable; the program folder's path when neither exists.
    static QString pixelFile(const ProgramPaths& paths);

    // The help page shipped beside the executable, or an empty text when there is none.
    static QString helpPage(const ProgramPaths& paths);
};

} // namespace vantiro
