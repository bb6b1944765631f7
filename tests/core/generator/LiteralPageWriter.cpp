#include "core/generator/LiteralPageWriter.h"

#include "core/generator/CrossLinks.h"
#include "core/generator/PageWriter.h"
#include "core/generator/Random.h"
#include "core/generator/RunMessages.h"
#include "core/generator/SpiderLinks.h"

namespace vantiro::test {
namespace {

std::string trim(const std::string& s)
{
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return "";
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::string replace(std::string text, const std::string& found, const std::string& by)
{
    std::string out;
    size_t from = 0;
    for (size_t at; (at = text.find(found, from)) != std::string::npos; from = at + found.size())
        out += text.substr(from, at - from) + by;
    return out + text.substr(from);
}

std::string lower(std::string s)
{
    for (char& c : s) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
            c = static_cast<char>(u + 32);
        else if (u == 0x8A || u == 0x8C || u == 0x8E) // S and Z with caron, OE
            c = static_cast<char>(u + 16);
        else if (u == 0x9F) // Y with diaeresis
            c = static_cast<char>(0xFF);
    }
    return s;
}

std::string upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return s;
}

std::string directive(const std::string& value, const std::string& a, const std::string& b)
{
    return !value.empty() && (upper(value) == a || upper(value) == b) ? trim(value) : "NO-CACHE";
}

} // namespace

std::string literalPage(const PageSettings& s, const std::function<std::string()>& pick,
                        const std::string& spiderLinks, const std::string& sponsorlink)
{
    const std::string nl = "\r\n";
    std::string page;
    const std::string& d = s.doctype;
    if (d.rfind("<!DOCTYPE", 0) == 0 && !d.empty() && d.back() == '>')
        page = d;
    else if (!d.empty())
        page = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">";
    page += nl + nl + "<HTML>" + nl + "<HEAD>" + nl;

    std::string title = "<TITLE>" + trim(s.title) + " ";
    while (title.size() <= 64)
        title += trim(pick()) + " ";
    title = trim(title) + "</TITLE>";
    page += title + nl + nl;

    std::string description = "<META NAME=\"description\" CONTENT=\"";
    if (!trim(s.description).empty())
        description += trim(s.description) + " ";
    while (description.size() <= 250)
        description += trim(pick()) + " ";
    description = trim(description) + "\">";
    page += description + nl;

    std::string keywords = "<META NAME=\"keywords\" CONTENT=\"";
    while (keywords.size() <= 750)
        keywords += trim(pick()) + ",";
    keywords = replace(trim(keywords) + "\">", ",\">", "\">");
    page += keywords + nl;

    if (!s.robots.empty())
        page += "<META NAME=\"robots\" CONTENT=\"" + lower(trim(s.robots)) + "\">" + nl;
    page += "<META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; charset=ISO-8859-1\">" + nl;
    if (!s.revisit.empty())
        page += "<META NAME=\"revisit-after\" CONTENT=\"" + trim(s.revisit) + " days\">" + nl;
    if (!s.author.empty())
        page += "<META NAME=\"author\" CONTENT=\"" + trim(s.author) + "\">" + nl;
    page += "<META HTTP-EQUIV=\"pragma\" CONTENT=\"" + directive(s.pragma, "CACHE", "NO-CACHE") +
            "\">" + nl;
    page += "<META HTTP-EQUIV=\"cache-control\" CONTENT=\"" +
            directive(s.caching, "YES", "NO-CACHE") + "\">" + nl;
    page += "<META HTTP-EQUIV=\"expires\" CONTENT=\"0\">" + nl;
    const std::string dcTitle = replace(trim(replace(title, "<TITLE>", "")), "</TITLE>", "");
    page += "<META NAME=\"DC.Title\" CONTENT=\"" + dcTitle + "\">" + nl;
    page += replace(description, "<META NAME=\"description\" CONTENT=\"",
                    "<META NAME=\"DC.Subject\" CONTENT=\"") +
            nl;
    page += replace(description, "<META NAME=\"description\" CONTENT=\"",
                    "<META NAME=\"DC.Description\" CONTENT=\"") +
            nl;
    page += nl + nl + trim(s.scripting) + nl;
    page += "</HEAD>" + nl + s.body + nl + "</HTML>" + nl;

    page = replace(page, "<%spider%>", spiderLinks);
    page = replace(page, "</BODY>", nl + sponsorlink + nl + "</BODY>");
    for (int n = 1; n <= 100; ++n) {
        const std::string keyword = trim(pick());
        page = replace(page, "<%key" + std::to_string(n) + "%>", keyword);
    }
    return page + nl;
}

const std::vector<std::string> literalPageNames = {"vorschau.htm", "file2.htm", "a.htm_b.htm"};

PagePair buildBothPages(const PageSettings& settings, const KeywordList& keywords, bool imageLinks,
                        std::uint64_t seed, bool rawLinks)
{
    const std::string sponsor = RunMessages::sponsorlink();
    Random fastRandom(seed);
    SpiderLinks links;
    CrossLinks(literalPageNames, keywords, fastRandom, imageLinks).build(links);
    if (rawLinks)
        links = SpiderLinks::fromText(links.text());
    PageWriter writer(settings, keywords, fastRandom, sponsor);
    PagePair pair;
    pair.fast = writer.buildPage(links);

    Random literalRandom(seed);
    SpiderLinks literalLinks;
    CrossLinks(literalPageNames, keywords, literalRandom, imageLinks).build(literalLinks);
    const auto pick = [&] { return keywords.at(literalRandom.pick(keywords.count())); };
    pair.literal = literalPage(settings, pick, literalLinks.text(), sponsor);
    return pair;
}

} // namespace vantiro::test
