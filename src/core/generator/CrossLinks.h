#pragma once

#include <string>
#include <vector>

namespace vantiro {

class KeywordList;
class Random;
class SpiderLinks;

// The links from one page to every page of the run, itself included, in page order: text
// links, or links around a copy of the pixel file.
class CrossLinks final {
public:
    CrossLinks(const std::vector<std::string>& pageNames, const KeywordList& keywords,
               Random& random, bool imageLinks);

    // Empties links and appends the link to each page.
    void build(SpiderLinks& links);

    // The image file of a page: its trimmed name without any ".htm", and ".gif".
    static std::string imageFileName(const std::string& pageName);

private:
    struct Target {
        std::string start;  // <A HREF="name" TITLE="
        std::string middle; // between the title keyword and the next keyword
    };

    void appendPick(SpiderLinks& links);

    const KeywordList& keywords_;
    Random& random_;
    bool imageLinks_;
    std::vector<Target> targets_;
};

} // namespace vantiro
