// The page writer against the literal page recipe: same settings, keywords and seed, same bytes.
// Fields: body, keywords (one per line), title, head content, robots, one control byte (bit 0
// image links, bit 1 a link list of raw text, the rest the seed), then the description.
#include "FuzzInput.h"
#include "core/generator/KeywordList.h"
#include "core/generator/LiteralPageWriter.h"

using namespace vantiro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 4096)
        return 0; // larger pages add time, not cases
    const std::vector<std::string> input = fuzz::fields(data, size, 7);
    const KeywordList keywords = KeywordList::fromLines(fuzz::split(input[1], '\n'));
    PageSettings settings = PageSettings::startValues();
    settings.body = input[0];
    settings.title = input[2];
    settings.scripting = input[3];
    settings.description = input[6];
    if (!input[4].empty())
        settings.robots = input[4];
    const unsigned control = input[5].empty() ? 0 : static_cast<unsigned char>(input[5][0]);
    const bool imageLinks = control & 1;
    const bool rawLinks = control & 2;
    const std::uint64_t seed = control >> 2;

    const test::PagePair pages =
        test::buildBothPages(settings, keywords, imageLinks, seed, rawLinks);
    const std::string& fast = pages.fast;
    const std::string& literal = pages.literal;

    if (fast != literal) {
        std::size_t at = 0;
        while (at < fast.size() && at < literal.size() && fast[at] == literal[at])
            ++at;
        const std::size_t from = at > 60 ? at - 60 : 0;
        fuzz::fail("page writer differs from the literal recipe (around the first difference)",
                   literal.substr(from, 160), fast.substr(from, 160));
    }
    return 0;
}
