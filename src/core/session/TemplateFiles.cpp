#include "core/session/TemplateFiles.h"

#include "core/files/FileChecks.h"
#include "core/generator/TextFile.h"
#include "core/session/WorkFolders.h"

namespace vantiro {

std::string TemplateFiles::pathFor(const std::string& programFolder, int number)
{
    return WorkFolders::path(programFolder, WorkFolders::vorlagen) + "/vorlage" +
           std::to_string(number) + ".vrv";
}

TemplateFiles::SaveResult TemplateFiles::save(const std::string& programFolder,
                                              const std::string& body, FileSystem& fileSystem)
{
    const std::string folder = WorkFolders::path(programFolder, WorkFolders::vorlagen);
    if (!folderExists(folder))
        createFolder(folder);

    const TextFile::FirstFree written =
        TextFile::writeFirstFree([&](int number) { return pathFor(programFolder, number); }, 1,
                                 highestNumber, body + "\r\n\r\n", fileSystem);
    switch (written.outcome) {
    case TextFile::NewFile::Written:
        return {SaveStatus::Written, written.path};
    case TextFile::NewFile::Failed:
        return {SaveStatus::WriteFailed, written.path};
    case TextFile::NewFile::Exists:
        break;
    }
    return {SaveStatus::NoFreeNumber, {}};
}

bool TemplateFiles::anyExists(const std::string& programFolder)
{
    return fileExists(WorkFolders::path(programFolder, WorkFolders::vorlagen) + "/*.vrv");
}

std::optional<std::string> TemplateFiles::load(const std::string& path)
{
    std::string content;
    if (!TextFile::read(path, content))
        return std::nullopt;
    return linesWithCrLf(content);
}

std::string TemplateFiles::linesWithCrLf(std::string_view content)
{
    std::string text;
    text.reserve(content.size() + content.size() / 16);
    size_t start = 0;
    while (start < content.size()) {
        const size_t end = content.find('\r', start);
        text += content.substr(start, end == std::string_view::npos ? end : end - start);
        text += "\r\n";
        if (end == std::string_view::npos)
            break;
        start = end + 1;
        if (start < content.size() && content[start] == '\n')
            ++start;
    }
    return text;
}

} // namespace vantiro
