#pragma once

#include <string>
#include <vector>

namespace vantiro {

// Where the program keeps its work folders and where it finds the files it ships.
struct ProgramPaths {
    std::string programFolder;               // holds doorpages, keywordfile and vorlagen
    std::vector<std::string> shippedFolders; // hold the help page and the pixel file, in order
};

// One rule for the window and the command-line tool. A build folder or a portable copy keeps
// its work folders beside the executable; it is recognised by the marker file
// "vantiro.portable" there (the build writes one). Every other copy, an installed one above
// all, works in the user's data folder, $XDG_DATA_HOME/vantiro, so nothing is ever written
// into an installation prefix, even by root.
class ProgramFolder final {
public:
    static constexpr const char* portableMarker = "vantiro.portable";

    // The rule itself, with the places it depends on passed in. `installedDataFolder` is the
    // shipped-data folder of an installed copy (share/vantiro beside bin/).
    static ProgramPaths choose(const std::string& executableFolder, const std::string& dataHome,
                               const std::string& installedDataFolder);

    // The running program's executable folder, XDG data home and installed data folder.
    static ProgramPaths forThisProgram();

    // A program folder given explicitly (the tool's --home); shipped files still come from
    // the running program's own places.
    static ProgramPaths withProgramFolder(const std::string& programFolder);

    // The folder of the running executable ("" when the system does not say).
    static std::string executableFolder();

    // $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share.
    static std::string dataHome();

    // $HOME when it is an absolute path, else the home folder the user database names; ""
    // when neither is known.
    static std::string homeFolder();

    // A shipped file: the program folder's own copy first, then each shipped folder. Empty when
    // there is none.
    static std::string shippedFile(const ProgramPaths& paths, const std::string& name);

    // "vtr.gif" as shippedFile finds it, or the program folder's path for it when there is
    // none, so that the run reports the file it missed.
    static std::string pixelFile(const ProgramPaths& paths);

    // The help page, or an empty text when there is none.
    static std::string helpPage(const ProgramPaths& paths);
};

} // namespace vantiro
