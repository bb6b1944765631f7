#include "core/session/WorkFolders.h"

#include "core/generator/modGeneral.h"

namespace vantiro {

std::string WorkFolders::path(const std::string& programFolder, const char* folder)
{
    return programFolder + "/" + folder;
}

bool WorkFolders::create(const std::string& programFolder)
{
    bool all_present = true;
    for (const char* folder : all) {
        const std::string target = path(programFolder, folder);
        if (!FolderExists(target) && !CreateFolder(target))
            all_present = false;
    }
    return all_present;
}

} // namespace vantiro
