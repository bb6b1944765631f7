// The keyword dialog's file content against a plain reading: each comma-separated piece on a
// line of its own, trimmed, without blanks and without the characters a keyword file drops.
#include "FuzzInput.h"
#include "core/keywords/KeywordFileWriter.h"

using namespace vantiro;

namespace {

std::string plainContent(const std::string& typed)
{
    const std::string dropped = " \";?*./\\@";
    std::string content;
    std::size_t pieces = 0;
    std::string piece;
    // The file holds at most 32001 pieces; text after that is not read.
    for (std::size_t i = 0; i <= typed.size(); ++i) {
        if (i == typed.size() || typed[i] == ',') {
            content += piece + "\r\n";
            piece.clear();
            if (++pieces == 32001)
                break;
        } else if (dropped.find(typed[i]) == std::string::npos) {
            piece += typed[i];
        }
    }
    return content;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string typed(reinterpret_cast<const char*>(data), size);
    const std::string content = KeywordFileWriter::content(typed);
    const std::string expected = plainContent(typed);
    if (content != expected)
        fuzz::fail("keyword file content", expected, content);
    return 0;
}
