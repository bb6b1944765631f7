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
    if (!line.error().empty() || line.words().size() != 1) {
        std::fprintf(stderr, "vantiro-cli keywords: %s\n",
                     line.error().empty() ? "expects exactly one TEXT" : line.error().c_str());
        return 2;
    }
    const std::optional<std::string> home = ProgramFolderFor(line);
    if (!home)
        return 2;
    const auto result = KeywordFileWriter::write(*home, Cp1252::fromUtf8(line.words().front()));
    switch (result.status) {
    case KeywordFileWriter::Status::Written:
        std::printf("%s\n", result.path.c_str());
        return 0;
    case KeywordFileWriter::Status::Refused:
        PrintText(stderr, KeywordFileWriter::refusedTitle + ": " + KeywordFileWriter::refusedText);
        return 2;
    case KeywordFileWriter::Status::WriteFailed:
        break;
    }
    std::fprintf(stderr, "Die Keyword-Datei %s kann nicht geschrieben werden.\n",
                 result.path.c_str());
    return 1;
}

} // namespace vantiro
