// The page writer against the literal page recipe: same settings, keywords and seed, same bytes.
// Fields: body, keywords (one per line), title, head content, robots, then one control byte
// (bit 0 image links, bit 1 a link list of raw text, the rest the seed).
#include "FuzzInput.h"
#include "core/generator/CrossLinks.h"
#include "core/generator/KeywordList.h"
#include "core/generator/LiteralPageWriter.h"
#include "core/generator/PageWriter.h"
#include "core/generator/Random.h"
#include "core/generator/RunMessages.h"
#include "core/generator/SpiderLinks.h"

using namespace vantiro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 4096)
        return 0; // larger pages add time, not cases
    const std::vector<std::string> input = fuzz::fields(data, size, 6);
    const KeywordList keywords = KeywordList::fromLines(fuzz::split(input[1], '\n'));
    PageSettings settings = PageSettings::startValues();
    settings.txtBody = input[0];
    settings.txtTitle = input[2];
    settings.txtScripting = input[3];
    if (!input[4].empty())
        settings.cmbRobots = input[4];
    const unsigned control = input[5].empty() ? 0 : static_cast<unsigned char>(input[5][0]);
    const bool imageLinks = control & 1;
    const bool rawLinks = control & 2;
    const std::uint64_t seed = control >> 2;

    const std::vector<std::string> pageNames = {"vorschau.htm", "file2.htm", "a.htm_b.htm"};
    const std::string sponsor = RunMessages::sponsorlink();

    Random fastRandom(seed);
    SpiderLinks links;
    CrossLinks(pageNames, keywords, fastRandom, imageLinks).build(links);
    if (rawLinks)
        links = SpiderLinks::fromText(links.text());
    PageWriter writer(settings, keywords, fastRandom, sponsor);
    const std::string fast = writer.buildPage(links);

    Random literalRandom(seed);
    SpiderLinks literalLinks;
    CrossLinks(pageNames, keywords, literalRandom, imageLinks).build(literalLinks);
    const auto pick = [&] { return keywords.at(literalRandom.pick(keywords.count())); };
    const std::string literal = test::literalPage(settings, pick, literalLinks.text(), sponsor);

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
