#include "core/generator/PageNames.h"
#include "core/generator/KeywordList.h"
#include "core/generator/Random.h"
#include "core/generator/TextFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

namespace vantiro {
namespace {

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

TEST(PageNames, NamesOfLongKeywordsAreShortenedToFitAndStayUnique)
{
    // Keywords of 252 to 255 bytes, and two that differ only after the cut.
    std::vector<std::string> lines;
    for (size_t length = 250; length <= 255; ++length)
        lines.push_back(std::string(length, 'k'));
    lines.push_back(std::string(254, 'a') + "x");
    lines.push_back(std::string(254, 'a') + "y");
    const KeywordList keywords = KeywordList::fromLines(lines);

    Random random(11);
    const std::vector<std::string> names = makePageNames(400, true, keywords, random);
    std::set<std::string> distinct;
    size_t shortened = 0;
    for (const std::string& name : names) {
        EXPECT_LE(name.size(), maxPageNameBytes) << name;
        EXPECT_TRUE(name.ends_with(".htm")) << name;
        EXPECT_TRUE(distinct.insert(lower(name)).second) << "taken twice: " << name;
        shortened += name.size() == maxPageNameBytes ? 1 : 0;
    }
    EXPECT_GT(shortened, 0u);
    EXPECT_TRUE(distinct.count(lower(std::string(251, 'a') + ".htm")));
    EXPECT_TRUE(distinct.count(lower(std::string(249, 'a') + "_2.htm")))
        << "the suffix goes after a shorter stem";
    EXPECT_TRUE(distinct.count(std::string(250, 'k') + ".htm")) << "names that fit stay whole";

    // The longest name can really be written.
    const auto longest = std::max_element(names.begin(), names.end(),
                                          [](auto& a, auto& b) { return a.size() < b.size(); });
    test::TempDir dir;
    EXPECT_TRUE(TextFile::writeReplacing(dir.file(*longest), "page")) << *longest;
}

} // namespace
} // namespace vantiro
