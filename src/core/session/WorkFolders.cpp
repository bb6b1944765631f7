#include "core/session/WorkFolders.h"

#include "core/files/FileChecks.h"

#include <filesystem>
#include <system_error>

namespace vantiro {

std::string WorkFolders::path(const std::string& programFolder, const char* folder)
{
    return programFolder + "/" + folder;
}

bool WorkFolders::create(const std::string& programFolder)
{
    // The user's data folder may be the first thing ever written below a new home, so its
    // parents (~/.local/share) may be missing too.
    std::error_code error;
    std::filesystem::create_directories(programFolder, error);
    bool all_present = true;
    for (const char* folder : all) {
        const std::string target = path(programFolder, folder);
        if (!folderExists(target) && !createFolder(target))
            all_present = false;
    }
    return all_present;
}

} // namespace vantiro
