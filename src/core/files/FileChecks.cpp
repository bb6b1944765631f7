#include "core/files/FileChecks.h"

#include "core/text/Wildcard.h"

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace vantiro {
namespace {

bool isVisibleRegularFile(const std::string& path, std::string_view name)
{
    struct stat info = {};
    return !name.empty() && name.front() != '.' && stat(path.c_str(), &info) == 0 &&
           S_ISREG(info.st_mode);
}

} // namespace

bool folderExists(const std::string& path)
{
    struct stat info = {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool createFolder(const std::string& path)
{
    return mkdir(path.c_str(), 0777) == 0 || (errno == EEXIST && folderExists(path));
}

bool fileExists(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
    if (last.find_first_of("*?") == std::string::npos)
        return isVisibleRegularFile(path, last);

    DIR* dir = opendir(folder.empty() ? "/" : folder.c_str());
    if (!dir)
        return false;
    bool found = false;
    while (const dirent* entry = readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (wildcardMatch(last, name) && isVisibleRegularFile(folder + "/" + entry->d_name, name)) {
            found = true;
            break;
        }
    }
    closedir(dir);
    return found;
}

} // namespace vantiro
