// Page names: page 1 is "vorschau.htm", every name is a plain visible ".htm" file name, and no
// two names of a run are the same, letter case ignored, nor the index page's.
// Fields: keywords (one per line), then one control byte (bit 0 keyword names, the rest the page
// count above 1) and the seed.
#include "FuzzInput.h"
#include "core/generator/KeywordList.h"
#include "core/generator/PageNames.h"
#include "core/generator/Random.h"

#include <set>

using namespace vantiro;

namespace {

std::string lower(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool isPlainName(const std::string& name)
{
    if (name.empty() || name.front() == '.')
        return false;
    for (unsigned char c : name) {
        const bool kept = c == '.' || c == '_' || (c >= '0' && c <= '9') ||
                          (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!kept)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> input = fuzz::fields(data, size, 3);
    const KeywordList keywords = KeywordList::fromLines(fuzz::split(input[0], '\n'));
    const unsigned control = input[1].empty() ? 0 : static_cast<unsigned char>(input[1][0]);
    const bool keywordNames = control & 1;
    const int pageCount = 1 + static_cast<int>(control >> 1);
    std::uint64_t seed = 0;
    for (unsigned char c : input[2])
        seed = seed * 131 + c;

    Random random(seed);
    const std::vector<std::string> names = makePageNames(pageCount, keywordNames, keywords, random);
    if (names.size() != static_cast<std::size_t>(pageCount))
        fuzz::fail("one name per page", std::to_string(pageCount), std::to_string(names.size()));
    if (names.front() != "vorschau.htm")
        fuzz::fail("page 1", "vorschau.htm", names.front());
    std::set<std::string> taken = {"_keyliste.htm"};
    for (const std::string& name : names) {
        fuzz::check(isPlainName(name), "plain visible file name", name);
        fuzz::check(name.size() > 4 && lower(name).ends_with(".htm"), "ends in .htm", name);
        fuzz::check(taken.insert(lower(name)).second, "unique name, letter case ignored", name);
    }
    return 0;
}
