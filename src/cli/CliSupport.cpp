#include "cli/CliSupport.h"

#include "cli/CommandLine.h"
#include "core/generator/TextCase.h"
#include "core/session/WorkFolders.h"

#include <cstdio>
#include <filesystem>

namespace vantiro {

std::optional<ProgramPaths> programPathsFor(const CommandLine& commandLine)
{
    namespace fs = std::filesystem;
    const std::optional<std::string> home = commandLine.value("--home");
    ProgramPaths paths =
        home ? ProgramFolder::withProgramFolder(*home) : ProgramFolder::forThisProgram();
    std::error_code error;
    fs::create_directories(paths.programFolder, error);
    if (error || !fs::is_directory(paths.programFolder)) {
        std::fprintf(stderr, "Der Programmordner %s kann nicht angelegt werden.\n",
                     paths.programFolder.c_str());
        return std::nullopt;
    }
    // Messages name the output folder; an absolute path tells the user where it really is.
    std::string folder = fs::absolute(paths.programFolder, error).lexically_normal().string();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    paths.programFolder = folder;
    WorkFolders::create(folder);
    return paths;
}

std::optional<std::string> programFolderFor(const CommandLine& commandLine)
{
    const std::optional<ProgramPaths> paths = programPathsFor(commandLine);
    if (!paths)
        return std::nullopt;
    return paths->programFolder;
}

void printText(std::FILE* stream, const std::string& text)
{
    std::string lines = text;
    replaceAll(lines, "\r\n", "\n");
    std::fprintf(stream, "%s\n", lines.c_str());
}

int usageError(const std::string& command, const std::string& message)
{
    std::fprintf(stderr, "vantiro-cli %s: %s\nHilfe: vantiro-cli %s --help\n", command.c_str(),
                 message.c_str(), command.c_str());
    return 2;
}

} // namespace vantiro
