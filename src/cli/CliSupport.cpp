#include "cli/CliSupport.h"

#include "cli/CommandLine.h"
#include "core/generator/TextCase.h"
#include "core/session/WorkFolders.h"
#include "platform/ProgramFolder.h"

#include <cstdio>
#include <filesystem>

namespace vantiro {

std::optional<std::string> ProgramFolderFor(const CommandLine& commandLine)
{
    namespace fs = std::filesystem;
    std::error_code error;
    std::string folder;
    if (const auto home = commandLine.value("--home")) {
        folder = *home;
        fs::create_directories(folder, error);
        if (error || !fs::is_directory(folder)) {
            std::fprintf(stderr, "Der Programmordner %s kann nicht angelegt werden.\n",
                         folder.c_str());
            return std::nullopt;
        }
    } else {
        folder = ProgramFolder::forThisProgram().programFolder;
        fs::create_directories(folder, error);
        if (error || !fs::is_directory(folder)) {
            std::fprintf(stderr, "Der Programmordner %s kann nicht angelegt werden.\n",
                         folder.c_str());
            return std::nullopt;
        }
    }
    // Messages name the output folder; an absolute path tells the user where it really is.
    folder = fs::absolute(folder, error).lexically_normal().string();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    WorkFolders::create(folder);
    return folder;
}

void PrintText(std::FILE* stream, const std::string& text)
{
    std::string lines = text;
    ReplaceAll(lines, "\r\n", "\n");
    std::fprintf(stream, "%s\n", lines.c_str());
}

} // namespace vantiro
