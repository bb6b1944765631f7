#include "core/keywords/KeywordFileWriter.h"

#include "core/files/FileChecks.h"
#include "core/generator/TextFile.h"
#include "core/session/WorkFolders.h"
#include "core/text/TextCleaning.h"

#include <algorithm>
#include <string_view>

namespace vantiro {
namespace {

constexpr size_t maxPieceIndex = 32000;
// Numbered names are tried up to this one; a folder that full is treated as not writable
// rather than searched without end.
constexpr int maxFileNumber = 1000000;
constexpr std::string_view removedCharacters = "\";?*./\\@";

std::string cleanPiece(std::string_view piece)
{
    std::string cleaned;
    for (char c : trim(piece)) {
        if (c != ' ' && removedCharacters.find(c) == std::string_view::npos)
            cleaned += c;
    }
    return cleaned;
}

std::string numberedName(int number)
{
    return number == 0 ? "keywords.vrk" : "keywords" + std::to_string(number) + ".vrk";
}

} // namespace

const std::string KeywordFileWriter::refusedTitle = "Keywords fehlen";
const std::string KeywordFileWriter::refusedText =
    "Geben Sie Ihre Keywords, getrennt durch Komma, an!";

std::string KeywordFileWriter::content(const std::string& typedText)
{
    std::string lines;
    size_t start = 0;
    for (size_t index = 0; index <= maxPieceIndex; ++index) {
        const size_t comma = typedText.find(',', start);
        const size_t end = comma == std::string::npos ? typedText.size() : comma;
        lines += cleanPiece(std::string_view(typedText).substr(start, end - start));
        lines += "\r\n";
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return lines;
}

KeywordFileWriter::Result KeywordFileWriter::write(const std::string& programFolder,
                                                   const std::string& typedText,
                                                   FileSystem& fileSystem)
{
    const std::string folder = WorkFolders::path(programFolder, WorkFolders::keywordfile);
    if (!folderExists(folder))
        createFolder(folder);

    if (typedText.empty() || typedText.find(',') == std::string::npos)
        return {Status::Refused, {}};

    const TextFile::FirstFree written =
        TextFile::writeFirstFree([&](int number) { return folder + "/" + numberedName(number); }, 0,
                                 maxFileNumber, content(typedText), fileSystem);
    return {written.outcome == TextFile::NewFile::Written ? Status::Written : Status::WriteFailed,
            written.path};
}

} // namespace vantiro
