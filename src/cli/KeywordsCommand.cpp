#include "cli/KeywordsCommand.h"

#include "cli/CliSupport.h"
#include "cli/CommandLine.h"
#include "core/keywords/KeywordFileWriter.h"
#include "core/text/Cp1252.h"

#include <cstdio>

namespace vantiro {

int runKeywordsCommand(const std::vector<std::string>& args)
{
    const CommandLine line(args, {"--home"}, {});
    if (!line.error().empty())
        return usageError("keywords", line.error());
    if (line.words().size() != 1)
        return usageError("keywords", "Erwartet genau einen TEXT mit den Keywords.");
    const std::optional<std::string> home = programFolderFor(line);
    if (!home)
        return 2;
    const auto result = KeywordFileWriter::write(*home, Cp1252::fromUtf8(line.words().front()));
    switch (result.status) {
    case KeywordFileWriter::Status::Written:
        std::printf("%s\n", result.path.c_str());
        return 0;
    case KeywordFileWriter::Status::Refused:
        printText(stderr, KeywordFileWriter::refusedTitle + ": " + KeywordFileWriter::refusedText);
        return 2;
    case KeywordFileWriter::Status::WriteFailed:
        break;
    }
    std::fprintf(stderr, "Die Keyword-Datei %s kann nicht geschrieben werden.\n",
                 result.path.c_str());
    return 1;
}

} // namespace vantiro
