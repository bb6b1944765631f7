#include "platform/ProgramFolder.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace vantiro {
namespace {

namespace fs = std::filesystem;

bool isFile(const std::string& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error);
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string installedDataFolderBeside(const std::string& executableFolder)
{
    if (executableFolder.empty())
        return {};
    return fs::path(executableFolder).parent_path().append("share/vantiro").string();
}

} // namespace

ProgramPaths ProgramFolder::choose(const std::string& executableFolder, const std::string& dataHome,
                                   const std::string& installedDataFolder)
{
    ProgramPaths paths;
    if (!executableFolder.empty() && isFile(executableFolder + "/" + portableMarker)) {
        paths.programFolder = executableFolder;
        paths.shippedFolders.push_back(executableFolder);
    } else {
        paths.programFolder = dataHome + "/vantiro";
    }
    if (!installedDataFolder.empty())
        paths.shippedFolders.push_back(installedDataFolder);
    return paths;
}

ProgramPaths ProgramFolder::forThisProgram()
{
    const std::string folder = executableFolder();
    return choose(folder, dataHome(), installedDataFolderBeside(folder));
}

ProgramPaths ProgramFolder::withProgramFolder(const std::string& programFolder)
{
    ProgramPaths paths = forThisProgram();
    paths.programFolder = programFolder;
    return paths;
}

std::string ProgramFolder::executableFolder()
{
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : executable.parent_path().string();
}

std::string ProgramFolder::dataHome()
{
    const std::string xdg = environment("XDG_DATA_HOME");
    if (!xdg.empty() && xdg.front() == '/')
        return xdg;
    const std::string home = homeFolder();
    return (home.empty() ? std::string("/tmp") : home) + "/.local/share";
}

std::string ProgramFolder::homeFolder()
{
    const std::string home = environment("HOME");
    if (!home.empty() && home.front() == '/')
        return home;
    const passwd* user = getpwuid(getuid());
    if (user && user->pw_dir && user->pw_dir[0] == '/')
        return user->pw_dir;
    return {};
}

std::string ProgramFolder::shippedFile(const ProgramPaths& paths, const std::string& name)
{
    if (isFile(paths.programFolder + "/" + name))
        return paths.programFolder + "/" + name;
    for (const std::string& folder : paths.shippedFolders) {
        if (isFile(folder + "/" + name))
            return folder + "/" + name;
    }
    return {};
}

std::string ProgramFolder::pixelFile(const ProgramPaths& paths)
{
    const std::string found = shippedFile(paths, "vtr.gif");
    return found.empty() ? paths.programFolder + "/vtr.gif" : found;
}

std::string ProgramFolder::helpPage(const ProgramPaths& paths)
{
    return shippedFile(paths, "hilfe.html");
}

} // namespace vantiro
