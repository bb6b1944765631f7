#include "core/generator/CrossLinks.h"

#include "core/generator/KeywordList.h"
#include "core/generator/Random.h"
#include "core/generator/SpiderLinks.h"
#include "core/generator/TextCase.h"
#include "core/text/TextCleaning.h"

namespace vantiro {

CrossLinks::CrossLinks(const std::vector<std::string>& pageNames, const KeywordList& keywords,
                       Random& random, bool imageLinks)
    : keywords_(keywords), random_(random), imageLinks_(imageLinks)
{
    targets_.reserve(pageNames.size());
    for (const std::string& name : pageNames) {
        Target target;
        target.start = "<A HREF=\"" + std::string(trim(name)) + "\" TITLE=\"";
        target.middle = imageLinks_ ? "\"><IMG SRC=\"images\\" + imageFileName(name) +
                                          "\" WIDTH=\"5\" HEIGHT=\"5\" BORDER=\"0\" ALT=\""
                                    : "\">";
        targets_.push_back(std::move(target));
    }
}

std::string CrossLinks::imageFileName(const std::string& pageName)
{
    std::string base(trim(pageName));
    replaceAll(base, ".htm", "");
    return base + ".gif";
}

void CrossLinks::appendPick(SpiderLinks& links)
{
    const int number = random_.pick(keywords_.count());
    links.appendKeyword(keywords_.at(number), keywords_.hasMarkup(number));
}

void CrossLinks::build(SpiderLinks& links)
{
    links.clear();
    for (const Target& target : targets_) {
        links.appendLiteral(target.start);
        appendPick(links);
        links.appendLiteral(target.middle);
        appendPick(links);
        if (imageLinks_) {
            links.appendLiteral("\">");
            appendPick(links);
        }
        links.appendLiteral("</A> ");
    }
}

} // namespace vantiro
