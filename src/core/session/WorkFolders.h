#pragma once

#include <array>
#include <string>

namespace vantiro {

// The fixed folders below the program folder. The program folder is given without a trailing
// separator; every path is that folder, "/" and a fixed relative part.
class WorkFolders final {
public:
    static constexpr const char* doorpages = "doorpages";
    static constexpr const char* images = "doorpages/images";
    static constexpr const char* keywordfile = "keywordfile";
    static constexpr const char* vorlagen = "vorlagen";

    // In creation order: a parent always comes before its child.
    static constexpr std::array<const char*, 4> all = {doorpages, images, keywordfile, vorlagen};

    static std::string path(const std::string& programFolder, const char* folder);

    // Creates the program folder with any missing parents, then each missing work folder, one
    // level at a time, in the order above. A folder that cannot be created is skipped; the
    // result tells whether all four exist afterwards.
    static bool create(const std::string& programFolder);
};

} // namespace vantiro
