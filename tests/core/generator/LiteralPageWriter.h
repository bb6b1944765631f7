#pragma once

#include "core/generator/KeywordList.h"
#include "core/session/PageSettings.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vantiro::test {

// The page recipe done the slow, obvious way: the whole page is assembled, then every
// replacement pass scans the whole text. The fast writer must give the same bytes.
std::string literalPage(const PageSettings& settings, const std::function<std::string()>& pick,
                        const std::string& spiderLinks, const std::string& sponsorlink);

// The page names the pair's cross links point to.
extern const std::vector<std::string> literalPageNames;

// The same page built by the fast writer and by the literal recipe from the same seed; with
// rawLinks the fast writer gets its link list back as plain text, as a stored run would give it.
struct PagePair {
    std::string fast;
    std::string literal;
};
PagePair buildBothPages(const PageSettings& settings, const KeywordList& keywords, bool imageLinks,
                        std::uint64_t seed, bool rawLinks = false);

} // namespace vantiro::test
