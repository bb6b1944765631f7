#pragma once

#include "core/session/PageSettings.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vantiro {

class KeywordList;
class Random;
class SpiderLinks;

// A "<%keyN%>" found in a page: where it starts, its number and its length.
struct KeyPlaceholder {
    size_t position = 0;
    int number = 0;
    size_t length = 0;
};

// Builds and writes one doorway page at a time from the settings of a run.
//
// The page is the result of the literal recipe: assemble head and body, then replace every
// "<%spider%>" by the link list, every "</BODY>" by the credit paragraph and "</BODY>", and
// "<%key1%>" to "<%key100%>" in turn, each pass scanning what the earlier ones inserted. The
// link list is most of every page, and its shape (see SpiderLinks) means no placeholder can
// touch it outside its keywords, so only the short template pieces between the lists and the
// keywords holding a "<" go through the replacement passes.
class PageWriter final {
public:
    static constexpr int keyPlaceholders = 100;

    PageWriter(const PageSettings& settings, const KeywordList& keywords, Random& random,
               std::string sponsorlink);

    // writePage: builds the page and writes it to path, replacing any file of that name.
    // False when the file could not be written; nothing half-written is left behind.
    bool writePage(const std::string& path, const SpiderLinks& links);

    // The file's bytes for the next page, as writePage would write them; valid until the next
    // call.
    const std::string& buildPage(const SpiderLinks& links);

private:
    using Keys = std::array<std::string_view, keyPlaceholders + 1>;

    void composePage(const SpiderLinks& links);
    const std::string& pick();
    std::string titleLine();
    std::string descriptionLine();
    std::string keywordsLine();
    std::string assembleTemplate();
    void replaceBodyAndKeys(std::string& text, const Keys& keys) const;
    // placeholders: every one in text, none below number; afterwards those above number.
    static void replaceKey(std::string& text, int number, std::string_view keyword,
                           std::vector<KeyPlaceholder>& placeholders);
    std::string replacedSlots(const SpiderLinks& links, const Keys& keys) const;

    const KeywordList& keywords_;
    Random& random_;
    std::string sponsorlinkReplacement_;
    std::string title_;
    std::string description_;
    std::string pageStart_;      // DOCTYPE part, "<HTML>" and "<HEAD>"
    std::string fixedHeadLines_; // robots to expires
    std::string pageEnd_;        // from the empty lines after the head lines to the end
    std::vector<std::string> pieces_;
    std::string replacedLinks_;
    std::vector<std::string_view> parts_;
    std::string page_;
};

} // namespace vantiro
